// The command line as the main window carries it out: questions in order, usage and invalid
// forms, silent imports and exports, with message boxes recorded and answered.
#include "app/MainWnd.h"
#include "registry/KeyTree.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"
#include "tests/support/RegistryTest.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

const wchar_t kUsage[] = L"Usage:\r\n\"Keyhaven.exe <file>\"\r\nor\r\n\"Keyhaven.exe /e <file> <key>\"";

class MainWndCommandLine : public CRegistryTest
{
protected:
    void SetUp() override
    {
        CRegistryTest::SetUp();
        m_main = std::make_unique<CMainWnd>(true, L"");
        ASSERT_TRUE(m_main->CreateMain(GetModuleHandleW(nullptr)));
        // The start-up message would carry out the (empty) command line and destroy the window
        // from within the first modal loop.
        MSG message;
        while (PeekMessageW(&message, nullptr, CMainWnd::kStartupMessage, CMainWnd::kStartupMessage,
                            PM_REMOVE)) {
        }
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        m_dir = dir;
    }
    void TearDown() override
    {
        m_main.reset();
        MSG message;
        // Its quit message would end the next modal loop of this thread.
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        CRegistryTest::TearDown();
    }
    CString File(const wchar_t* name) const { return m_dir + name; }
    std::unique_ptr<CMainWnd> m_main;
    CString m_dir;
};

} // namespace

TEST_F(MainWndCommandLine, FileNamesAreAskedAboutInOrderAndOptionsEndAtTheFirst)
{
    CMessageBoxRecorder recorder; // every question answered No
    m_main->ProcessCommandLine(L"first.reg /e \"second file.reg\"");
    ASSERT_EQ(3u, recorder.Count());
    EXPECT_EQ(CString(L"Do you want to import registry file \"first.reg\"?"), recorder.Text(0));
    EXPECT_EQ(CString(L"Do you want to import registry file \"/e\"?"), recorder.Text(1));
    EXPECT_EQ(CString(L"Do you want to import registry file \"second file.reg\"?"), recorder.Text(2));
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), recorder.Messages()[0].style);
    EXPECT_EQ(m_main->GetHwnd(), recorder.Messages()[0].owner);
    EXPECT_EQ(0, m_main->ExitCode());
}

TEST_F(MainWndCommandLine, UsageForQuestionMarks)
{
    for (const wchar_t* line : {L"/?", L"-?", L"/s /?", L"/S /e /?"}) {
        CMessageBoxRecorder recorder;
        CMainWnd main(true, L"");
        main.ProcessCommandLine(line);
        ASSERT_EQ(1u, recorder.Count()) << line;
        EXPECT_EQ(CString(kUsage), recorder.Text(0));
        EXPECT_EQ(UINT(MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND), recorder.Messages()[0].style);
    }
    CMessageBoxRecorder quiet;
    m_main->ProcessCommandLine(L"/s");
    m_main->ProcessCommandLine(L"/e");
    EXPECT_EQ(0u, quiet.Count());
}

TEST_F(MainWndCommandLine, InvalidExportForms)
{
    for (const wchar_t* line : {L"/e out.reg HKCU\\Software extra", L"/e out.reg HKXX\\Software",
                                L"/e out.reg HKCU\\No\\Such\\Key\\Anywhere"}) {
        CMessageBoxRecorder recorder;
        CMainWnd main(true, L"");
        main.ProcessCommandLine(line);
        ASSERT_EQ(1u, recorder.Count()) << line;
        EXPECT_EQ(CString(L"Invalid command line arguments."), recorder.Text(0));
        EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND), recorder.Messages()[0].style);
        EXPECT_EQ(0, main.ExitCode()) << "the message has told the user";
        CMessageBoxRecorder silentRecorder;
        CMainWnd silent(true, L"");
        silent.ProcessCommandLine(CString(L"/s ") + line);
        EXPECT_EQ(0u, silentRecorder.Count());
        EXPECT_EQ(2, silent.ExitCode());
    }
}

TEST_F(MainWndCommandLine, ExportOfAKeyToAQuotedNameWithASpace)
{
    WriteString(TestKey(), L"Sub", L"Name", L"Data");
    CString file = File(L"hivelet export test.reg");
    DeleteFileW(file);
    CMessageBoxRecorder recorder;
    m_main->ProcessCommandLine(L"/E \"" + file + L"\" HKCU\\" + TestPath());
    ASSERT_EQ(1u, recorder.Count());
    EXPECT_EQ(CString(L"Registry export finished successfully."), recorder.Text(0));
    std::string bytes = ReadFileBytes(file);
    std::string header("\xFF\xFEW\0i\0n\0d\0o\0w\0s\0", 16);
    EXPECT_EQ(header, bytes.substr(0, header.size()));
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_NE(std::wstring::npos, text.find(L"\"Name\"=\"Data\""));
    DeleteFileW(file);
}

TEST_F(MainWndCommandLine, SilentImportAsksNothingAndReportsThroughTheExitCode)
{
    CString file = File(L"hivelet import test.reg");
    std::wstring content = L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" +
                           std::wstring(TestPath().c_str()) + L"\\Imported]\r\n\"Value\"=dword:0000002a\r\n";
    HANDLE handle = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(handle, content.data(), static_cast<DWORD>(content.size() * 2), &written, nullptr);
    CloseHandle(handle);
    {
        CMessageBoxRecorder recorder;
        m_main->ProcessCommandLine(L"/s \"" + file + L"\"");
        EXPECT_EQ(0u, recorder.Count());
        EXPECT_EQ(0, m_main->ExitCode());
    }
    EXPECT_TRUE(KeyExists(TestKey(), L"Imported"));
    CMessageBoxRecorder recorder;
    CMainWnd failing(true, L"");
    failing.ProcessCommandLine(L"/s no-such-file.reg");
    EXPECT_EQ(0u, recorder.Count());
    EXPECT_EQ(1, failing.ExitCode());
    DeleteFileW(file);
}

TEST_F(MainWndCommandLine, MissingFileIsReportedByTheImportItself)
{
    CMessageBoxRecorder recorder;
    recorder.QueueAnswer(IDYES);
    m_main->ProcessCommandLine(L"Z:\\no\\such\\file.reg");
    ASSERT_EQ(2u, recorder.Count());
    EXPECT_EQ(CString(L"There were errors during importing registry file. Unable to open file "
                      L"\"Z:\\no\\such\\file.reg\"."),
              recorder.Text(1));
    EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND), recorder.Messages()[1].style);
    EXPECT_EQ(0, m_main->ExitCode());
}
