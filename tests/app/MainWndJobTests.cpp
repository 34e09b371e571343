// The export and import jobs under the progress dialog as the main window runs them, against
// the in-memory registry: Cancel and its question, the close request, the header setting, and
// the position save of an interactive run at exit.
#include "app/MainWnd.h"
#include "settings/Settings.h"
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

const wchar_t kBranch[] = L"Software\\JobBranch";

// Holds the export's worker at its first registry call until the progress dialog is gone, so
// that what the user does in the dialog is seen before the job can end.
class MainWndJobs : public testing::Test
{
protected:
    void SetUp() override
    {
        m_scope = std::make_unique<CScopedRegistryBackend>(m_memory);
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kBranch));
        for (DWORD i = 0; i < 50; ++i) {
            CString name;
            name.Format(L"Value%u", i);
            key.SetDword(name, i);
        }
        key.Close(false);
        m_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD uiThread = GetCurrentThreadId();
        HANDLE release = m_release;
        m_memory.SetCallHook([uiThread, release](IRegistryBackend::EOperation) {
            if (GetCurrentThreadId() != uiThread)
                WaitForSingleObject(release, 10000);
        });
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        m_file = CString(dir) + L"hivelet job test.reg";
        DeleteFileW(m_file);
        m_main = std::make_unique<CMainWnd>(true, L"");
        ASSERT_TRUE(m_main->CreateMain(GetModuleHandleW(nullptr)));
        // The start-up message would carry out the (empty) command line and destroy the window
        // from within the first modal loop.
        DropMessages(CMainWnd::kStartupMessage);
    }
    void TearDown() override
    {
        SetEvent(m_release);
        m_memory.SetCallHook(nullptr);
        DestroyMain();
        CloseHandle(m_release);
        DeleteFileW(m_file);
    }
    void DestroyMain()
    {
        // The quit message of the destroyed window would end the next modal loop of this thread.
        m_main.reset();
        DropMessages(WM_QUIT);
    }
    static void DropMessages(UINT id)
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, id, id, PM_REMOVE)) {
        }
    }

    // The next progress dialog: check the owner is disabled, let the job go on once the dialog
    // is destroyed, then post the given message to it.
    void ExpectProgressDialog(UINT message, WPARAM wParam)
    {
        m_driver.Expect([this, message, wParam](HWND dialog) {
            m_ownerDisabledWhileShown = !IsWindowEnabled(m_main->GetHwnd());
            m_progressText = CDialogDriver::GetItemText(dialog, IDC_PROGRESS_TEXT);
            SetWindowSubclass(dialog, ReleaseOnDestroy, 1, reinterpret_cast<DWORD_PTR>(m_release));
            PostMessageW(dialog, message, wParam, 0);
        });
    }
    static LRESULT CALLBACK ReleaseOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR release)
    {
        if (message == WM_DESTROY) {
            RemoveWindowSubclass(window, ReleaseOnDestroy, id);
            SetEvent(reinterpret_cast<HANDLE>(release));
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }

    CMemoryRegistryBackend m_memory;
    std::unique_ptr<CScopedRegistryBackend> m_scope;
    HANDLE m_release = nullptr;
    CString m_file;
    std::unique_ptr<CMainWnd> m_main;
    CDialogDriver m_driver;
    bool m_ownerDisabledWhileShown = false;
    CString m_progressText;
};

} // namespace

TEST_F(MainWndJobs, CancelledExportAsksWhetherToDeleteTheFileAndHonoursBothAnswers)
{
    for (int answer : {IDYES, IDNO}) {
        ResetEvent(m_release);
        DeleteFileW(m_file);
        ExpectProgressDialog(WM_COMMAND, IDCANCEL);
        CMessageBoxRecorder recorder;
        recorder.QueueAnswer(answer);
        EXPECT_FALSE(m_main->RunExport(m_file, true, HKEY_CURRENT_USER, kBranch));
        ASSERT_EQ(1u, recorder.Count()) << "no final message after a cancel";
        EXPECT_EQ(CString(L"Do you want to delete file?"), recorder.Text(0));
        EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), recorder.Messages()[0].style);
        EXPECT_EQ(CString(L"Export in progress..."), m_progressText);
        EXPECT_TRUE(m_ownerDisabledWhileShown);
        EXPECT_TRUE(IsWindowEnabled(m_main->GetHwnd()));
        EXPECT_EQ(answer == IDNO, FileExists(m_file));
    }
    EXPECT_TRUE(m_driver.AllHandled());
}

TEST_F(MainWndJobs, CloseRequestLetsTheExportFinishWithItsUsualMessage)
{
    ExpectProgressDialog(WM_CLOSE, 0);
    CMessageBoxRecorder recorder;
    EXPECT_TRUE(m_main->RunExport(m_file, false, HKEY_CURRENT_USER, kBranch));
    ASSERT_EQ(1u, recorder.Count());
    EXPECT_EQ(CString(L"Registry export finished successfully."), recorder.Text(0));
    EXPECT_TRUE(m_ownerDisabledWhileShown);
    EXPECT_TRUE(FileExists(m_file));
    EXPECT_TRUE(m_driver.AllHandled());
}

TEST_F(MainWndJobs, CancelledImportShowsNoMessage)
{
    HANDLE file = CreateFileW(m_file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char text[] = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Imported]\r\n\"A\"=\"1\"\r\n";
    DWORD written = 0;
    WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
    CloseHandle(file);
    ExpectProgressDialog(WM_COMMAND, IDCANCEL);
    CMessageBoxRecorder recorder;
    EXPECT_FALSE(m_main->RunImport(m_file));
    EXPECT_EQ(0u, recorder.Count());
    EXPECT_EQ(CString(L"Import in progress..."), m_progressText);
    EXPECT_TRUE(m_ownerDisabledWhileShown);
    EXPECT_TRUE(IsWindowEnabled(m_main->GetHwnd()));
}

TEST_F(MainWndJobs, ImportFollowsTheHeaderCheckSetting)
{
    SetEvent(m_release);
    HANDLE file = CreateFileW(m_file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char text[] = "Not a header\r\n[HKEY_CURRENT_USER\\Software\\Imported]\r\n\"A\"=\"1\"\r\n";
    DWORD written = 0;
    WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
    CloseHandle(file);
    bool saved = Settings().GetDoNotCheckImportHeader();
    {
        Settings().SetDoNotCheckImportHeader(false);
        CMessageBoxRecorder recorder;
        EXPECT_FALSE(m_main->RunImport(m_file));
        EXPECT_EQ(CString(L"There were errors during importing registry file. Invalid file header."),
                  recorder.Text(0));
    }
    {
        Settings().SetDoNotCheckImportHeader(true);
        CMessageBoxRecorder recorder;
        EXPECT_TRUE(m_main->RunImport(m_file));
        EXPECT_EQ(CString(L"Registry import finished successfully."), recorder.Text(0));
    }
    Settings().SetDoNotCheckImportHeader(saved);
    CShdRegKey imported;
    EXPECT_TRUE(imported.Open(HKEY_CURRENT_USER, L"Software\\Imported"));
}

namespace {

// The position group at exit, in the in-memory registry.
class MainWndExit : public testing::Test
{
protected:
    void SetUp() override
    {
        m_scope = std::make_unique<CScopedRegistryBackend>(m_memory);
        m_savedSavePosition = Settings().GetSavePosition();
    }
    void TearDown() override
    {
        Settings().SetSavePosition(m_savedSavePosition);
        Settings().Load(); // nothing stored: back to the defaults
    }
    void SeedPosition()
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, CSettings::kKeyPath));
        key.SetDword(L"LastPositionRoot", 0x80000001);
        key.SetString(L"LastPositionKeyName", L"Software\\Stored");
        key.SetString(L"LastPositionValueName", L"Stored");
        key.SetDword(L"LastPositionValueSelected", 1);
        key.Close(false);
        Settings().Load();
    }
    void RunAndClose(bool commandLineMode)
    {
        auto main = std::make_unique<CMainWnd>(commandLineMode, L"");
        ASSERT_TRUE(main->CreateMain(GetModuleHandleW(nullptr)));
        MSG message;
        while (PeekMessageW(&message, nullptr, CMainWnd::kStartupMessage, CMainWnd::kStartupMessage,
                            PM_REMOVE)) {
        }
        m_flushesBefore = m_memory.CallCount(IRegistryBackend::OpFlushKey);
        SendMessageW(main->GetHwnd(), WM_COMMAND, ID_EXIT, 0);
        EXPECT_EQ(nullptr, main->GetHwnd());
        EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no quit message";
        m_flushes = m_memory.CallCount(IRegistryBackend::OpFlushKey) - m_flushesBefore;
    }
    CString Stored(const wchar_t* name)
    {
        CShdRegKey key;
        key.Open(HKEY_LOCAL_MACHINE, CSettings::kKeyPath);
        return key.GetString(name, L"(none)");
    }
    DWORD StoredDword(const wchar_t* name)
    {
        CShdRegKey key;
        key.Open(HKEY_LOCAL_MACHINE, CSettings::kKeyPath);
        return key.GetDword(name, 99);
    }

    CMemoryRegistryBackend m_memory;
    std::unique_ptr<CScopedRegistryBackend> m_scope;
    bool m_savedSavePosition = true;
    unsigned long m_flushesBefore = 0, m_flushes = 0;
};

} // namespace

TEST_F(MainWndExit, InteractiveRunWritesThePositionGroupAndFlushes)
{
    SeedPosition();
    Settings().SetSavePosition(false);
    RunAndClose(false);
    // Nothing selected and remembering off: the stored position is cleared.
    EXPECT_EQ(0u, StoredDword(L"LastPositionRoot"));
    EXPECT_EQ(CString(L""), Stored(L"LastPositionKeyName"));
    EXPECT_EQ(CString(L""), Stored(L"LastPositionValueName"));
    EXPECT_EQ(0u, StoredDword(L"LastPositionValueSelected"));
    EXPECT_EQ(1u, m_flushes);
}

TEST_F(MainWndExit, CommandLineRunLeavesTheStoredPositionAlone)
{
    SeedPosition();
    RunAndClose(true);
    EXPECT_EQ(0x80000001u, StoredDword(L"LastPositionRoot"));
    EXPECT_EQ(CString(L"Software\\Stored"), Stored(L"LastPositionKeyName"));
    EXPECT_EQ(CString(L"Stored"), Stored(L"LastPositionValueName"));
    EXPECT_EQ(1u, StoredDword(L"LastPositionValueSelected"));
    EXPECT_EQ(0u, m_flushes);
}
