// uninstall.exe as the desktop runs it: a copy in a fresh folder, the entry in the registry,
// and the batch file that removes the program, its folder and itself afterwards.
#include "tests/support/ProcessRunner.h"
#include "tests/support/RegistryTest.h"
#include "tests/support/TestFiles.h"

#include "registry/KeyTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kParentPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kEntryPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Keyhaven "
                             L"{21322C10-B2B5-4BE1-BD15-BC9F21C0E54E}";
const wchar_t kBatchName[] = L"{21322C10-B2B5-4BE1-BD15-BC9F21C0E54E}_uninstall.bat";
const wchar_t kSavedPath[] = L"Software\\HiveletTests\\UninstallSavedEntry";

std::string Ansi(const CString& text)
{
    char buffer[1024];
    int length =
        WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), buffer, sizeof(buffer), nullptr, nullptr);
    return std::string(buffer, length);
}

class UninstallEndToEnd : public CRegistryTest
{
protected:
    void SetUp() override
    {
        CRegistryTest::SetUp();
        // The machine's own entry, if any, is kept aside and put back afterwards.
        m_hadEntry = CRegistryTest::KeyExists(HKEY_LOCAL_MACHINE, kEntryPath);
        if (m_hadEntry) {
            ASSERT_TRUE(CopyKeyTree(HKEY_LOCAL_MACHINE, kEntryPath, HKEY_CURRENT_USER, kSavedPath));
        }
        DeleteTestTree(HKEY_LOCAL_MACHINE, kEntryPath);

        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        m_root.Format(L"%sHiveletUninstallE2E-%lu-%i", temp, GetCurrentProcessId(), ++counter);
        m_folder = m_root + L"\\Keyhaven app";
        m_program = m_folder + L"\\uninstall.exe";
        m_batch = m_root + L"\\" + kBatchName;
        ASSERT_TRUE(CreateDirectoryW(m_root, nullptr)) << GetLastError() << " " << Ansi(m_root);
        ASSERT_TRUE(CreateDirectoryW(m_folder, nullptr));
        ASSERT_TRUE(CopyFileW(BuiltFile(L"uninstall/uninstall.exe"), m_program, TRUE));
    }

    void TearDown() override
    {
        DeleteTestTree(HKEY_LOCAL_MACHINE, kEntryPath);
        if (m_hadEntry) {
            CopyKeyTree(HKEY_CURRENT_USER, kSavedPath, HKEY_LOCAL_MACHINE, kEntryPath);
            DeleteTestTree(HKEY_CURRENT_USER, kSavedPath);
        }
        RemoveDirectoryW(m_root);
        CRegistryTest::TearDown();
    }

    void WriteEntry()
    {
        HKEY local = HKEY_LOCAL_MACHINE;
        CString entry = kEntryPath;
        CRegistryTest::WriteString(local, entry, L"DisplayName", L"Keyhaven");
        CRegistryTest::WriteString(local, entry, L"UninstallString", m_program);
        CRegistryTest::WriteDword(local, entry + L"\\Child A", L"Level", 1);
        CRegistryTest::WriteString(local, entry + L"\\Child A\\Grandchild", L"", L"default");
        CRegistryTest::WriteString(local, entry + L"\\Child A\\Grandchild\\Deepest", L"x", L"y");
        CRegistryTest::WriteDword(local, entry + L"\\Child B", L"Level", 1);
    }

    void WritePackageFiles()
    {
        const wchar_t* names[] = {L"\\Keyhaven.cab", L"\\Keyhaven.ini"};
        const DWORD attributes[] = {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY};
        for (int i = 0; i < 2; ++i) {
            HANDLE file = CreateFileW(m_folder + names[i], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      attributes[i], nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, file);
            DWORD written = 0;
            WriteFile(file, "package", 7, &written, nullptr);
            CloseHandle(file);
        }
    }

    // Runs the program while the test holds its file open without delete sharing, so the
    // batch file keeps looping and can be read; then lets it finish and waits, bounded.
    void RunAndCheckBatch()
    {
        HANDLE hold =
            CreateFileW(m_program, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, hold);
        SProcessResult result = RunProcess(m_program, L"", 30000, m_folder);
        ASSERT_TRUE(result.started);
        EXPECT_TRUE(result.finished);
        EXPECT_EQ(0u, result.exitCode);
        std::string expected = "@echo off\r\n:_loop\r\nattrib -R -S -H \"" + Ansi(m_program) +
                               "\"\r\ndel \"" + Ansi(m_program) + "\"\r\nrmdir \"" + Ansi(m_folder) +
                               "\"\r\nif exist \"" + Ansi(m_program) + "\" goto _loop\r\ndel %0\r\n";
        EXPECT_EQ(expected, ReadFileBytes(m_batch));
        CloseHandle(hold);
        EXPECT_TRUE(WaitUntilGone(30000));
        EXPECT_FALSE(FileExists(m_program));
        EXPECT_FALSE(FileExists(m_folder));
        EXPECT_FALSE(FileExists(m_batch));
    }

    // The batch file is another process: poll in short steps for its end result, with a limit.
    bool WaitUntilGone(DWORD limitMs)
    {
        for (DWORD waited = 0; waited < limitMs; waited += 50) {
            if (!FileExists(m_program) && !FileExists(m_folder) && !FileExists(m_batch))
                return true;
            Sleep(50);
        }
        return false;
    }

    bool m_hadEntry = false;
    CString m_root, m_folder, m_program, m_batch;
};

} // namespace

TEST_F(UninstallEndToEnd, RemovesEntryPackageFilesAndItself)
{
    WriteEntry();
    WritePackageFiles();
    RunAndCheckBatch();
    EXPECT_FALSE(CRegistryTest::KeyExists(HKEY_LOCAL_MACHINE, kEntryPath));
    EXPECT_TRUE(CRegistryTest::KeyExists(HKEY_LOCAL_MACHINE, kParentPath));
}

TEST_F(UninstallEndToEnd, RunsOnWithoutEntry)
{
    WritePackageFiles();
    RunAndCheckBatch();
    EXPECT_FALSE(CRegistryTest::KeyExists(HKEY_LOCAL_MACHINE, kEntryPath));
}

TEST_F(UninstallEndToEnd, RunsOnWithoutPackageFiles)
{
    WriteEntry();
    RunAndCheckBatch();
    EXPECT_FALSE(CRegistryTest::KeyExists(HKEY_LOCAL_MACHINE, kEntryPath));
}
