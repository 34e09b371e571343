// The handheld's screen on the desktop: the rectangle that stands for it, and message boxes,
// dialogs and popup menus kept inside it, where the device's own screen keeps them.
#pragma once

#include <windows.h>

// The device screen that windows owned by owner appear on: the window of owner's root owner
// together with its menu bar; without an owner the work area, cut to HIVELET_SCREEN when set.
RECT GetDeviceScreenRect(HWND owner);

// Moves a top-level window into the device screen of its owner without resizing it: centred,
// or only as far as it runs past an edge. A window larger than the screen lies along the
// screen's left or top edge.
void MoveIntoDeviceScreen(HWND window, bool centre);

// MessageBoxW with the box centred on the owner's device screen.
int DeviceMessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// TrackPopupMenuEx with the menu and its submenus kept inside the owner's device screen.
BOOL DeviceTrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params);
