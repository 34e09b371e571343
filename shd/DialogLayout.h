// Small layout helpers for dialogs that adapt their controls to the screen: a control's place in
// its parent's client coordinates, and moving one edge pair while keeping the rest.
#pragma once

#include <windows.h>

// The control's rectangle in its parent's client coordinates (empty when it is no window).
RECT GetChildRect(HWND control);
// Keeps the control's top and height; it then spans from left to right.
void SpanControl(HWND control, int left, int right);
// Moves the control to the given rectangle (left, top, right, bottom), repainting it.
void PlaceControl(HWND control, int left, int top, int right, int bottom);
