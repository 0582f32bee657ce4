#pragma once

namespace kvx {

// Turns the keyboard's Num Lock on where the window system lets a program do so (X11);
// elsewhere it does nothing.
void holdNumLockOn();

} // namespace kvx
