// Control placement helpers.
#include "shd/DialogLayout.h"

RECT GetChildRect(HWND control)
{
    RECT rect = {};
    if (!control || !GetWindowRect(control, &rect))
        return RECT();
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void SpanControl(HWND control, int left, int right)
{
    RECT rect = GetChildRect(control);
    PlaceControl(control, left, rect.top, right, rect.bottom);
}

void PlaceControl(HWND control, int left, int top, int right, int bottom)
{
    if (control)
        MoveWindow(control, left, top, right > left ? right - left : 0, bottom > top ? bottom - top : 0,
                   TRUE);
}
