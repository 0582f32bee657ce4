#pragma once

namespace kvx {

// Keeps the toolkit's notice that the session has no runtime folder (XDG_RUNTIME_DIR unset, as
// under a service or a bare X server) off standard error: the toolkit then uses a private
// folder of its own, which is nothing the user needs to act on. Every other message passes.
void installMessageFilter();

} // namespace kvx
