// The small helpers: wait cursor nesting, redraw suppression, platform tests, screen scale.
#include "platform/PlatformInfo.h"
#include "shd/DeviceInfo.h"
#include "shd/ScreenScale.h"
#include "shd/TransparentWindow.h"
#include "shd/WaitCursor.h"
#include "shd/WndNoRedraw.h"

#include <gtest/gtest.h>

namespace {

// Counts WM_SETREDRAW calls and invalidations of a window.
class CRedrawCounter : public CShdWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETREDRAW)
            (wParam ? redrawOn : redrawOff)++;
        return CShdWnd::WindowProc(message, wParam, lParam);
    }
    int redrawOn = 0;
    int redrawOff = 0;
};

} // namespace

TEST(WaitCursor, NestingRestoresTheFirstCursorAndExtraEndsStayAtZero)
{
    HCURSOR cross = LoadCursorW(nullptr, IDC_CROSS);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(cross);
    CWaitCursor::Change(+1);
    EXPECT_EQ(wait, GetCursor());
    {
        CWaitCursor nested;
        EXPECT_EQ(2, CWaitCursor::GetCount());
        EXPECT_EQ(wait, GetCursor());
    }
    EXPECT_EQ(wait, GetCursor());
    CWaitCursor::Change(-1);
    EXPECT_EQ(cross, GetCursor());
    EXPECT_EQ(0, CWaitCursor::GetCount());
    CWaitCursor::Change(-1); // the extra end sets the forgotten cursor: none
    EXPECT_EQ(0, CWaitCursor::GetCount());
    EXPECT_EQ(nullptr, GetCursor());
    CWaitCursor::Change(+1);
    CWaitCursor::Change(-1);
    EXPECT_EQ(nullptr, GetCursor());
}

TEST(WndNoRedraw, PeriodsEndOnceAndWithoutWindowDoNothing)
{
    CRedrawCounter window;
    ASSERT_TRUE(window.Create(0, nullptr, L"", WS_POPUP, 0, 0, 50, 50, nullptr, 0, nullptr));
    {
        CWndNoRedraw noRedraw(window.GetHwnd());
        EXPECT_EQ(1, window.redrawOff);
        noRedraw.End();
        noRedraw.End();
        EXPECT_EQ(1, window.redrawOn);
        EXPECT_EQ(nullptr, noRedraw.GetWindow());
        noRedraw.Begin(window.GetHwnd(), true, true, true);
        noRedraw.Begin(window.GetHwnd()); // ends the first period
        EXPECT_EQ(2, window.redrawOn);
        EXPECT_EQ(3, window.redrawOff);
    }
    EXPECT_EQ(3, window.redrawOn);
    CWndNoRedraw idle;
    idle.End();
    EXPECT_EQ(nullptr, idle.GetWindow());
}

TEST(DeviceInfo, VersionAndPlatformTypeFromThePlatform)
{
    OverridePlatformVersion(4, 21);
    ResetDeviceInfo();
    EXPECT_EQ(0x0421, GetOsVersion());
    OverridePlatformVersion(10, 0);
    EXPECT_EQ(0x0421, GetOsVersion()); // computed once
    ResetDeviceInfo();
    EXPECT_EQ(0x1000, GetOsVersion());
    EXPECT_EQ(0x0420, EncodeOsVersion(4, 20));
    EXPECT_EQ(0x9999, EncodeOsVersion(120, 100));
    EXPECT_FALSE(IsSmartphone());

    OverridePlatformType(L"SMARTPHONE");
    ResetDeviceInfo();
    EXPECT_TRUE(IsSmartphone());
    FailPlatformQueries(true);
    ResetDeviceInfo();
    EXPECT_FALSE(IsSmartphone());
    EXPECT_EQ(0x0300, GetOsVersion());
    ClearPlatformOverrides();
    ResetDeviceInfo();
}

TEST(DeviceInfo, EnvironmentChoosesSmartphoneAndVersion)
{
    SetEnvironmentVariableW(L"HIVELET_PLATFORM", L"Smartphone");
    SetEnvironmentVariableW(L"HIVELET_OSVERSION", L"4.20");
    ResetDeviceInfo();
    EXPECT_TRUE(IsSmartphone());
    EXPECT_EQ(0x0420, GetOsVersion());
    SetEnvironmentVariableW(L"HIVELET_OSVERSION", L"four");
    ResetDeviceInfo();
    EXPECT_NE(0x0420, GetOsVersion()); // unreadable: the real version
    SetEnvironmentVariableW(L"HIVELET_PLATFORM", nullptr);
    SetEnvironmentVariableW(L"HIVELET_OSVERSION", nullptr);
    ResetDeviceInfo();
    EXPECT_FALSE(IsSmartphone());
    EXPECT_GE(GetOsVersion(), 0x0500);
}

TEST(ScreenScale, HighResolutionAndScalingAtInjectedDensities)
{
    OverrideLogPixels(96, 96);
    EXPECT_FALSE(IsHighResolution());
    EXPECT_EQ(5, ScaleY(5));
    EXPECT_EQ(-11, FontHeightFromPoints(8));
    OverrideLogPixels(131, 131);
    EXPECT_FALSE(IsHighResolution());
    EXPECT_EQ(7, ScaleX(5)); // (131 * 5 + 48) / 96
    OverrideLogPixels(192, 144);
    EXPECT_TRUE(IsHighResolution());
    EXPECT_EQ(34, ScaleX(17));
    EXPECT_EQ(26, ScaleY(17)); // (144 * 17 + 48) / 96
    EXPECT_EQ(-16, FontHeightFromPoints(8));
    OverrideLogPixels(0, 0);
    EXPECT_GT(GetLogPixelsX(), 0);
}

TEST(ResizeNoFlickering, CoversTheParentUntilDestroyed)
{
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND cover = nullptr;
    {
        CResizeNoFlickering resize;
        ASSERT_TRUE(resize.Cover(parent, nullptr));
        HWND first = resize.GetCoverWindow();
        ASSERT_TRUE(resize.Cover(parent, nullptr));
        EXPECT_FALSE(IsWindow(first));
        cover = resize.GetCoverWindow();
        RECT rect;
        GetClientRect(cover, &rect);
        EXPECT_EQ(200, rect.right);
        EXPECT_EQ(100, rect.bottom);
        EXPECT_EQ(1, SendMessageW(cover, WM_ERASEBKGND, 0, 0));
        EXPECT_EQ(CString(CTransparentWindow::kClassName), CShdWnd::QueryClassName(cover, L""));
    }
    EXPECT_FALSE(IsWindow(cover));
    DestroyWindow(parent);
}
