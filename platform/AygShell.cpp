// The shell calls other than the menu bar: dialog sizing, the accepted no-op handlers, the
// "SIPPREF" class, tap-and-hold, the Back key, and the two kernel calls.
#include "platform/AygShell.h"
#include "platform/DeviceScreen.h"

#include <cwchar>

namespace {

LRESULT CALLBACK SipPrefProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

bool GetDeviceScreenSize(SIZE& size)
{
    wchar_t text[32] = L"";
    DWORD length = GetEnvironmentVariableW(L"HIVELET_SCREEN", text, 32);
    if (length == 0 || length >= 32)
        return false;
    wchar_t* end = nullptr;
    long width = wcstol(text, &end, 10);
    if (!end || (*end != L'x' && *end != L'X'))
        return false;
    wchar_t* last = nullptr;
    long height = wcstol(end + 1, &last, 10);
    if (!last || *last || width <= 0 || height <= 0 || width > 10000 || height > 10000)
        return false;
    size.cx = width;
    size.cy = height;
    return true;
}

int GetMenuBarHeight()
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return (dpi * 26 + 48) / 96;
}

BOOL SHInitExtraControls()
{
    static bool registered = false;
    if (registered)
        return TRUE;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = SipPrefProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SIPPREF";
    registered = RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered ? TRUE : FALSE;
}

BOOL SHInitDialog(PSHINITDLGINFO info)
{
    SHInitExtraControls();
    if (!info || !IsWindow(info->hDlg))
        return FALSE;
    const DWORD sizing = SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR;
    if (!(info->dwMask & SHIDIM_FLAGS) || !(info->dwFlags & sizing))
        return TRUE;
    RECT screen = GetDeviceScreenRect(GetWindow(info->hDlg, GW_OWNER));
    if (!(info->dwFlags & SHIDIF_FULLSCREENNOMENUBAR))
        screen.bottom -= GetMenuBarHeight();
    return MoveWindow(info->hDlg, screen.left, screen.top, screen.right - screen.left,
                      screen.bottom - screen.top, TRUE);
}

BOOL SHHandleWMActivate(HWND, WPARAM, LPARAM, SHACTIVATEINFO*, DWORD)
{
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND, WPARAM, LPARAM, SHACTIVATEINFO*)
{
    return TRUE;
}

BOOL SHSipPreference(HWND, SIPSTATE)
{
    return TRUE;
}

BOOL SHDoneButton(HWND window, DWORD)
{
    return IsWindow(window) ? TRUE : FALSE;
}

DWORD SHRecognizeGesture(SHRGINFO* info)
{
    if (!info || !IsWindow(info->hwndClient))
        return 0;
    // A stylus press asking for the command is never a hold here: a right click stands for it.
    if (info->dwFlags & SHRG_RETURNCMD)
        return 0;
    HWND parent = GetParent(info->hwndClient);
    if (!parent)
        return 0;
    NMRGINFO notification = {};
    notification.hdr.hwndFrom = info->hwndClient;
    notification.hdr.idFrom = UINT_PTR(GetDlgCtrlID(info->hwndClient));
    notification.hdr.code = UINT(GN_CONTEXTMENU);
    notification.ptAction = info->ptDown;
    ClientToScreen(info->hwndClient, &notification.ptAction);
    SendMessageW(parent, WM_NOTIFY, notification.hdr.idFrom, reinterpret_cast<LPARAM>(&notification));
    return GN_CONTEXTMENU;
}

void SHSendBackToFocusWindow(UINT message, WPARAM, LPARAM lParam)
{
    HWND focus = GetFocus();
    if (!focus || message != WM_HOTKEY || HIWORD(lParam) != VK_TBACK)
        return;
    if (LOWORD(lParam) & MOD_KEYUP) {
        SendMessageW(focus, WM_KEYUP, VK_BACK, 0xC0000001);
        return;
    }
    SendMessageW(focus, WM_KEYDOWN, VK_BACK, 1);
    SendMessageW(focus, WM_CHAR, VK_BACK, 1);
}

BOOL EventModify(HANDLE event, DWORD function)
{
    switch (function) {
    case EVENT_SET:
        return SetEvent(event);
    case EVENT_RESET:
        return ResetEvent(event);
    case EVENT_PULSE:
        return PulseEvent(event);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

HANDLE GetClipboardDataAlloc(UINT format)
{
    HANDLE data = GetClipboardData(format);
    if (!data)
        return nullptr;
    SIZE_T size = GlobalSize(data);
    const void* source = GlobalLock(data);
    if (!source)
        return nullptr;
    HLOCAL copy = LocalAlloc(LMEM_FIXED, size ? size : 1);
    if (copy && size)
        memcpy(copy, source, size);
    GlobalUnlock(data);
    return copy;
}
