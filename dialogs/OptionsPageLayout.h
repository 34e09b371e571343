// What the two options pages share: check boxes as booleans, and a control spanning the page
// between margins of 10 pixels (scaled), keeping its top and height.
#pragma once

#include <windows.h>

bool GetPageCheck(HWND page, int id);
void SetPageCheck(HWND page, int id, bool checked);
void SpanPageControl(HWND page, int id);
