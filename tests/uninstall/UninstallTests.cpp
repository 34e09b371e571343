// The uninstaller's path rules, batch text and package file deletion, in process.
#include "uninstall/SelfDeleteBatch.h"
#include "tests/support/TestFiles.h"
#include "uninstall/UninstallPaths.h"
#include "uninstall/Uninstaller.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CString FreshFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString folder;
    folder.Format(L"%sHiveletUninstall-%lu-%s", temp, GetCurrentProcessId(), name);
    CreateDirectoryW(folder, nullptr);
    return folder;
}

} // namespace

TEST(UninstallPaths, FolderIsTheTextBeforeTheLastBackslash)
{
    EXPECT_EQ(CString(L"C:\\Program Files\\Keyhaven"),
              GetFolderOfPath(L"C:\\Program Files\\Keyhaven\\uninstall.exe"));
    EXPECT_EQ(CString(L"C:"), GetFolderOfPath(L"C:\\uninstall.exe"));
    EXPECT_EQ(CString(L"\\"), GetFolderOfPath(L"\\uninstall.exe"));
    EXPECT_EQ(CString(L"\\"), GetFolderOfPath(L"\\"));
    EXPECT_EQ(CString(L""), GetFolderOfPath(L"uninstall.exe"));
    EXPECT_EQ(CString(L""), GetFolderOfPath(L""));
}

TEST(UninstallPaths, NamesJoinWithOneBackslash)
{
    EXPECT_EQ(CString(L"C:\\dir\\a.bat"), JoinFolderAndName(L"C:\\dir", L"a.bat"));
    EXPECT_EQ(CString(L"C:\\a.bat"), JoinFolderAndName(L"C:\\", L"a.bat"));
    EXPECT_EQ(CString(L"\\a.bat"), JoinFolderAndName(L"\\", L"a.bat"));
    EXPECT_EQ(CString(L"a.bat"), JoinFolderAndName(L"", L"a.bat"));
}

TEST(UninstallPaths, BatchGoesIntoTheParentOfTheProgramFolder)
{
    CString name = kBatchFileName;
    EXPECT_EQ(CString(L"C:\\Apps\\") + name,
              CUninstaller(L"C:\\Apps\\Keyhaven\\uninstall.exe", L"C:\\Apps\\Keyhaven").GetBatchPath());
    EXPECT_EQ(CString(L"\\") + name, CUninstaller(L"\\Keyhaven\\u.exe", L"\\Keyhaven").GetBatchPath());
    // No backslash at all: no folder, and the batch file name stands alone.
    EXPECT_EQ(name, CUninstaller(L"uninstall.exe", L"").GetBatchPath());
    EXPECT_TRUE(GetProgramPath(nullptr).Right(20).EqualsNoCase(L"\\uninstall_tests.exe"));
}

TEST(SelfDeleteBatch, LinesNameTheProgramAndItsFolder)
{
    CSelfDeleteBatch batch(L"C:\\A B\\uninstall.exe", L"C:\\A B");
    const wchar_t* expected[CSelfDeleteBatch::kLineCount] = {
        L"@echo off",
        L":_loop",
        L"attrib -R -S -H \"C:\\A B\\uninstall.exe\"",
        L"del \"C:\\A B\\uninstall.exe\"",
        L"rmdir \"C:\\A B\"",
        L"if exist \"C:\\A B\\uninstall.exe\" goto _loop",
        L"del %0"};
    for (int i = 0; i < CSelfDeleteBatch::kLineCount; ++i)
        EXPECT_EQ(CString(expected[i]), batch.GetLine(i)) << i;
    // cmd expands percent signs inside quotes too.
    CSelfDeleteBatch percent(L"C:\\100%\\u.exe", L"C:\\100%");
    EXPECT_EQ(CString(L"rmdir \"C:\\100%%\""), percent.GetLine(4));
}

TEST(SelfDeleteBatch, WritesAnsiLinesAndRemovesAFileItCouldNotWriteWhole)
{
    CString folder = FreshFolder(L"batch");
    CString path = folder + L"\\x.bat";
    ASSERT_TRUE(CSelfDeleteBatch(L"C:\\Caf\x00e9\\u.exe", L"C:\\Caf\x00e9").Write(path));
    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(std::string("@echo off\r\n:_loop\r\nattrib -R -S -H \"C:\\Caf\xe9\\u.exe\"\r\n"
                          "del \"C:\\Caf\xe9\\u.exe\"\r\nrmdir \"C:\\Caf\xe9\"\r\n"
                          "if exist \"C:\\Caf\xe9\\u.exe\" goto _loop\r\ndel %0\r\n"),
              bytes);
    // A character outside the code page would become a wildcard "?": nothing is left behind.
    EXPECT_FALSE(CSelfDeleteBatch(L"C:\\\x4e2d\\u.exe", L"C:\\\x4e2d").Write(path));
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(CSelfDeleteBatch(L"C:\\u.exe", L"C:").Write(folder + L"\\missing\\x.bat"));
    RemoveDirectoryW(folder);
}

TEST(Uninstaller, DeletesPackageFilesWhateverTheirAttributes)
{
    CString folder = FreshFolder(L"package");
    const DWORD attributes[] = {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM};
    for (int i = 0; i < 2; ++i) {
        CString path = folder + L"\\" + kPackageFileNames[i];
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes[i], nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
    }
    CString other = folder + L"\\Keyhaven.txt";
    CloseHandle(CreateFileW(other, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    CUninstaller::DeletePackageFiles(folder + L"\\");
    EXPECT_FALSE(FileExists(folder + L"\\Keyhaven.cab"));
    EXPECT_FALSE(FileExists(folder + L"\\Keyhaven.ini"));
    EXPECT_TRUE(FileExists(other));
    CUninstaller::DeletePackageFiles(folder); // nothing left to delete: silent
    DeleteFileW(other);
    EXPECT_TRUE(RemoveDirectoryW(folder));
}
