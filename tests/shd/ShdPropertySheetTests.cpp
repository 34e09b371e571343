// A two-page sheet: Done applies both pages, Cancel none, a refusing page keeps the sheet on it.
#include "shd/ShdPropertySheet.h"
#include "tests/shd/TestResources.h"
#include "tests/support/DialogDriver.h"

#include <gtest/gtest.h>

namespace {

const UINT kAskCurrentPage = WM_APP + 5;

class CTestPage : public CShdPropertySheetPage
{
public:
    int OnSetActive() override
    {
        ++activated;
        return 1;
    }
    int OnKillActive() override { return refuseLeave ? 0 : 1; }
    int OnApply() override
    {
        ++applied;
        return 1;
    }
    void OnReset() override { ++reset; }

    bool refuseLeave = false;
    int activated = 0;
    int applied = 0;
    int reset = 0;
};

class CTestSheet : public CShdPropertySheet
{
public:
    int OnInitialized() override
    {
        initialized = true;
        caption = QueryWindowText(m_hwnd, L"");
        return 1;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kAskCurrentPage) {
            HWND page = reinterpret_cast<HWND>(SendMessageW(m_hwnd, PSM_GETCURRENTPAGEHWND, 0, 0));
            currentPage = int(SendMessageW(m_hwnd, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
            return 0;
        }
        return CShdPropertySheet::WindowProc(message, wParam, lParam);
    }
    bool initialized = false;
    CString caption;
    int currentPage = -1;
};

class ShdPropertySheet : public testing::Test
{
protected:
    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        m_one.Init(instance, IDD_TEST_PAGE_ONE, L"One");
        m_two.Init(instance, IDD_TEST_PAGE_TWO, L"Two");
        m_sheet.Init(instance, L"Options", 0);
        ASSERT_EQ(0, m_sheet.AddPage(&m_one));
        ASSERT_EQ(1, m_sheet.AddPage(&m_two));
    }

    // Visits the second page, asks where the sheet is, then presses a button.
    void Drive(int button)
    {
        m_driver.Expect([button](HWND sheet) {
            PostMessageW(sheet, PSM_SETCURSEL, 1, 0);
            PostMessageW(sheet, kAskCurrentPage, 0, 0);
            PostMessageW(sheet, PSM_PRESSBUTTON, button, 0);
        });
    }

    CDialogDriver m_driver;
    CTestPage m_one, m_two;
    CTestSheet m_sheet;
};

} // namespace

TEST_F(ShdPropertySheet, DoneAppliesBothPages)
{
    Drive(PSBTN_OK);
    EXPECT_TRUE(m_sheet.DoModal(nullptr));
    EXPECT_TRUE(m_sheet.initialized);
    EXPECT_EQ(CString(L"Options"), m_sheet.caption.Left(7));
    EXPECT_EQ(1, m_sheet.currentPage);
    EXPECT_EQ(1, m_one.applied);
    EXPECT_EQ(1, m_two.applied);
    EXPECT_EQ(nullptr, m_sheet.GetHwnd());
    EXPECT_EQ(nullptr, m_one.GetHwnd());
}

TEST_F(ShdPropertySheet, CancelAppliesNone)
{
    Drive(PSBTN_CANCEL);
    EXPECT_FALSE(m_sheet.DoModal(nullptr));
    EXPECT_EQ(0, m_one.applied);
    EXPECT_EQ(0, m_two.applied);
    EXPECT_EQ(1, m_one.reset);
}

TEST_F(ShdPropertySheet, RefusingPageKeepsTheSheetOnIt)
{
    m_one.refuseLeave = true;
    Drive(PSBTN_CANCEL);
    EXPECT_FALSE(m_sheet.DoModal(nullptr));
    EXPECT_EQ(0, m_sheet.currentPage);
    EXPECT_EQ(0, m_two.activated);
    EXPECT_EQ(0, m_one.applied);
}

TEST(ShdPropertySheetSetup, NotReadyOrEmptySheetsDoNotRun)
{
    CShdPropertySheet unready;
    EXPECT_FALSE(unready.DoModal(nullptr));
    CShdPropertySheet empty;
    empty.Init(GetModuleHandleW(nullptr), L"x", 0);
    EXPECT_FALSE(empty.DoModal(nullptr));
    EXPECT_EQ(-1, empty.AddPage(nullptr));
}
