// The delayed progress dialog: hidden for short jobs, Cancel, close request, quit message,
// and the owner disabled while it runs.
#include "regfile/ProgressDlg.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

class ProgressDlg : public testing::Test
{
protected:
    void SetUp() override
    {
        m_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_owner);
    }
    void TearDown() override
    {
        DestroyWindow(m_owner);
        CloseHandle(m_event);
    }

    HANDLE m_event = nullptr;
    HWND m_owner = nullptr;
};

} // namespace

TEST_F(ProgressDlg, JobDoneWithinTheDelayNeverShowsTheDialog)
{
    SetEvent(m_event);
    CDialogDriver driver;
    driver.Expect([](HWND) { ADD_FAILURE() << "the dialog was shown"; });
    CProgressDlg dialog;
    EXPECT_TRUE(dialog.Run(m_owner, L"Export in progress...", 60000, m_event));
    EXPECT_FALSE(dialog.WasShown());
    EXPECT_EQ(0, driver.HandledCount());
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(ProgressDlg, ShownAfterTheDelayAndCancelled)
{
    CDialogDriver driver;
    HWND owner = m_owner;
    CString text;
    bool ownerEnabled = true;
    driver.Expect([&](HWND dialog) {
        text = CDialogDriver::GetItemText(dialog, IDC_PROGRESS_TEXT);
        ownerEnabled = IsWindowEnabled(owner) != FALSE;
        CDialogDriver::PostCommand(dialog, IDCANCEL);
    });
    CProgressDlg dialog;
    EXPECT_FALSE(dialog.Run(m_owner, L"Import in progress...", 10, m_event));
    EXPECT_TRUE(dialog.WasShown());
    EXPECT_EQ(1, driver.HandledCount());
    EXPECT_EQ(CString(L"Import in progress..."), text);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(ProgressDlg, CloseRequestLetsTheJobFinish)
{
    CDialogDriver driver;
    HANDLE event = m_event;
    driver.Expect([event](HWND dialog) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        SetEvent(event); // the job ends some time later
    });
    CProgressDlg dialog;
    EXPECT_TRUE(dialog.Run(m_owner, L"Export in progress...", 10, m_event));
    EXPECT_EQ(1, driver.HandledCount());
}

TEST_F(ProgressDlg, QuitMessageCancelsAndIsPostedAgain)
{
    CDialogDriver driver;
    driver.Expect([](HWND) { PostQuitMessage(7); });
    CProgressDlg dialog;
    EXPECT_FALSE(dialog.Run(m_owner, L"Search in progress...", 10, m_event));
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, message.wParam);
}

TEST_F(ProgressDlg, ParentThatWasDisabledStaysDisabled)
{
    EnableWindow(m_owner, FALSE);
    SetEvent(m_event);
    CProgressDlg dialog;
    EXPECT_TRUE(dialog.Run(m_owner, L"x", 60000, m_event));
    EXPECT_FALSE(IsWindowEnabled(m_owner));
    EXPECT_TRUE(dialog.Run(nullptr, L"x", 60000, m_event)); // no owner at all
}
