// The device screen and the popups kept inside it. Message boxes and menus are placed by the
// platform while they open, so a thread hook moves their windows the moment they are shown.
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
    if (!m_centre)
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
