// The About box: how each way of closing it ends, the older Smartphone's soft-key bar, and the
// main window's command that opens it.
#include "app/AboutDlg.h"
#include "app/MainWnd.h"
#include "platform/MenuBarWindow.h"
#include "platform/PlatformInfo.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/ScreenScale.h"
#include "shd/ShdWnd.h"
#include "tests/app/MainViewTests.h"
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

    CShdWnd m_owner;
};

} // namespace

TEST_F(AboutDlg, EndsByEachWayOfClosing)
{
    EXPECT_EQ(1, Run([](HWND dialog) { CDialogDriver::PostCommand(dialog, ID_DIALOG_CLOSE); }));
    EXPECT_EQ(1, Run([](HWND dialog) { CDialogDriver::PostCommand(dialog, IDOK); }));
    EXPECT_EQ(2, Run([](HWND dialog) { CDialogDriver::PostCommand(dialog, IDCANCEL); }));
    EXPECT_EQ(2, Run([](HWND dialog) {
                  PostMessageW(dialog, WM_COMMAND, 40999, 0); // ignored
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              }));
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

TEST_F(AboutDlg, MainWindowOpensItWithAbout)
{
    CMainWnd main(true, L"");
    ASSERT_TRUE(main.CreateMain(GetModuleHandleW(nullptr)));
    DrainMainWindowMessages();
    CDialogDriver driver;
    CString version;
    driver.Expect([&](HWND dialog) {
        version = CDialogDriver::GetItemText(dialog, IDC_ABOUT_VERSION);
        CDialogDriver::PostCommand(dialog, ID_DIALOG_CLOSE);
    });
    SendMessageW(main.GetHwnd(), WM_COMMAND, ID_ABOUT, 0);
    EXPECT_TRUE(driver.AllHandled());
    EXPECT_EQ(CAboutDlg::FormatVersion(), version);
    main.Destroy();
    DrainMainWindowMessages();
}
