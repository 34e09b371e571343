// The other shell stand-ins: dialog sizing, gesture, Back key, events, clipboard, platform type.
#include "platform/AygShell.h"
#include "platform/PlatformInfo.h"

#include <gtest/gtest.h>

namespace {

struct SNotifyLog
{
    UINT code = 0;
    HWND from = nullptr;
    POINT point = {};
    int count = 0;
};

SNotifyLog& NotifyLog()
{
    static SNotifyLog log;
    return log;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const NMRGINFO* info = reinterpret_cast<const NMRGINFO*>(lParam);
        NotifyLog().code = info->hdr.code;
        NotifyLog().from = info->hdr.hwndFrom;
        NotifyLog().point = info->ptAction;
        ++NotifyLog().count;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeParent()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HiveletTest.GestureParent";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"HiveletTest.GestureParent", L"", WS_POPUP, 100, 100, 200, 200, nullptr,
                           nullptr, nullptr, nullptr);
}

} // namespace

TEST(Shell, GestureNotifiesTheParentUnlessTheCommandIsAskedFor)
{
    NotifyLog() = SNotifyLog();
    HWND parent = MakeParent();
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 20, 50, 50, parent,
                                 reinterpret_cast<HMENU>(101), nullptr, nullptr);
    SHRGINFO info = {sizeof(info), child, {5, 6}, 0};
    EXPECT_EQ(DWORD(GN_CONTEXTMENU), SHRecognizeGesture(&info));
    EXPECT_EQ(1, NotifyLog().count);
    EXPECT_EQ(UINT(GN_CONTEXTMENU), NotifyLog().code);
    EXPECT_EQ(child, NotifyLog().from);
    POINT expected = {5, 6};
    ClientToScreen(child, &expected);
    EXPECT_EQ(expected.x, NotifyLog().point.x);
    EXPECT_EQ(expected.y, NotifyLog().point.y);

    info.dwFlags = SHRG_RETURNCMD;
    EXPECT_EQ(0u, SHRecognizeGesture(&info));
    EXPECT_EQ(1, NotifyLog().count);
    EXPECT_EQ(0u, SHRecognizeGesture(nullptr));
    DestroyWindow(parent);
}

TEST(Shell, BackKeyDeletesInTheFocusedEdit)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"abc", WS_POPUP | WS_VISIBLE, 0, 0, 100, 20, nullptr, nullptr,
                                nullptr, nullptr);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 3, 3);
    SHSendBackToFocusWindow(WM_HOTKEY, 0, MAKELPARAM(0, VK_TBACK));
    SHSendBackToFocusWindow(WM_HOTKEY, 0, MAKELPARAM(MOD_KEYUP, VK_TBACK));
    SHSendBackToFocusWindow(WM_HOTKEY, 0, MAKELPARAM(0, VK_RETURN)); // not Back
    wchar_t text[16] = L"";
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(L"ab", text);
    DestroyWindow(edit);
}

TEST(Shell, InitDialogSizesToTheWorkAreaWithoutOwnerAndAcceptsTheRest)
{
    SHInitExtraControls();
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SHINITDLGINFO info = {SHIDIM_FLAGS, window, SHIDIF_SIZEDLGFULLSCREEN};
    EXPECT_TRUE(SHInitDialog(&info));
    RECT work, rect;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &rect);
    EXPECT_EQ(work.left, rect.left);
    EXPECT_EQ(work.top, rect.top);
    EXPECT_EQ(work.right, rect.right);
    EXPECT_EQ(work.bottom - GetMenuBarHeight(), rect.bottom);
    HWND sip =
        CreateWindowExW(0, L"SIPPREF", L"", WS_CHILD, -10, -10, 0, 0, window, nullptr, nullptr, nullptr);
    EXPECT_NE(nullptr, sip);
    EXPECT_FALSE(IsWindowVisible(sip));
    SHACTIVATEINFO activate = {};
    activate.cbSize = sizeof(activate);
    EXPECT_TRUE(SHHandleWMActivate(window, WA_ACTIVE, 0, &activate, 0));
    EXPECT_TRUE(SHHandleWMSettingChange(window, 0, 0, &activate));
    EXPECT_TRUE(SHSipPreference(window, SIP_UP));
    EXPECT_TRUE(SHDoneButton(window, SHDB_SHOW));
    DestroyWindow(window);
    info.hDlg = nullptr;
    EXPECT_FALSE(SHInitDialog(&info));
}

TEST(Shell, EventModifyAndClipboardCopy)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(EventModify(event, EVENT_SET));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event, 0));
    EXPECT_TRUE(EventModify(event, EVENT_RESET));
    EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForSingleObject(event, 0));
    EXPECT_FALSE(EventModify(event, 77));
    CloseHandle(event);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, 8 * sizeof(wchar_t));
    wcscpy(static_cast<wchar_t*>(GlobalLock(data)), L"HKCU\\x");
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    HANDLE copy = GetClipboardDataAlloc(CF_UNICODETEXT);
    EXPECT_EQ(nullptr, GetClipboardDataAlloc(CF_DIB));
    EmptyClipboard();
    CloseClipboard();
    ASSERT_NE(nullptr, copy);
    EXPECT_STREQ(L"HKCU\\x", static_cast<const wchar_t*>(copy));
    LocalFree(copy);
}

TEST(Shell, PlatformTypeIsPocketPcUnlessOverridden)
{
    wchar_t type[64] = L"";
    ASSERT_TRUE(PlatformSystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(type), type, 0));
    EXPECT_STREQ(L"PocketPC", type);
    OverridePlatformType(L"Smartphone");
    ASSERT_TRUE(PlatformSystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(type), type, 0));
    EXPECT_STREQ(L"Smartphone", type);
    EXPECT_FALSE(PlatformSystemParametersInfoW(SPI_GETPLATFORMTYPE, 4, type, 0)); // too small
    ClearPlatformOverrides();
    RECT work;
    EXPECT_TRUE(PlatformSystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
}
