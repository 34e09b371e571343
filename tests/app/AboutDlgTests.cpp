// The About box: version line, how each way of closing it ends, the layout on resizing, the
// older Smartphone's soft-key bar, and the emblem's strokes.
#include "app/AboutDlg.h"
#include "app/MainWnd.h"
#include "platform/MenuBarWindow.h"
#include "platform/PlatformInfo.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/ScreenScale.h"
#include "shd/ShdWnd.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

class AboutDlg : public testing::Test
{
protected:
    void SetUp() override
    {
        OverrideLogPixels(96, 96);
        ASSERT_TRUE(m_owner.Create(0, nullptr, L"", WS_POPUP, 0, 0, 240, 320, nullptr, 0, nullptr));
    }
    void TearDown() override
    {
        ClearPlatformOverrides();
        ResetDeviceInfo();
        OverrideLogPixels(0, 0);
    }
    // Runs the box; handler sees it open.
    INT_PTR Run(CDialogDriver::Handler handler)
    {
        CDialogDriver driver;
        driver.Expect(std::move(handler));
        CAboutDlg about;
        INT_PTR result = about.Run(m_owner.GetHwnd());
        EXPECT_TRUE(driver.AllHandled());
        return result;
    }
    static RECT ChildRect(HWND dialog, int id)
    {
        RECT rect;
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    CShdWnd m_owner;
};

} // namespace

TEST_F(AboutDlg, ShowsTheVersionAndEndsByEachWayOfClosing)
{
    CString product, version;
    EXPECT_EQ(1, Run([&](HWND dialog) {
                  product = CDialogDriver::GetItemText(dialog, IDC_ABOUT_PRODUCT);
                  version = CDialogDriver::GetItemText(dialog, IDC_ABOUT_VERSION);
                  CDialogDriver::PostCommand(dialog, ID_DIALOG_CLOSE);
              }));
    EXPECT_EQ(CString(L"Keyhaven"), product);
    EXPECT_EQ(CString(L"Version 1.1.2, Build 183"), version);
    EXPECT_EQ(1, Run([](HWND dialog) { CDialogDriver::PostCommand(dialog, IDOK); }));
    EXPECT_EQ(2, Run([](HWND dialog) { CDialogDriver::PostCommand(dialog, IDCANCEL); }));
    EXPECT_EQ(2, Run([](HWND dialog) {
                  PostMessageW(dialog, WM_COMMAND, 40999, 0); // ignored
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              }));
}

TEST_F(AboutDlg, TextsSpanTheWidthAndTheIconIsCentredOnResizing)
{
    RECT text = {}, version = {}, icon = {};
    Run([&](HWND dialog) {
        SendMessageW(dialog, WM_SIZE, 0, MAKELPARAM(300, 200));
        text = ChildRect(dialog, IDC_ABOUT_TEXT);
        version = ChildRect(dialog, IDC_ABOUT_VERSION);
        icon = ChildRect(dialog, IDC_ABOUT_ICON);
        CDialogDriver::PostCommand(dialog, IDCANCEL);
    });
    EXPECT_EQ(300 - 16, text.right - text.left);
    EXPECT_EQ(300 - 16, version.right - version.left);
    EXPECT_NEAR(150, (icon.left + icon.right) / 2, 1);
}

TEST_F(AboutDlg, OlderSmartphoneUsesTheCloseSoftKeyBar)
{
    OverridePlatformType(L"Smartphone");
    OverridePlatformVersion(4, 20);
    ResetDeviceInfo();
    int command = 0;
    EXPECT_EQ(1, Run([&](HWND dialog) {
                  HWND menuBar = CMenuBarWindow::FindForOwner(dialog);
                  TBBUTTON button = {};
                  if (menuBar && SendMessageW(menuBar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)))
                      command = button.idCommand;
                  CDialogDriver::PostCommand(dialog, ID_DIALOG_CLOSE);
              }));
    EXPECT_EQ(ID_DIALOG_CLOSE, command);
}

TEST_F(AboutDlg, EmblemIsADiamondWithAZ)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 100;
    info.bmiHeader.biHeight = -100;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    RECT all = {0, 0, 100, 100};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    CAboutDlg::DrawEmblem(dc, all);
    // Centre (82, 82), half sizes 10; the Z spans 3 either side.
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    EXPECT_EQ(black, GetPixel(dc, 72, 82)); // left corner
    EXPECT_EQ(black, GetPixel(dc, 82, 72)); // top corner
    EXPECT_EQ(black, GetPixel(dc, 92, 82)); // right corner, set on its own
    EXPECT_EQ(black, GetPixel(dc, 82, 92)); // bottom corner
    EXPECT_EQ(black, GetPixel(dc, 82, 79)); // top stroke of the Z
    EXPECT_EQ(black, GetPixel(dc, 82, 82)); // its diagonal
    EXPECT_EQ(black, GetPixel(dc, 80, 85)); // its bottom stroke
    EXPECT_EQ(white, GetPixel(dc, 82, 76));
    EXPECT_EQ(white, GetPixel(dc, 70, 82)); // outside
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST_F(AboutDlg, MainWindowOpensItWithAbout)
{
    CMainWnd main(true, L"");
    ASSERT_TRUE(main.CreateMain(GetModuleHandleW(nullptr)));
    MSG message;
    while (PeekMessageW(&message, nullptr, CMainWnd::kStartupMessage, CMainWnd::kStartupMessage, PM_REMOVE)) {
    }
    CDialogDriver driver;
    CString caption, version;
    driver.Expect([&](HWND dialog) {
        caption = CShdWnd::QueryWindowText(dialog, L"");
        version = CDialogDriver::GetItemText(dialog, IDC_ABOUT_VERSION);
        CDialogDriver::PostCommand(dialog, ID_DIALOG_CLOSE);
    });
    SendMessageW(main.GetHwnd(), WM_COMMAND, ID_ABOUT, 0);
    EXPECT_TRUE(driver.AllHandled());
    EXPECT_EQ(CString(L"About"), caption);
    EXPECT_EQ(CAboutDlg::FormatVersion(), version);
    main.Destroy();
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
