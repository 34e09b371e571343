// The menu-bar stand-in with menu 101 and soft-key bar 3001: buttons, commands, popups reaching
// the owner, enabling, following and dying with the owner, the soft keys from the keyboard.
#include "platform/AygShell.h"
#include "platform/MenuBarWindow.h"
#include "platform/PlatformInfo.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SOwnerLog
{
    std::vector<UINT> commands;
    std::vector<HMENU> popups;
};

SOwnerLog& Log()
{
    static SOwnerLog log;
    return log;
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        Log().commands.push_back(LOWORD(wParam));
    if (message == WM_INITMENUPOPUP)
        Log().popups.push_back(reinterpret_cast<HMENU>(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring ButtonText(HWND bar, int command)
{
    wchar_t text[64] = L"";
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = text;
    info.cchText = 64;
    SendMessageW(bar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
    return text;
}

class MenuBar : public testing::Test
{
protected:
    void SetUp() override
    {
        Log() = SOwnerLog();
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"HiveletTest.MenuOwner";
        RegisterClassW(&windowClass);
        m_owner = CreateWindowExW(0, L"HiveletTest.MenuOwner", L"owner", WS_POPUP | WS_VISIBLE, 10, 20, 240,
                                  268, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_owner);
    }
    void TearDown() override
    {
        if (IsWindow(m_owner))
            DestroyWindow(m_owner);
    }

    HWND CreateBar(UINT id, DWORD flags)
    {
        SHMENUBARINFO info = {};
        info.cbSize = sizeof(info);
        info.hwndParent = m_owner;
        info.dwFlags = flags;
        info.nToolBarId = id;
        info.hInstRes = GetModuleHandleW(nullptr);
        return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
    }

    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // A click as the stylus gives it, on the button at index.
    static void Click(HWND bar, int index)
    {
        RECT item;
        ASSERT_TRUE(SendMessageW(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)));
        LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(bar, WM_LBUTTONUP, 0, point);
    }

    // A key pressed and released in window, as the keyboard gives it, taken from the queue
    // one message at a time.
    static void PressKey(HWND window, UINT key)
    {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
        PumpOne();
        PumpOne();
    }
    static void PumpOne()
    {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    HWND m_owner = nullptr;
};

} // namespace

TEST_F(MenuBar, MainMenuShowsTabAndMenuAndDeliversCommands)
{
    HWND bar = CreateBar(IDR_MAIN_MENU, SHCMBF_HMENU);
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(bar, CMenuBarWindow::FindForOwner(m_owner));
    wchar_t className[64] = L"";
    GetClassNameW(bar, className, 64);
    EXPECT_STREQ(TOOLBARCLASSNAMEW, className);
    ASSERT_EQ(2, SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    TBBUTTON first = {};
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&first)));
    EXPECT_EQ(ID_TAB, first.idCommand);
    EXPECT_EQ(L"Tab", ButtonText(bar, ID_TAB));
    TBBUTTON second = {};
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&second)));
    EXPECT_EQ(L"Menu", ButtonText(bar, second.idCommand));
    EXPECT_TRUE(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TBACK,
                             MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY)));

    Click(bar, 0);
    Pump();
    ASSERT_EQ(1u, Log().commands.size());
    EXPECT_EQ(UINT(ID_TAB), Log().commands[0]);

    // The popup opens above its button; the owner prepares it, then the last item is chosen.
    Click(bar, 1);
    PostMessageW(m_owner, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(m_owner, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    HMENU popup = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, second.idCommand));
    ASSERT_NE(nullptr, popup);
    ASSERT_FALSE(Log().popups.empty());
    EXPECT_EQ(popup, Log().popups[0]);
    ASSERT_EQ(2u, Log().commands.size());
    EXPECT_EQ(UINT(ID_EXIT), Log().commands[1]);
}

TEST_F(MenuBar, EnableButtonGreysAndDisabledButtonSendsNothing)
{
    HWND bar = CreateBar(IDR_MAIN_MENU, SHCMBF_HMENU);
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, ID_TAB, FALSE));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, ID_TAB, 0));
    Click(bar, 0);
    Pump();
    EXPECT_TRUE(Log().commands.empty());
    SendMessageW(bar, TB_ENABLEBUTTON, ID_TAB, TRUE);
    Click(bar, 0);
    Pump();
    EXPECT_EQ(1u, Log().commands.size());
}

TEST_F(MenuBar, SoftKeyResourceGivesLabelledKeysAndThePopupOfMenu101)
{
    HWND bar = CreateBar(IDR_MAIN_SOFTKEYS, 0);
    ASSERT_NE(nullptr, bar);
    ASSERT_EQ(2, SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    EXPECT_EQ(L"Tab", ButtonText(bar, ID_TAB));
    EXPECT_EQ(L"Menu", ButtonText(bar, ID_SOFTKEY_MENU));
    HMENU popup = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, ID_SOFTKEY_MENU));
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(UINT(ID_EXIT), GetMenuItemID(popup, GetMenuItemCount(popup) - 1));

    EXPECT_EQ(nullptr, CreateBar(4242, 0));
    EXPECT_EQ(nullptr, CreateBar(4242, SHCMBF_HMENU));
}

TEST_F(MenuBar, FollowsHidesAndDiesWithItsOwner)
{
    HWND bar = CreateBar(IDR_MAIN_MENU, SHCMBF_HMENU);
    ASSERT_NE(nullptr, bar);
    RECT owner, rect;
    GetWindowRect(m_owner, &owner);
    GetWindowRect(bar, &rect);
    EXPECT_EQ(owner.left, rect.left);
    EXPECT_EQ(owner.bottom, rect.top);
    EXPECT_EQ(owner.right, rect.right);
    EXPECT_EQ(GetMenuBarHeight(), rect.bottom - rect.top);
    EXPECT_TRUE(IsWindowVisible(bar));

    MoveWindow(m_owner, 50, 60, 320, 200, TRUE);
    GetWindowRect(bar, &rect);
    EXPECT_EQ(50, rect.left);
    EXPECT_EQ(260, rect.top);
    EXPECT_EQ(320, rect.right - rect.left);

    ShowWindow(m_owner, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(bar));
    ShowWindow(m_owner, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(bar));

    DestroyWindow(m_owner);
    EXPECT_FALSE(IsWindow(bar));
}

TEST_F(MenuBar, HiddenAndEmptyBars)
{
    HWND hidden = CreateBar(IDR_MAIN_MENU, SHCMBF_HMENU | SHCMBF_HIDDEN);
    ASSERT_NE(nullptr, hidden);
    EXPECT_FALSE(IsWindowVisible(hidden));
    HWND empty = CreateBar(0, SHCMBF_EMPTYBAR);
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(0, SendMessageW(empty, TB_BUTTONCOUNT, 0, 0));
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    EXPECT_FALSE(SHCreateMenuBar(&info)); // no owner
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
}

// The soft keys arrive as VK_TSOFT1 and VK_TSOFT2 in whatever control has the focus: they press
// the bar's first and second button, on a Smartphone and from version 5.00 on, never reaching
// the control; on a Pocket PC before 5.00 they stay keys.
TEST_F(MenuBar, SoftKeysPressTheFirstAndSecondButton)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, m_owner, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(nullptr, edit);
    HWND bar = CreateBar(IDR_DONE_CANCEL_SOFTKEYS, 0);
    ASSERT_NE(nullptr, bar);
    OverridePlatformType(L"Smartphone");
    OverridePlatformVersion(4, 20);
    PressKey(edit, VK_TSOFT1);
    Pump();
    PressKey(edit, VK_TSOFT2);
    Pump();
    ASSERT_EQ(2u, Log().commands.size());
    EXPECT_EQ(UINT(IDOK), Log().commands[0]);
    EXPECT_EQ(UINT(IDCANCEL), Log().commands[1]);

    // A disabled button ignores its key; so does a bar on a Pocket PC before 5.00.
    SendMessageW(bar, TB_ENABLEBUTTON, IDOK, FALSE);
    PressKey(edit, VK_TSOFT1);
    Pump();
    SendMessageW(bar, TB_ENABLEBUTTON, IDOK, TRUE);
    OverridePlatformType(L"PocketPC");
    PressKey(m_owner, VK_TSOFT1);
    Pump();
    EXPECT_EQ(2u, Log().commands.size());
    OverridePlatformVersion(5, 2);
    PressKey(m_owner, VK_TSOFT1);
    Pump();
    ASSERT_EQ(3u, Log().commands.size());
    ClearPlatformOverrides();
}

// The right soft key opens the "Menu" popup of the main bar, as a tap on it does.
TEST_F(MenuBar, RightSoftKeyOpensThePopup)
{
    OverridePlatformType(L"Smartphone");
    HWND bar = CreateBar(IDR_MAIN_SOFTKEYS, 0);
    ASSERT_NE(nullptr, bar);
    PressKey(m_owner, VK_TSOFT2);
    // The popup opens once the queue reaches the press: choose its last item.
    PostMessageW(m_owner, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(m_owner, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    ClearPlatformOverrides();
    EXPECT_EQ(1u, Log().popups.size());
    ASSERT_EQ(1u, Log().commands.size());
    EXPECT_EQ(UINT(ID_EXIT), Log().commands[0]);
}
