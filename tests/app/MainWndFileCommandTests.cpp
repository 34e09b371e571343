// "Export...", "Import..." and "Options..." through the main window's menu commands, with the
// file dialog walked as a user would (from the root of the current drive), against the
// in-memory registry: the same bytes as the command-line export, the overwrite question, the
// missing file and the import question.
#include "app/MainWnd.h"

#include "settings/Settings.h"
#include "dialogs/FilePaths.h"
#include "dialogs/RegAssociation.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>

namespace {

class MainWndFileCommands : public testing::Test
{
protected:
    void SetUp() override
    {
        Settings().Load();
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, L"Software\\Menu Export"));
        key.SetString(L"Greeting", L"Hello");
        key.SetDword(L"Count", 42);
        wchar_t temp[MAX_PATH], current[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = RemoveTrailingBackslash(temp);
        GetCurrentDirectoryW(MAX_PATH, current);
        m_previousDirectory = current;
        // "\" in the file dialog is the root of the current drive.
        SetCurrentDirectoryW(m_folder);
        m_main = std::make_unique<CMainWnd>(true, L"");
        ASSERT_TRUE(m_main->CreateMain(GetModuleHandleW(nullptr)));
        DropMessages(CMainWnd::kStartupMessage);
        for (const wchar_t* name : {L"menu export.reg", L"command export.reg"})
            DeleteFileW(File(name));
    }
    void TearDown() override
    {
        m_main.reset();
        DropMessages(WM_QUIT);
        SetCurrentDirectoryW(m_previousDirectory);
        for (const wchar_t* name : {L"menu export.reg", L"command export.reg", L"to import.reg"})
            DeleteFileW(File(name));
    }
    static void DropMessages(UINT id)
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, id, id, PM_REMOVE)) {
        }
    }
    CString File(const wchar_t* name) const { return m_folder + L"\\" + name; }
    void Command(UINT id) { SendMessageW(m_main->GetHwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // The file dialog: down from the drive's root to the temporary folder, then the name.
    void ExpectFile(const wchar_t* name)
    {
        CString folder = m_folder.Mid(3); // without "C:\"
        CString chosen = name;
        m_driver.Expect([folder, chosen](HWND dialog) {
            for (int start = 0; start <= folder.GetLength();) {
                int end = folder.Find(L'\\', start);
                if (end < 0)
                    end = folder.GetLength();
                CDialogDriver::SetItemText(dialog, IDC_FILE_NAME, folder.Mid(start, end - start));
                SendMessageW(dialog, WM_COMMAND, ID_SELECT_FILE, 0);
                start = end + 1;
            }
            CDialogDriver::SetItemText(dialog, IDC_FILE_NAME, chosen);
            CDialogDriver::PostCommand(dialog, ID_SELECT_FILE);
        });
    }
    void ExpectExportOptions(bool entire)
    {
        m_driver.Expect([entire](HWND dialog) {
            if (entire)
                CheckRadioButton(dialog, IDC_EXPORT_ENTIRE, IDC_EXPORT_BRANCH, IDC_EXPORT_ENTIRE);
            CDialogDriver::PostCommand(dialog, IDOK);
        });
    }

    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
    CString m_folder, m_previousDirectory;
    std::unique_ptr<CMainWnd> m_main;
    CDialogDriver m_driver;
};

TEST_F(MainWndFileCommands, ExportWritesTheCommandLineBytesAndAsksBeforeOverwriting)
{
    CMessageBoxRecorder boxes;
    ASSERT_TRUE(m_main->ExportFromCommandLine(File(L"command export.reg"), L""));
    // "Entire registry" whatever key is selected.
    ASSERT_TRUE(m_main->GetTree().SelectPath(HKEY_CURRENT_USER, L"Software\\Menu Export"));
    ExpectFile(L"menu export");
    ExpectExportOptions(true);
    Command(ID_REGISTRY_EXPORT);
    EXPECT_TRUE(m_driver.AllHandled());
    const std::string expected = ReadFileBytes(File(L"command export.reg"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadFileBytes(File(L"menu export.reg")), expected);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Text(1), L"Registry export finished successfully.");

    // The same name again: the question comes before the options; No ends the command.
    CShdRegKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, L"Software\\Menu Export"));
    key.SetString(L"Later", L"value");
    boxes.Clear();
    ExpectFile(L"menu export.reg");
    Command(ID_REGISTRY_EXPORT);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Text(0), L"File with that name already exists. Do you want to overwrite it?");
    EXPECT_EQ(ReadFileBytes(File(L"menu export.reg")), expected);

    boxes.Clear();
    boxes.QueueAnswer(IDYES);
    ExpectFile(L"menu export.reg");
    ExpectExportOptions(true);
    Command(ID_REGISTRY_EXPORT);
    EXPECT_TRUE(m_driver.AllHandled());
    EXPECT_NE(ReadFileBytes(File(L"menu export.reg")), expected);
    EXPECT_NE(ReadFileBytes(File(L"menu export.reg")).find("L\0a\0t\0e\0r", 0, 9), std::string::npos);
}

TEST_F(MainWndFileCommands, ExportOfTheSelectedBranchWritesTheCommandLineBytes)
{
    CShdRegKey other;
    ASSERT_TRUE(other.Create(HKEY_CURRENT_USER, L"Software\\Elsewhere"));
    other.SetString(L"NotInTheBranch", L"x");
    CMessageBoxRecorder boxes;
    ASSERT_TRUE(m_main->ExportFromCommandLine(File(L"command export.reg"), L"HKCU\\Software\\Menu Export"));
    ASSERT_TRUE(m_main->GetTree().SelectPath(HKEY_CURRENT_USER, L"Software\\Menu Export"));
    SetFocus(m_main->GetTree().GetHwnd());
    ExpectFile(L"menu export.reg");
    ExpectExportOptions(false);
    Command(ID_REGISTRY_EXPORT);
    EXPECT_TRUE(m_driver.AllHandled());
    const std::string expected = ReadFileBytes(File(L"command export.reg"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadFileBytes(File(L"menu export.reg")), expected);
    EXPECT_EQ(expected.find("N\0o\0t\0I\0n", 0, 9), std::string::npos);
    // The focus goes back to the tree, which had it.
    EXPECT_EQ(GetFocus(), m_main->GetTree().GetHwnd());
}

TEST_F(MainWndFileCommands, ImportReportsAMissingFileAndAsksBeforeImporting)
{
    CMessageBoxRecorder boxes;
    ExpectFile(L"not there");
    Command(ID_REGISTRY_IMPORT);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Text(0), L"File does not exist.");
    EXPECT_EQ(boxes.Messages()[0].style, UINT(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND));

    ASSERT_TRUE(
        WriteFileBytes(File(L"to import.reg"),
                       "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Menu Import]\r\n\"A\"=\"b\"\r\n"));
    boxes.Clear();
    ExpectFile(L"to import"); // ".reg" added
    Command(ID_REGISTRY_IMPORT);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Text(0), L"Do you want to import registry file?");
    CShdRegKey key;
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, L"Software\\Menu Import"));

    boxes.Clear();
    boxes.QueueAnswer(IDYES);
    ExpectFile(L"to import.reg");
    Command(ID_REGISTRY_IMPORT);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Text(1), L"Registry import finished successfully.");
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, L"Software\\Menu Import"));
    EXPECT_EQ(key.GetString(L"A", L""), L"b");
}

TEST_F(MainWndFileCommands, OptionsAreSavedOnlyOnDone)
{
    m_driver.Expect([](HWND sheet) {
        SendMessageW(sheet, PSM_SETCURSEL, 0, 0);
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        CDialogDriver::SetCheck(page, IDC_OPTIONS_SAVE_POSITION, false);
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    Command(ID_OPTIONS);
    EXPECT_TRUE(Settings().GetSavePosition());
    m_driver.Expect([](HWND sheet) {
        SendMessageW(sheet, PSM_SETCURSEL, 0, 0);
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        CDialogDriver::SetCheck(page, IDC_OPTIONS_SAVE_POSITION, false);
        PostMessageW(sheet, WM_COMMAND, IDOK, 0);
    });
    Command(ID_OPTIONS);
    EXPECT_TRUE(m_driver.AllHandled());
    EXPECT_FALSE(Settings().GetSavePosition());
    CSettings stored;
    stored.Load();
    EXPECT_FALSE(stored.GetSavePosition());
}

// The association acts at once through "Options...": a foreign one is replaced only when
// confirmed, ours is recognised in another letter case and removed; Cancel keeps it all.
TEST_F(MainWndFileCommands, AssociationFromTheOptionsDialog)
{
    CShdRegKey installer, extension, command;
    ASSERT_TRUE(installer.Create(HKEY_LOCAL_MACHINE, kInstallDirKey));
    installer.SetString(L"InstallDir", L"\\Program Files\\Hivelet");
    ASSERT_TRUE(extension.Create(HKEY_CLASSES_ROOT, L".reg"));
    extension.SetString(L"", L"regfile");
    ASSERT_TRUE(command.Create(HKEY_CLASSES_ROOT, L"regfile\\Shell\\Open\\Command"));
    command.SetString(L"", L"other.exe \"%1\"");
    CMessageBoxRecorder boxes;
    bool removeAfterCaseChange = false;
    CString afterNo;
    m_driver.Expect([&](HWND sheet) {
        SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        auto press = [page](int id) { SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
        boxes.QueueAnswer(IDNO);
        press(IDC_OPTIONS_INSTALL);
        GetAssociationCommand(L".reg", afterNo);
        boxes.QueueAnswer(IDYES);
        press(IDC_OPTIONS_INSTALL);
        CString upper = GetOpenCommand();
        upper.MakeUpper();
        CShdRegKey ours;
        ours.Create(HKEY_CLASSES_ROOT, L"regfile\\Shell\\Open\\Command");
        ours.SetString(L"", upper);
        SendMessageW(page, WM_ACTIVATE, WA_ACTIVE, 0);
        removeAfterCaseChange = IsWindowEnabled(GetDlgItem(page, IDC_OPTIONS_REMOVE)) != FALSE;
        press(IDC_OPTIONS_REMOVE);
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    Command(ID_OPTIONS);
    EXPECT_TRUE(m_driver.AllHandled());
    EXPECT_EQ(afterNo, L"other.exe \"%1\"");
    EXPECT_TRUE(removeAfterCaseChange);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Text(0),
              L"This file type is already associated with another program. Do you want to proceed anyway?");
    CShdRegKey gone;
    EXPECT_FALSE(gone.Open(HKEY_CLASSES_ROOT, L".reg"));
    EXPECT_FALSE(gone.Open(HKEY_CLASSES_ROOT, L"regfile"));
}

} // namespace
