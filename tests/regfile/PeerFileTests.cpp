// Files from Wine's own regedit: what it exports, the importer reads back to the same
// registry contents; what it imports from a hand-written file, the importer stores alike.
// These run against the real registry, below HKCU\Software\HiveletTests\Peer.
#include "regfile/RegImporter.h"

#include "registry/KeyTree.h"
#include "registry/ShdRegKey.h"
#include "tests/regfile/ImportTestSupport.h"
#include "tests/support/PrintCString.h"
#include "tests/support/ProcessRunner.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kBase[] = L"Software\\HiveletTests\\Peer";

CString Regedit()
{
    wchar_t directory[MAX_PATH] = {};
    GetWindowsDirectoryW(directory, MAX_PATH);
    return CString(directory) + L"\\regedit.exe";
}

class PeerFileTest : public testing::Test
{
protected:
    void SetUp() override { DeleteKeyTree(HKEY_CURRENT_USER, kBase); }
    void TearDown() override
    {
        DeleteKeyTree(HKEY_CURRENT_USER, kBase);
        for (const CString& file : m_files)
            DeleteFileW(file);
    }
    CString NewFile(const wchar_t* stem)
    {
        m_files.push_back(TempFilePath(stem));
        return m_files.back();
    }
    static void Put(const CString& path, const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        CShdRegKey key(false);
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path));
        ASSERT_TRUE(key.SetValue(name, type, data, size));
    }
    static void PutText(const CString& path, const wchar_t* name, DWORD type, const wchar_t* text,
                        size_t chars)
    {
        Put(path, name, type, text, static_cast<DWORD>(chars * 2));
    }
    std::vector<CString> m_files;
};

TEST_F(PeerFileTest, RegeditExportReadsBackIdentically)
{
    CString branch = CString(kBase) + L"\\Export";
    const wchar_t tricky[] = L"q\"uote \\back;semi [br] caf\xe9 \x20ac \x4e2d";
    PutText(branch, L"", REG_SZ, L"default", 8);
    PutText(branch, tricky, REG_SZ, tricky, wcslen(tricky) + 1);
    PutText(branch, L"empty", REG_SZ, L"", 1);
    PutText(branch, L"expand", REG_EXPAND_SZ, L"%SystemRoot%\\x", 15);
    PutText(branch, L"multi", REG_MULTI_SZ, L"one\0two \x20ac\0\0", 13);
    DWORD number = 0xDEADBEEF;
    Put(branch, L"dword", REG_DWORD, &number, 4);
    ULONGLONG quad = 0x0123456789ABCDEFull;
    Put(branch, L"qword", REG_QWORD, &quad, 8);
    Put(branch, L"none", REG_NONE, "\x01\x02", 2);
    Put(branch, L"binary-empty", REG_BINARY, "", 0);
    std::string large(5000, '\0');
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7);
    Put(branch, L"binary-large", REG_BINARY, large.data(), static_cast<DWORD>(large.size()));
    Put(branch, L"custom", 0x12345, "\xff", 1);
    PutText(branch + L"\\Sub key [x]\\Deeper", L"v", REG_SZ, L"deep", 5);
    {
        CShdRegKey empty(false);
        ASSERT_TRUE(empty.Create(HKEY_CURRENT_USER, branch + L"\\Empty key"));
    }
    std::vector<std::string> before = SnapshotBranch(HKEY_CURRENT_USER, branch);
    ASSERT_GE(before.size(), 15u);

    CString file = NewFile(L"regedit-export");
    SProcessResult run = RunProcess(
        Regedit(), L"/e " + QuoteArgument(file) + L" " + QuoteArgument(L"HKEY_CURRENT_USER\\" + branch),
        60000);
    ASSERT_TRUE(run.started && run.finished) << "regedit did not run";
    std::string bytes = ReadFileBytes(file);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2)) << "Wine writes the Unicode form";

    ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, branch));
    CRegImporter importer;
    CString error;
    EXPECT_TRUE(importer.Import(file, error)) << error;
    EXPECT_EQ(before, SnapshotBranch(HKEY_CURRENT_USER, branch));
}

TEST_F(PeerFileTest, AnsiFileImportsLikeRegedit)
{
    // One REGEDIT4 file, imported by regedit into one branch and by the importer into another.
    auto text = [](const wchar_t* leaf) {
        std::wstring key = std::wstring(L"[HKEY_CURRENT_USER\\") + kBase + L"\\" + leaf;
        return L"REGEDIT4\r\n\r\n" + key + L"]\r\n" +
               L"@=\"default\"\r\n"
               L"\"q\\\"uote\\\\;\"=\"caf\xe9 [x] ;kept\"\r\n"
               L"\"dword\"=dword:0000002a\r\n"
               L"\"bin\"=hex:00,01,fe,ff\r\n"
               L"\"expand\"=hex(2):25,61,25,e9,00\r\n"
               L"\"multi\"=hex(7):61,00,62,e9,00,00\r\n"
               L"\"custom\"=hex(1234):01,02,\\\r\n  03\r\n"
               L"\"emptybin\"=hex:\r\n" +
               key + L"\\Sub]\r\n\"x\"=\"y\"\r\n";
    };
    CString peerFile = NewFile(L"ansi-peer");
    CString ownFile = NewFile(L"ansi-own");
    ASSERT_TRUE(WriteFileBytes(peerFile, AnsiBytes(text(L"ByRegedit"))));
    ASSERT_TRUE(WriteFileBytes(ownFile, AnsiBytes(text(L"ByImporter"))));
    SProcessResult run = RunProcess(Regedit(), L"/s " + QuoteArgument(peerFile), 60000);
    ASSERT_TRUE(run.started && run.finished);
    CRegImporter importer;
    CString error;
    EXPECT_TRUE(importer.Import(ownFile, error)) << error;
    std::vector<std::string> peer = SnapshotBranch(HKEY_CURRENT_USER, CString(kBase) + L"\\ByRegedit");
    ASSERT_GE(peer.size(), 9u) << "regedit imported nothing";
    EXPECT_EQ(peer, SnapshotBranch(HKEY_CURRENT_USER, CString(kBase) + L"\\ByImporter"));
}

} // namespace
