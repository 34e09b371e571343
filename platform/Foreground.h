// Bringing a window forward together with the popup it shows on top, as the handheld does for
// SetForegroundWindow(window | 1); the desktop has no such flag.
#pragma once

#include <windows.h>

// The window's last active popup comes forward, or the window itself when it shows none (hidden
// owned windows and windows that never take the activation do not count).
BOOL SetForegroundWindowWithPopups(HWND window);
