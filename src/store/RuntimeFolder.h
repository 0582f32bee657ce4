#pragma once

namespace kvx {

// Gives the process a private runtime folder when the session has none (XDG_RUNTIME_DIR
// unset, as under a service or a bare X server), so that the toolkit neither warns about it
// nor falls back to a folder another user could have made. Call before the application object
// exists.
void ensureRuntimeFolder();

} // namespace kvx
