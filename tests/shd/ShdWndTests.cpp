// Window objects: both bindings, subclassing and its undoing, destruction, text utilities.
#include "shd/ShdWnd.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CRecordingWnd : public CShdWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP)
            return 0x1234;
        if (message == WM_CREATE)
            sawCreate = true;
        if (message == WM_DESTROY)
            sawDestroy = true;
        return CShdWnd::WindowProc(message, wParam, lParam);
    }
    bool sawCreate = false;
    bool sawDestroy = false;
};

HWND MakeEdit()
{
    return CreateWindowExW(0, L"EDIT", L"hello", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
}

} // namespace

TEST(ShdWnd, DefaultClassBindsThroughExtraBytes)
{
    CRecordingWnd window;
    ASSERT_TRUE(window.Create(0, nullptr, L"caption", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr));
    EXPECT_TRUE(window.sawCreate);
    EXPECT_EQ(0x1234, SendMessageW(window.GetHwnd(), WM_APP, 0, 0));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&window), GetWindowLongPtrW(window.GetHwnd(), 0));
    EXPECT_EQ(nullptr, GetPropW(window.GetHwnd(), CShdWnd::kObjectProperty));
    EXPECT_FALSE(window.Create(0, nullptr, L"again", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr));

    HWND handle = window.GetHwnd();
    DestroyWindow(handle);
    EXPECT_TRUE(window.sawDestroy);
    EXPECT_EQ(nullptr, window.GetHwnd());
    EXPECT_FALSE(IsWindow(handle));
}

TEST(ShdWnd, ClassWithOwnExtraBytesBindsThroughProperty)
{
    CShdWnd::CClass windowClass;
    ASSERT_TRUE(windowClass.Register(L"HiveletTest.PropertyClass", 16, nullptr));
    CRecordingWnd window;
    ASSERT_TRUE(window.Create(0, &windowClass, nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr));
    HWND handle = window.GetHwnd();
    EXPECT_EQ(&window, GetPropW(handle, CShdWnd::kObjectProperty));
    EXPECT_EQ(0x1234, SendMessageW(handle, WM_APP, 0, 0));
    EXPECT_EQ(CString(L"HiveletTest.PropertyClass"), CShdWnd::QueryClassName(handle, L"?"));
    DestroyWindow(handle);
    EXPECT_EQ(nullptr, window.GetHwnd());

    CShdWnd::CClass unregistered;
    CRecordingWnd other;
    EXPECT_FALSE(other.Create(0, &unregistered, nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr));
}

TEST(ShdWnd, DestructorDestroysLiveWindow)
{
    HWND handle = nullptr;
    {
        CRecordingWnd window;
        ASSERT_TRUE(window.Create(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr));
        handle = window.GetHwnd();
    }
    EXPECT_FALSE(IsWindow(handle));
}

TEST(ShdWnd, SubclassedControlGetsItsProcedureBackAfterDestroyAndDetach)
{
    HWND edit = MakeEdit();
    LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        CRecordingWnd window;
        ASSERT_TRUE(window.Attach(edit));
        EXPECT_TRUE(window.IsSubclassed());
        EXPECT_NE(original, GetWindowLongPtrW(edit, GWLP_WNDPROC));
        EXPECT_EQ(0x1234, SendMessageW(edit, WM_APP, 0, 0));
        // Everything else still reaches the control.
        EXPECT_EQ(CString(L"hello"), CShdWnd::QueryWindowText(edit, L"?"));
        window.Detach();
        EXPECT_EQ(original, GetWindowLongPtrW(edit, GWLP_WNDPROC));
        EXPECT_EQ(nullptr, GetPropW(edit, CShdWnd::kObjectProperty));
        EXPECT_EQ(nullptr, window.GetHwnd());
    }
    EXPECT_TRUE(IsWindow(edit)); // detached: the destructor leaves it alone

    CRecordingWnd window;
    ASSERT_TRUE(window.Attach(edit));
    // Watch the procedure after WM_DESTROY from a later message: WM_NCDESTROY.
    static LONG_PTR s_procAtNcDestroy;
    static LONG_PTR s_original;
    s_original = original;
    struct SWatcher
    {
        static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
        {
            const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (code == HC_ACTION && call->message == WM_NCDESTROY)
                s_procAtNcDestroy = GetWindowLongPtrW(call->hwnd, GWLP_WNDPROC);
            return CallNextHookEx(nullptr, code, wParam, lParam);
        }
    };
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, SWatcher::Hook, nullptr, GetCurrentThreadId());
    DestroyWindow(edit);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(window.sawDestroy);
    EXPECT_EQ(s_original, s_procAtNcDestroy);
    EXPECT_EQ(nullptr, window.GetHwnd());
}

TEST(ShdWnd, AttachRefusesBoundObjectsAndSubclassedWindows)
{
    HWND edit = MakeEdit();
    CRecordingWnd first, second;
    EXPECT_FALSE(first.Attach(nullptr));
    EXPECT_FALSE(first.Attach(reinterpret_cast<HWND>(0x4321)));
    ASSERT_TRUE(first.Attach(edit));
    EXPECT_FALSE(second.Attach(edit));
    HWND other = MakeEdit();
    EXPECT_FALSE(first.Attach(other)); // already bound
    DestroyWindow(other);

    CRecordingWnd created;
    ASSERT_TRUE(created.Create(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr));
    EXPECT_FALSE(second.Attach(created.GetHwnd())); // a framework window is not subclassed twice
    DestroyWindow(edit);
}

TEST(ShdWnd, DetachedCreatedWindowNoLongerReachesTheObject)
{
    CRecordingWnd window;
    ASSERT_TRUE(window.Create(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr));
    HWND handle = window.GetHwnd();
    window.Detach();
    EXPECT_EQ(0, SendMessageW(handle, WM_APP, 0, 0));
    DestroyWindow(handle);
    EXPECT_FALSE(window.sawDestroy);
}

TEST(ShdWnd, TextUtilities)
{
    HWND edit = MakeEdit();
    std::vector<wchar_t> longText(3000, L'x');
    longText.back() = 0;
    SetWindowTextW(edit, longText.data());
    CString text;
    ASSERT_TRUE(CShdWnd::QueryWindowText(edit, text));
    EXPECT_EQ(2999, text.GetLength());
    EXPECT_TRUE(CShdWnd::QueryClassName(edit, L"").EqualsNoCase(L"Edit"));
    DestroyWindow(edit);
    EXPECT_FALSE(CShdWnd::QueryWindowText(edit, text));
    EXPECT_EQ(CString(L"none"), CShdWnd::QueryWindowText(edit, L"none"));
    EXPECT_EQ(CString(L"none"), CShdWnd::QueryClassName(edit, L"none"));
}
