// The device screen and the popups kept inside it. Message boxes and menus are placed by the
// platform while they open, so a thread hook moves their windows the moment they are shown, and
// a message box laid out wider than the screen is narrowed to it.
#include "platform/DeviceScreen.h"

#include "platform/AygShell.h"
#include "platform/MenuBarWindow.h"

#include <cwchar>
#include <vector>

namespace {

void MoveInto(HWND window, const RECT& screen, bool centre)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x = rect.left, y = rect.top;
    if (centre) {
        x = screen.left + (screen.right - screen.left - width) / 2;
        y = screen.top + (screen.bottom - screen.top - height) / 2;
    }
    if (x + width > screen.right)
        x = screen.right - width;
    if (y + height > screen.bottom)
        y = screen.bottom - height;
    if (x < screen.left)
        x = screen.left;
    if (y < screen.top)
        y = screen.top;
    if (x != rect.left || y != rect.top)
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The message text of a message box: its static child that is not the icon.
HWND FindMessageText(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = L"";
        GetClassNameW(child, className, 16);
        const LONG_PTR type = GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK;
        if (_wcsicmp(className, L"Static") == 0 && type != SS_ICON && GetWindowTextLengthW(child) > 0)
            return child;
    }
    return nullptr;
}

// The height the text needs when it is wrapped to width.
int WrappedTextHeight(HWND text, int width)
{
    const int length = GetWindowTextLengthW(text);
    std::vector<wchar_t> buffer(size_t(length) + 1);
    GetWindowTextW(text, buffer.data(), length + 1);
    HDC dc = GetDC(text);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, width, 0};
    DrawTextW(dc, buffer.data(), length, &rect, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    return rect.bottom;
}

void MoveChild(HWND child, int dx, int dy, int width, int height)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(child, nullptr, rect.left + dx, rect.top + dy, width >= 0 ? width : rect.right - rect.left,
                 height >= 0 ? height : rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A message box wider than the screen, as the desktop lays it out, is made as narrow as the
// screen the way the device lays it out: its text wraps to more lines and the buttons move
// down below it, still centred.
void FitMessageBoxWidth(HWND box, const RECT& screen)
{
    RECT rect, textRect;
    HWND text = FindMessageText(box);
    if (!text || !GetWindowRect(box, &rect) || !GetWindowRect(text, &textRect))
        return;
    const int excess = (rect.right - rect.left) - (screen.right - screen.left);
    const int textWidth = (textRect.right - textRect.left) - excess;
    if (excess <= 0 || textWidth < 40)
        return;
    const int textHeight = WrappedTextHeight(text, textWidth);
    const int grow =
        textHeight > textRect.bottom - textRect.top ? textHeight - (textRect.bottom - textRect.top) : 0;
    MoveChild(text, 0, 0, textWidth, (textRect.bottom - textRect.top) + grow);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = L"";
        GetClassNameW(child, className, 16);
        if (_wcsicmp(className, L"Button") == 0)
            MoveChild(child, -excess / 2, grow, -1, -1);
    }
    SetWindowPos(box, nullptr, 0, 0, (rect.right - rect.left) - excess, (rect.bottom - rect.top) + grow,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// While it lives, top-level windows of one class that the thread shows are moved into the
// device screen of the owner given (the box of a MessageBoxW call, the menus of a
// TrackPopupMenuEx call). Placements nest.
class CPopupPlacement
{
public:
    CPopupPlacement(HWND owner, const wchar_t* className, bool centre);
    ~CPopupPlacement();
    CPopupPlacement(const CPopupPlacement&) = delete;
    CPopupPlacement& operator=(const CPopupPlacement&) = delete;

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnShown(HWND window);
    void OpenLeftOfParent(HWND window);

    RECT m_screen;
    const wchar_t* m_className;
    bool m_centre;
    HHOOK m_hook;
    CPopupPlacement* m_outer;
    std::vector<HWND> m_shown; // the popups shown so far that are still open, the last on top
};

thread_local CPopupPlacement* t_placement = nullptr;

CPopupPlacement::CPopupPlacement(HWND owner, const wchar_t* className, bool centre)
    : m_screen(GetDeviceScreenRect(owner)), m_className(className), m_centre(centre), m_outer(t_placement)
{
    m_hook = SetWindowsHookExW(WH_CALLWNDPROCRET, HookProc, nullptr, GetCurrentThreadId());
    t_placement = this;
}

CPopupPlacement::~CPopupPlacement()
{
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    t_placement = m_outer;
}

LRESULT CALLBACK CPopupPlacement::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && t_placement && call->message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW))
        t_placement->OnShown(call->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CPopupPlacement::OnShown(HWND window)
{
    wchar_t className[16] = L"";
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)
        return;
    if (!GetClassNameW(window, className, 16) || wcscmp(className, m_className) != 0)
        return;
    if (m_centre)
        FitMessageBoxWidth(window, m_screen);
    else
        OpenLeftOfParent(window);
    MoveInto(window, m_screen, m_centre);
    m_shown.push_back(window);
}

// A submenu without room on the right of the menu it opens from opens on that menu's left, as
// the device's menus do, when there is room there.
void CPopupPlacement::OpenLeftOfParent(HWND window)
{
    while (!m_shown.empty() && (m_shown.back() == window || !IsWindowVisible(m_shown.back())))
        m_shown.pop_back();
    RECT rect, parent;
    if (m_shown.empty() || !GetWindowRect(window, &rect) || rect.right <= m_screen.right ||
        !GetWindowRect(m_shown.back(), &parent))
        return;
    const int left = parent.left - (rect.right - rect.left);
    if (left >= m_screen.left)
        SetWindowPos(window, nullptr, left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

RECT GetDeviceScreenRect(HWND owner)
{
    RECT screen = {};
    HWND root = owner ? GetAncestor(owner, GA_ROOTOWNER) : nullptr;
    if (root && GetWindowRect(root, &screen)) {
        if (CMenuBarWindow::FindForOwner(root))
            screen.bottom += GetMenuBarHeight();
        return screen;
    }
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    SIZE device = {};
    if (GetDeviceScreenSize(device)) {
        screen.right = screen.left + device.cx;
        screen.bottom = screen.top + device.cy;
    }
    return screen;
}

void MoveIntoDeviceScreen(HWND window, bool centre)
{
    MoveInto(window, GetDeviceScreenRect(GetWindow(window, GW_OWNER)), centre);
}

int DeviceMessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    CPopupPlacement placement(owner, L"#32770", true);
    return MessageBoxW(owner, text, caption, style);
}

BOOL DeviceTrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params)
{
    CPopupPlacement placement(owner, L"#32768", false);
    return TrackPopupMenuEx(menu, flags, x, y, owner, params);
}
