// The emulated device screen: its rectangle, and message boxes, dialogs and popup menus placed
// inside it instead of on the desktop.
#include "platform/AygShell.h"
#include "platform/DeviceScreen.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <utility>
#include <vector>

namespace {

// What the test's own hook sees of the popups of one class: each one's last place, in the order
// they were first shown; onShown is told of each new one (and closes it in the end).
struct SPopupWatch
{
    const wchar_t* className = L"";
    std::vector<std::pair<HWND, RECT>> popups;
    std::function<void(HWND popup, size_t count)> onShown;
};

SPopupWatch*& Watch()
{
    static SPopupWatch* watch = nullptr;
    return watch;
}

void OnPositionChanged(SPopupWatch& watch, HWND window, bool showing)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    for (auto& popup : watch.popups) {
        if (popup.first == window) {
            popup.second = rect;
            return;
        }
    }
    if (!showing)
        return;
    watch.popups.emplace_back(window, rect);
    watch.onShown(window, watch.popups.size());
}

LRESULT CALLBACK WatchProc(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    wchar_t className[16] = L"";
    SPopupWatch* watch = Watch();
    if (code == HC_ACTION && watch && call->message == WM_WINDOWPOSCHANGED &&
        !(GetWindowLongPtrW(call->hwnd, GWL_STYLE) & WS_CHILD) && GetClassNameW(call->hwnd, className, 16) &&
        wcscmp(className, watch->className) == 0)
        OnPositionChanged(*watch, call->hwnd,
                          (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW) != 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class DeviceScreen : public testing::Test
{
protected:
    void SetUp() override
    {
        m_owner = CreateWindowExW(0, L"STATIC", L"device", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_owner);
        SHMENUBARINFO info = {};
        info.cbSize = sizeof(info);
        info.hwndParent = m_owner;
        info.nToolBarId = IDR_DONE_CANCEL_SOFTKEYS;
        info.hInstRes = GetModuleHandleW(nullptr);
        ASSERT_TRUE(SHCreateMenuBar(&info));
        m_hook = SetWindowsHookExW(WH_CALLWNDPROCRET, WatchProc, nullptr, GetCurrentThreadId());
    }
    void TearDown() override
    {
        Watch() = nullptr;
        UnhookWindowsHookEx(m_hook);
        DestroyWindow(m_owner);
    }
    HWND Popup(int x, int y, int width, int height)
    {
        return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, x, y, width, height, m_owner, nullptr, nullptr,
                               nullptr);
    }
    static RECT Rect(HWND window)
    {
        RECT rect = {};
        GetWindowRect(window, &rect);
        return rect;
    }
    // The device screen: the owner with its menu bar below it.
    RECT Screen() const { return {0, 0, 240, 294 + GetMenuBarHeight()}; }
    static void ExpectInside(const RECT& rect, const RECT& screen)
    {
        EXPECT_GE(rect.left, screen.left);
        EXPECT_GE(rect.top, screen.top);
        EXPECT_LE(rect.right, screen.right);
        EXPECT_LE(rect.bottom, screen.bottom);
    }

    HWND m_owner = nullptr;
    HHOOK m_hook = nullptr;
};

} // namespace

TEST_F(DeviceScreen, IsTheOwnersWindowWithItsMenuBarOrTheAskedSizeOfTheWorkArea)
{
    const RECT expected = Screen(), screen = GetDeviceScreenRect(m_owner);
    EXPECT_TRUE(EqualRect(&screen, &expected));
    HWND popup = Popup(0, 0, 10, 10);
    const RECT fromPopup = GetDeviceScreenRect(popup);
    EXPECT_TRUE(EqualRect(&fromPopup, &expected));
    DestroyWindow(popup);

    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetEnvironmentVariableW(L"HIVELET_SCREEN", L"320x240");
    const RECT asked = GetDeviceScreenRect(nullptr);
    SetEnvironmentVariableW(L"HIVELET_SCREEN", nullptr);
    EXPECT_EQ(work.left, asked.left);
    EXPECT_EQ(work.top, asked.top);
    EXPECT_EQ(work.left + 320, asked.right);
    EXPECT_EQ(work.top + 240, asked.bottom);
}

// Centred (the progress dialog), pulled in only as far as needed, or along the top-left edges
// when larger than the screen.
TEST_F(DeviceScreen, MovesAWindowInsideWithoutResizingIt)
{
    HWND popup = Popup(600, 500, 100, 50);
    MoveIntoDeviceScreen(popup, true);
    RECT rect = Rect(popup);
    EXPECT_EQ(70, rect.left);
    EXPECT_EQ((Screen().bottom - 50) / 2, rect.top);
    EXPECT_EQ(100, rect.right - rect.left);

    SetWindowPos(popup, nullptr, 200, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveIntoDeviceScreen(popup, false);
    rect = Rect(popup);
    EXPECT_EQ(140, rect.left);
    EXPECT_EQ(Screen().bottom - 50, rect.top);

    SetWindowPos(popup, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveIntoDeviceScreen(popup, false);
    rect = Rect(popup);
    EXPECT_EQ(20, rect.left);
    EXPECT_EQ(30, rect.top);

    MoveWindow(popup, -50, -60, 300, 400, FALSE);
    MoveIntoDeviceScreen(popup, true);
    rect = Rect(popup);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    DestroyWindow(popup);
}

TEST_F(DeviceScreen, MessageBoxIsCentredOnTheDeviceScreen)
{
    SPopupWatch watch;
    watch.className = L"#32770";
    watch.onShown = [](HWND box, size_t) { PostMessageW(box, WM_COMMAND, IDOK, 0); };
    Watch() = &watch;
    EXPECT_EQ(IDOK, DeviceMessageBoxW(m_owner, L"Search finished.", L"Hivelet", MB_OK | MB_ICONINFORMATION));
    ASSERT_EQ(1u, watch.popups.size());
    const RECT box = watch.popups[0].second;
    const int width = box.right - box.left, height = box.bottom - box.top;
    ASSERT_LE(width, 240);
    EXPECT_EQ((240 - width) / 2, box.left);
    EXPECT_EQ((Screen().bottom - height) / 2, box.top);
}

// A text the desktop lays out on one line wider than the screen wraps to the screen's width, as
// on the device, and the box stays inside the screen.
TEST_F(DeviceScreen, LongMessageWrapsToTheDeviceScreen)
{
    SPopupWatch watch;
    watch.className = L"#32770";
    watch.onShown = [](HWND box, size_t) { PostMessageW(box, WM_COMMAND, IDYES, 0); };
    Watch() = &watch;
    EXPECT_EQ(IDYES, DeviceMessageBoxW(m_owner,
                                       L"This file type is already associated with another program. Do you "
                                       L"want to proceed anyway?",
                                       L"Hivelet", MB_YESNO | MB_ICONQUESTION));
    ASSERT_EQ(1u, watch.popups.size());
    ExpectInside(watch.popups[0].second, Screen());
}

// A context menu opened near the screen's bottom-right corner opens inside the screen instead of
// running past it onto the desktop; its submenu, without room on the right, opens on its left.
TEST_F(DeviceScreen, PopupMenuAndSubmenuStayInsideTheDeviceScreen)
{
    HMENU menu = CreatePopupMenu(), submenu = CreatePopupMenu();
    AppendMenuW(submenu, MF_STRING, 200, L"String value...");
    AppendMenuW(submenu, MF_STRING, 201, L"Dword value...");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), L"New");
    const wchar_t* const items[] = {L"Modify", L"Rename", L"Delete", L"Copy", L"Paste"};
    for (UINT i = 0; i < 5; ++i)
        AppendMenuW(menu, MF_STRING, 100 + i, items[i]);
    SPopupWatch watch;
    watch.className = L"#32768";
    HWND owner = m_owner;
    // The first item opens its submenu from the keyboard; then both are closed.
    watch.onShown = [owner](HWND, size_t count) {
        const std::vector<UINT> keys =
            count == 1 ? std::vector<UINT>{VK_DOWN, VK_RIGHT} : std::vector<UINT>{VK_ESCAPE, VK_ESCAPE};
        for (UINT key : keys)
            PostMessageW(owner, WM_KEYDOWN, key, 0);
    };
    Watch() = &watch;
    DeviceTrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN, 200, 250, m_owner, nullptr);
    DestroyMenu(menu);
    ASSERT_EQ(2u, watch.popups.size());
    const RECT outer = watch.popups[0].second, inner = watch.popups[1].second;
    ExpectInside(outer, Screen());
    ExpectInside(inner, Screen());
    EXPECT_GT(outer.right - outer.left, 40);
    EXPECT_EQ(outer.left, inner.right);
}
