// The options sheet against the in-memory registry: pages filled from the settings, saved only
// on Done, and the association buttons acting at once with their questions and messages.
#include "dialogs/OptionsDlg.h"

#include "settings/Settings.h"
#include "dialogs/RegAssociation.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

class OptionsDlgTest : public testing::Test
{
protected:
    void SetUp() override { Settings().Load(); }

    static void SetInstallDir(const wchar_t* folder)
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, kInstallDirKey));
        ASSERT_TRUE(key.SetString(L"InstallDir", folder));
    }
    static void SetForeignAssociation()
    {
        CShdRegKey ext, command;
        ASSERT_TRUE(ext.Create(HKEY_CLASSES_ROOT, L".reg"));
        ASSERT_TRUE(ext.SetString(L"", L"regfile"));
        ASSERT_TRUE(command.Create(HKEY_CLASSES_ROOT, L"regfile\\Shell\\Open\\Command"));
        ASSERT_TRUE(command.SetString(L"", L"regedit.exe \"%1\""));
    }
    static DWORD StoredOption(const wchar_t* name)
    {
        CShdRegKey key;
        DWORD value = 0xDEAD;
        if (key.Open(HKEY_LOCAL_MACHINE, CSettings::kKeyPath))
            key.QueryDword(name, value);
        return value;
    }
    static HWND ShowPage(HWND sheet, int index)
    {
        SendMessageW(sheet, PSM_SETCURSEL, WPARAM(index), 0);
        return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    static bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    static bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
    static void Press(HWND page, int id)
    {
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(page, id)));
    }

    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
    CMessageBoxRecorder m_boxes;
};

TEST_F(OptionsDlgTest, DoneAppliesAndSavesThePages)
{
    CDialogDriver driver;
    bool shownSavePosition = false, shownToolbar = false, shownNoCheck = true;
    driver.Expect([&](HWND sheet) {
        HWND general = ShowPage(sheet, 0);
        shownSavePosition = Checked(general, IDC_OPTIONS_SAVE_POSITION);
        shownToolbar = Checked(general, IDC_OPTIONS_SEARCH_TOOLBAR);
        CDialogDriver::SetCheck(general, IDC_OPTIONS_SEARCH_TOOLBAR, false);
        HWND import = ShowPage(sheet, 1);
        shownNoCheck = Checked(import, IDC_OPTIONS_NO_HEADER_CHECK);
        CDialogDriver::SetCheck(import, IDC_OPTIONS_NO_HEADER_CHECK, true);
        PostMessageW(sheet, WM_COMMAND, IDOK, 0);
    });
    COptionsDlg dialog;
    EXPECT_TRUE(dialog.ShowOptions(nullptr));
    EXPECT_TRUE(shownSavePosition);
    EXPECT_TRUE(shownToolbar);
    EXPECT_FALSE(shownNoCheck);
    EXPECT_FALSE(Settings().GetShowSearchToolbar());
    EXPECT_TRUE(Settings().GetDoNotCheckImportHeader());
    EXPECT_EQ(StoredOption(L"ShowSearchToolbar"), 0u);
    EXPECT_EQ(StoredOption(L"DoNotCheckImportHeader"), 1u);
    EXPECT_EQ(StoredOption(L"SavePosition"), 1u);
}

TEST_F(OptionsDlgTest, ForeignAssociationIsKeptUnlessConfirmedAndNotRemoved)
{
    SetInstallDir(L"\\App");
    SetForeignAssociation();
    CDialogDriver driver;
    CString afterNo, afterYes;
    bool removeEnabled = false;
    driver.Expect([&](HWND sheet) {
        HWND import = ShowPage(sheet, 1);
        Press(import, IDC_OPTIONS_REMOVE); // greyed for the user, refused when it comes anyway
        m_boxes.QueueAnswer(IDNO);
        Press(import, IDC_OPTIONS_INSTALL);
        GetAssociationCommand(L".reg", afterNo);
        m_boxes.QueueAnswer(IDYES);
        Press(import, IDC_OPTIONS_INSTALL);
        GetAssociationCommand(L".reg", afterYes);
        Press(import, IDC_OPTIONS_REMOVE);
        removeEnabled = Enabled(import, IDC_OPTIONS_REMOVE);
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    COptionsDlg dialog;
    dialog.ShowOptions(nullptr);
    ASSERT_EQ(m_boxes.Count(), 3u);
    EXPECT_EQ(m_boxes.Text(0), L"Keyhaven is not associated with reg files.");
    EXPECT_EQ(m_boxes.Text(1),
              L"This file type is already associated with another program. Do you want to proceed anyway?");
    EXPECT_EQ(m_boxes.Messages()[1].style, UINT(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND));
    EXPECT_EQ(m_boxes.Text(2), m_boxes.Text(1));
    EXPECT_EQ(afterNo, L"regedit.exe \"%1\"");
    EXPECT_EQ(afterYes, L"\"\\App\\Hivelet.exe\" \"%1\"");
    // The last Remove took ours away.
    CString none;
    EXPECT_FALSE(GetAssociationCommand(L".reg", none));
    EXPECT_FALSE(removeEnabled);
}

// A registration without a readable command is still another program's: Install asks first and
// Remove leaves it. Failed registry writes are reported.
TEST_F(OptionsDlgTest, RegistrationWithoutCommandIsAskedAboutAndFailuresAreReported)
{
    SetInstallDir(L"\\App");
    {
        CShdRegKey ext, classKey;
        ASSERT_TRUE(ext.Create(HKEY_CLASSES_ROOT, L".reg"));
        ASSERT_TRUE(ext.SetString(L"", L"regfile"));
        ASSERT_TRUE(classKey.Create(HKEY_CLASSES_ROOT, L"regfile\\Shell\\Print"));
    }
    CDialogDriver driver;
    bool keptAfterRemove = false, keptAfterNo = false, failedInstallKept = false, removeEnabled = true;
    driver.Expect([&](HWND sheet) {
        HWND import = ShowPage(sheet, 1);
        Press(import, IDC_OPTIONS_REMOVE);
        CShdRegKey check;
        keptAfterRemove = check.Open(HKEY_CLASSES_ROOT, L"regfile\\Shell\\Print");
        m_boxes.QueueAnswer(IDNO);
        Press(import, IDC_OPTIONS_INSTALL);
        keptAfterNo = check.Open(HKEY_CLASSES_ROOT, L"regfile\\Shell\\Print");
        m_memory.FailCall(IRegistryBackend::OpSetValue, 1);
        m_boxes.QueueAnswer(IDYES);
        Press(import, IDC_OPTIONS_INSTALL);
        failedInstallKept = check.Open(HKEY_CLASSES_ROOT, L"regfile\\Shell\\Print") && !IsAssociated();
        m_boxes.QueueAnswer(IDYES);
        Press(import, IDC_OPTIONS_INSTALL);
        m_memory.ProtectKey(HKEY_CLASSES_ROOT, L".reg");
        m_memory.ProtectValue(HKEY_CLASSES_ROOT, L".reg", L"");
        Press(import, IDC_OPTIONS_REMOVE);
        removeEnabled = Enabled(import, IDC_OPTIONS_REMOVE);
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    COptionsDlg dialog;
    dialog.ShowOptions(nullptr);
    const CString question =
        L"This file type is already associated with another program. Do you want to proceed anyway?";
    ASSERT_EQ(m_boxes.Count(), 6u);
    EXPECT_EQ(m_boxes.Text(0), L"Keyhaven is not associated with reg files.");
    EXPECT_EQ(m_boxes.Text(1), question);
    EXPECT_EQ(m_boxes.Text(2), question);
    EXPECT_EQ(m_boxes.Text(3), L"Unable to install the .reg file association.");
    EXPECT_EQ(m_boxes.Messages()[3].style, UINT(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND));
    EXPECT_EQ(m_boxes.Text(4), question);
    EXPECT_EQ(m_boxes.Text(5), L"Unable to remove the .reg file association.");
    EXPECT_TRUE(keptAfterRemove);
    EXPECT_TRUE(keptAfterNo);
    EXPECT_TRUE(failedInstallKept);
    EXPECT_TRUE(IsAssociated()) << "the removal failed";
    EXPECT_TRUE(removeEnabled);
}

TEST_F(OptionsDlgTest, WithoutInstallDirBothButtonsReportTheMissingSetting)
{
    CDialogDriver driver;
    driver.Expect([&](HWND sheet) {
        HWND import = ShowPage(sheet, 1);
        Press(import, IDC_OPTIONS_INSTALL);
        Press(import, IDC_OPTIONS_REMOVE);
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    COptionsDlg dialog;
    dialog.ShowOptions(nullptr);
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Text(0), L"Internal error. Required registry settings not found.");
    EXPECT_EQ(m_boxes.Text(1), m_boxes.Text(0));
    CShdRegKey key;
    EXPECT_FALSE(key.Open(HKEY_CLASSES_ROOT, L".reg"));
}

} // namespace
