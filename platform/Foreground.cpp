// The desktop's stand-in for the handheld's SetForegroundWindow(window | 1).
#include "platform/Foreground.h"

BOOL SetForegroundWindowWithPopups(HWND window)
{
    // Hidden owned windows (tool tips) and windows that never take the activation (a menu bar)
    // are not what the user last saw on top.
    HWND popup = GetLastActivePopup(window);
    if (!popup || !IsWindowVisible(popup) || (GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_NOACTIVATE))
        popup = window;
    return SetForegroundWindow(popup);
}
