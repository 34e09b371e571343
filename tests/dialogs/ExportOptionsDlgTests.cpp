// The export options dialog: initial choices, what Done and Cancel hand back, and the file
// name's height on a short screen.
#include "dialogs/ExportOptionsDlg.h"

#include "res/resource.h"
#include "shd/DialogLayout.h"
#include "shd/ScreenScale.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

TEST(ExportOptionsDlg, ShowsTheChoicesAndHandsBackTheNewOnesOnDone)
{
    CDialogDriver driver;
    bool entire = true, branch = false, unicode = false;
    CString fileName;
    driver.Expect([&](HWND dialog) {
        entire = Checked(dialog, IDC_EXPORT_ENTIRE);
        branch = Checked(dialog, IDC_EXPORT_BRANCH);
        unicode = Checked(dialog, IDC_EXPORT_UNICODE);
        fileName = CDialogDriver::GetItemText(dialog, IDC_EXPORT_FILE_NAME);
        CheckRadioButton(dialog, IDC_EXPORT_ENTIRE, IDC_EXPORT_BRANCH, IDC_EXPORT_ENTIRE);
        CDialogDriver::SetCheck(dialog, IDC_EXPORT_UNICODE, false);
        CDialogDriver::PostCommand(dialog, IDOK);
    });
    CExportOptionsDlg dialog;
    bool chosenBranch = true, chosenUnicode = true;
    ASSERT_TRUE(dialog.Run(nullptr, L"\\My Documents\\soft.reg", chosenBranch, chosenUnicode));
    EXPECT_FALSE(entire);
    EXPECT_TRUE(branch);
    EXPECT_TRUE(unicode);
    EXPECT_EQ(fileName, L"\\My Documents\\soft.reg");
    EXPECT_FALSE(chosenBranch);
    EXPECT_FALSE(chosenUnicode);
}

// The name keeps its top; on a short dialog its bottom moves up, never below 24 pixels' height,
// and on a taller one it gets its height back.
TEST(ExportOptionsDlg, FileNameShrinksOnShortScreensAndGrowsBack)
{
    CDialogDriver driver;
    int shortHeight = 0, tallHeight = 0, templateHeight = 0;
    driver.Expect([&](HWND dialog) {
        HWND name = GetDlgItem(dialog, IDC_EXPORT_FILE_NAME);
        RECT rect = GetChildRect(name);
        RECT window;
        GetWindowRect(dialog, &window);
        SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, rect.top + 5,
                     SWP_NOMOVE | SWP_NOZORDER);
        RECT small = GetChildRect(name);
        shortHeight = small.bottom - small.top;
        SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, 2000, SWP_NOMOVE | SWP_NOZORDER);
        RECT tall = GetChildRect(name);
        tallHeight = tall.bottom - tall.top;
        RECT units = {0, 0, 0, 37};
        MapDialogRect(dialog, &units);
        templateHeight = units.bottom;
        CDialogDriver::PostCommand(dialog, IDCANCEL);
    });
    CExportOptionsDlg dialog;
    bool branch = true, unicode = true;
    dialog.Run(nullptr, L"x.reg", branch, unicode);
    EXPECT_EQ(shortHeight, ScaleY(24));
    EXPECT_EQ(tallHeight, templateHeight);
}

} // namespace
