// The importer on damaged files: NUL characters inside names, a file cut inside a hex list, a
// file too large to count in 32 bits. On the real registry and on the in-memory one.
#include "regfile/RegImporter.h"

#include "tests/regfile/ImportTestSupport.h"
#include "tests/registry/BackendTest.h"

#include <string>

namespace {

class ImporterDamage : public CBackendTest
{
protected:
    void TearDown() override
    {
        DeleteFileW(m_file);
        CBackendTest::TearDown();
    }

    // "[HKEY_CURRENT_USER\<base>\<sub>]", the sub path given with any characters.
    std::wstring Key(const std::wstring& sub, bool deletion = false) const
    {
        return std::wstring(L"[") + (deletion ? L"-" : L"") + L"HKEY_CURRENT_USER\\" + BasePath().c_str() +
               L"\\" + sub + L"]\r\n";
    }
    CString Import(const std::wstring& body, bool unicode)
    {
        std::wstring text =
            (unicode ? L"Windows Registry Editor Version 5.00\r\n\r\n" : L"REGEDIT4\r\n\r\n") + body;
        return ImportBytes(unicode ? UnicodeBytes(text) : AnsiBytes(text));
    }
    CString ImportBytes(const std::string& bytes)
    {
        if (m_file.IsEmpty())
            m_file = TempFilePath(L"damage");
        EXPECT_TRUE(WriteFileBytes(m_file, bytes));
        CRegImporter importer;
        CString error;
        bool ok = importer.Import(m_file, error);
        EXPECT_EQ(ok, error.IsEmpty());
        return error;
    }
    bool HasValue(const wchar_t* subkey, const wchar_t* name)
    {
        CShdRegKey key(false);
        return key.Open(Base(), subkey) && key.ValueExists(name);
    }

    CString m_file;
};

const std::wstring kNul(1, L'\0');

} // namespace

TEST_P(ImporterDamage, NulInsideANameIsASyntaxErrorAndNothingShorterIsTouched)
{
    for (bool unicode : {false, true}) {
        SCOPED_TRACE(unicode ? "Unicode" : "ANSI");
        Put(L"Demo\\Vendor\\Old", L"x", REG_DWORD, {1, 0, 0, 0});
        PutString(L"Demo\\Keep", L"Setting", L"kept");

        // A deleted key: not its parent with everything below.
        EXPECT_EQ(CString(L"Syntax error at line 3."),
                  Import(Key(L"Demo" + kNul + L"\\Vendor\\Old", true), unicode));
        EXPECT_TRUE(Exists(L"Demo\\Keep"));
        EXPECT_TRUE(Exists(L"Demo\\Vendor\\Old"));

        // A deleted value: not the value named by the text before the NUL.
        EXPECT_EQ(CString(L"Syntax error at line 4."),
                  Import(Key(L"Demo\\Keep") + L"\"Setting" + kNul + L"x\"=-\r\n", unicode));
        EXPECT_TRUE(HasValue(L"Demo\\Keep", L"Setting"));

        // A written value: neither under the shorter key nor with the shorter name.
        EXPECT_EQ(CString(L"Syntax error at line 3."),
                  Import(Key(L"Demo" + kNul + L"\\App") + L"\"v\"=dword:1\r\n", unicode));
        EXPECT_FALSE(HasValue(L"Demo", L"v"));
        EXPECT_EQ(CString(L"Syntax error at line 4."),
                  Import(Key(L"Demo") + L"\"Setting" + kNul + L"x\"=\"new\"\r\n", unicode));
        EXPECT_FALSE(HasValue(L"Demo", L"Setting"));

        // A header that only matches up to a NUL is no header; the key after it stays untouched.
        std::wstring header = unicode ? L"Windows Registry Editor Version 5.00" : L"REGEDIT4";
        std::wstring body = header + kNul + L"junk\r\n" + Key(L"Demo\\Keep", true);
        EXPECT_EQ(CString(L"Syntax error at line 1."),
                  ImportBytes(unicode ? UnicodeBytes(body) : AnsiBytes(body)));
        EXPECT_TRUE(Exists(L"Demo\\Keep"));
    }
}

TEST_P(ImporterDamage, NulInsideStringDataIsKeptWhole)
{
    // Counted data is not shortened by a NUL: the bytes stored are all the file gave.
    EXPECT_EQ(CString(L""), Import(Key(L"S") + L"\"v\"=\"a" + kNul + L"b\"\r\n", true));
    CShdRegKey key(false);
    ASSERT_TRUE(key.Open(Base(), L"S"));
    DWORD type = 0;
    CShdBinaryBuffer data;
    ASSERT_TRUE(key.QueryValue(L"v", type, data));
    EXPECT_EQ(DWORD(REG_SZ), type);
    ASSERT_GE(data.GetSize(), 6u);
    EXPECT_EQ(0, memcmp(data.GetData(), "a\0\0\0b\0", 6));
}

TEST_P(ImporterDamage, FileCutInsideAHexListWritesNothingAndSaysSo)
{
    for (bool unicode : {false, true}) {
        SCOPED_TRACE(unicode ? "Unicode" : "ANSI");
        EXPECT_EQ(
            CString(L"Not all keys and values were imported."),
            Import(Key(L"Cut") + L"\"whole\"=hex:01\r\n\"cut\"=hex:01,02,\\\r\n  03,04,\\\r\n", unicode));
        EXPECT_TRUE(HasValue(L"Cut", L"whole"));
        EXPECT_FALSE(HasValue(L"Cut", L"cut"));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, ImporterDamage, testing::Values(EBackend::Win32, EBackend::Memory),
                         BackendName);

TEST(ImporterLargeFile, FileOfFourGibibytesOrMoreIsRefused)
{
    // Sparse: 4 GiB of nothing behind a valid start. Counted in 32 bits it would look like the
    // ten bytes at its front, a complete file.
    CString path = TempFilePath(L"large");
    ASSERT_TRUE(WriteFileBytes(path, "REGEDIT4\r\n"));
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000000LL + 10;
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    CRegImporter importer;
    CString error;
    EXPECT_FALSE(importer.Import(path, error));
    EXPECT_EQ(CString(L"File is too large."), error);
    DeleteFileW(path);
}
