// Exporter output, byte for byte, on the in-memory registry; plus one export of the real
// registry under Wine.
#include "regfile/RegExporter.h"
#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/RegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "tests/regfile/ExportTestSupport.h"
#include "tests/support/RegistryTest.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

namespace {

const wchar_t kKey[] = L"Software\\T";

// Each line followed by CR LF.
std::wstring Lines(std::initializer_list<const wchar_t*> lines)
{
    std::wstring text;
    for (const wchar_t* line : lines) {
        text += line;
        text += L"\r\n";
    }
    return text;
}

std::string UnicodeFile(const std::wstring& body)
{
    return UnicodeBytes(L"Windows Registry Editor Version 5.00\r\n\r\n" + body);
}

// Expected ANSI bytes given as a narrow literal (bytes above 127 written as escapes).
std::string AnsiFile(const std::string& body)
{
    return "REGEDIT4\r\n\r\n" + body;
}

std::string Narrow(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t ch : text) {
        EXPECT_LT(ch, 128) << "expected ANSI text must be ASCII here";
        bytes += static_cast<char>(ch);
    }
    return bytes;
}

class CExportTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_memory.SetInsertionOrder(true);
        m_scope = std::make_unique<CScopedRegistryBackend>(m_memory);
        m_file = TestFilePath();
    }
    void TearDown() override
    {
        m_memory.SetCallHook(nullptr);
        m_scope.reset();
        DeleteFileW(m_file);
    }

    void PutKey(const wchar_t* path)
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path));
    }
    void Put(const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path));
        ASSERT_TRUE(key.SetValue(name, type, data, size));
    }
    void Put(const wchar_t* name, DWORD type, const std::vector<BYTE>& data)
    {
        Put(kKey, name, type, data.data(), static_cast<DWORD>(data.size()));
    }
    void PutText(const wchar_t* name, DWORD type, const std::wstring& text)
    {
        Put(kKey, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void PutDword(const wchar_t* name, DWORD number) { Put(kKey, name, REG_DWORD, &number, sizeof(number)); }

    std::string Export(bool unicode, HKEY root = HKEY_CURRENT_USER, const wchar_t* path = kKey)
    {
        CRegExporter exporter;
        EXPECT_TRUE(exporter.Start(m_file, false, unicode, root, path));
        bool ok = false;
        EXPECT_TRUE(exporter.Wait(ok));
        EXPECT_TRUE(ok);
        return ReadFileBytes(m_file);
    }

    CMemoryRegistryBackend m_memory;
    std::unique_ptr<CScopedRegistryBackend> m_scope;
    CString m_file;
};

std::vector<BYTE> Sequence(int count)
{
    std::vector<BYTE> bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<BYTE>(i));
    return bytes;
}

TEST_F(CExportTest, NamesAndStringsAreQuotedAndEscaped)
{
    PutDword(L"", 1);
    PutText(L"Path", REG_SZ, L"C:\\Temp");
    PutText(L"a\"b", REG_SZ, L"say \"hi\"");
    PutText(L"Empty", REG_SZ, L"");
    PutText(L"Tab\tName", REG_SZ, L"a\tb\x01");
    std::wstring body = Lines({
        LR"([HKEY_CURRENT_USER\Software\T])",
        LR"(@=dword:00000001)",
        LR"("Path"="C:\\Temp")",
        LR"("a\"b"="say \"hi\"")",
        LR"("Empty"="")",
        L"\"Tab\tName\"=\"a\tb\x01\"",
        L"",
    });
    EXPECT_EQ(UnicodeFile(body), Export(true));
    EXPECT_EQ(AnsiFile(Narrow(body)), Export(false));
}

TEST_F(CExportTest, DwordsAndBinaryLines)
{
    PutDword(L"d", 0x12AB);
    PutDword(L"max", 0xFFFFFFFF);
    Put(L"short", REG_DWORD, {0x01, 0x02});
    Put(L"none", REG_DWORD, {});
    Put(L"b0", REG_BINARY, {});
    Put(L"b25", REG_BINARY, Sequence(25));
    Put(L"b26", REG_BINARY, Sequence(26));
    Put(L"b30", REG_BINARY, Sequence(30));
    Put(L"b50", REG_BINARY, Sequence(50));
    std::wstring body = Lines({
        LR"([HKEY_CURRENT_USER\Software\T])",
        LR"("d"=dword:000012ab)",
        LR"("max"=dword:ffffffff)",
        LR"("short"=hex(4):\)",
        LR"(      01,02)",
        LR"("none"=hex(4):)",
        LR"("b0"=hex:)",
        LR"("b25"=hex:\)",
        LR"(      00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18)",
        LR"("b26"=hex:\)",
        LR"(      00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,\)",
        LR"(      19)",
        LR"("b30"=hex:\)",
        LR"(      00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,\)",
        LR"(      19,1a,1b,1c,1d)",
        LR"("b50"=hex:\)",
        LR"(      00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,\)",
        LR"(      19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,30,31)",
        L"",
    });
    EXPECT_EQ(UnicodeFile(body), Export(true));
    EXPECT_EQ(AnsiFile(Narrow(body)), Export(false));
}

// Larger than the first read guess of the registry key class: read whole, 44 full data lines.
TEST_F(CExportTest, LargeValueIsReadWhole)
{
    Put(L"big", REG_BINARY, std::vector<BYTE>(1100, 0xAB));
    const wchar_t* full = L"      ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab";
    std::wstring body = L"[HKEY_CURRENT_USER\\Software\\T]\r\n\"big\"=hex:\\\r\n";
    for (int line = 0; line < 43; ++line)
        body += std::wstring(full) + L",\\\r\n";
    body += std::wstring(full) + L"\r\n\r\n";
    EXPECT_EQ(UnicodeFile(body), Export(true));
}

TEST_F(CExportTest, OtherTypesAreHexWithTheirNumber)
{
    Put(L"none", REG_NONE, {0xFF});
    Put(L"odd", 0x1234, {0xAB, 0xCD});
    Put(L"q", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0x80});
    Put(L"link", REG_LINK, {});
    std::wstring body = Lines({
        LR"([HKEY_CURRENT_USER\Software\T])",
        LR"("none"=hex(0):\)",
        LR"(      ff)",
        LR"("odd"=hex(1234):\)",
        LR"(      ab,cd)",
        LR"("q"=hex(b):\)",
        LR"(      01,00,00,00,00,00,00,80)",
        LR"("link"=hex(6):)",
        L"",
    });
    EXPECT_EQ(UnicodeFile(body), Export(true));
    EXPECT_EQ(AnsiFile(Narrow(body)), Export(false));
}

// String types dumped as hex: stored bytes in the Unicode form, one byte per UTF-16 unit in the
// ANSI form. Binary data is never converted.
TEST_F(CExportTest, StringTypesAsHexDependOnTheForm)
{
    Put(L"odd", REG_SZ, {'A', 0, 'B'});
    Put(L"noNul", REG_SZ, {'A', 0, 'B', 0});
    Put(L"early", REG_SZ, {'A', 0, 0, 0, 'B', 0, 0, 0});
    Put(L"zero", REG_SZ, {});
    PutText(L"lines", REG_SZ, L"a\r\nb");
    PutText(L"exp", REG_EXPAND_SZ, L"%A%");
    Put(L"multi", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0});
    Put(L"bin", REG_BINARY, {'a', 0, 'b', 0});
    EXPECT_EQ(UnicodeFile(Lines({
                  LR"([HKEY_CURRENT_USER\Software\T])",
                  LR"("odd"=hex(1):\)",
                  LR"(      41,00,42)",
                  LR"("noNul"=hex(1):\)",
                  LR"(      41,00,42,00)",
                  LR"("early"=hex(1):\)",
                  LR"(      41,00,00,00,42,00,00,00)",
                  LR"("zero"=hex(1):)",
                  LR"("lines"=hex(1):\)",
                  LR"(      61,00,0d,00,0a,00,62,00,00,00)",
                  LR"("exp"=hex(2):\)",
                  LR"(      25,00,41,00,25,00,00,00)",
                  LR"("multi"=hex(7):\)",
                  LR"(      61,00,00,00,62,00,00,00,00,00)",
                  LR"("bin"=hex:\)",
                  LR"(      61,00,62,00)",
                  L"",
              })),
              Export(true));
    EXPECT_EQ(AnsiFile("[HKEY_CURRENT_USER\\Software\\T]\r\n"
                       "\"odd\"=hex(1):\\\r\n"
                       "      41\r\n"
                       "\"noNul\"=hex(1):\\\r\n"
                       "      41,42\r\n"
                       "\"early\"=hex(1):\\\r\n"
                       "      41,00,42,00\r\n"
                       "\"zero\"=hex(1):\r\n"
                       "\"lines\"=hex(1):\\\r\n"
                       "      61,0d,0a,62,00\r\n"
                       "\"exp\"=hex(2):\\\r\n"
                       "      25,41,25,00\r\n"
                       "\"multi\"=hex(7):\\\r\n"
                       "      61,00,62,00,00\r\n"
                       "\"bin\"=hex:\\\r\n"
                       "      61,00,62,00\r\n"
                       "\r\n"),
              Export(false));
}

TEST_F(CExportTest, AnsiFormUsesTheCodePage)
{
    PutText(L"caf\x00e9", REG_SZ, L"\x00e9t\x00e9");
    PutText(L"m", REG_MULTI_SZ, std::wstring(L"\x00fc\0", 2));
    EXPECT_EQ(AnsiFile("[HKEY_CURRENT_USER\\Software\\T]\r\n"
                       "\"caf\xe9\"=\"\xe9t\xe9\"\r\n"
                       "\"m\"=hex(7):\\\r\n"
                       "      fc,00,00\r\n"
                       "\r\n"),
              Export(false));
}

// Parents before children, siblings without regard to case, values in the registry's order,
// an empty line after every key block (also without values).
TEST_F(CExportTest, TreeOrderAndKeyBlocks)
{
    PutText(L"z", REG_SZ, L"1");
    PutText(L"a", REG_SZ, L"2");
    PutKey(L"Software\\T\\b");
    PutKey(L"Software\\T\\A\\x");
    Put(L"Software\\T\\c", L"", REG_SZ, L"", 2);
    std::wstring body = Lines({
        LR"([HKEY_CURRENT_USER\Software\T])",
        LR"("z"="1")",
        LR"("a"="2")",
        L"",
        LR"([HKEY_CURRENT_USER\Software\T\A])",
        L"",
        LR"([HKEY_CURRENT_USER\Software\T\A\x])",
        L"",
        LR"([HKEY_CURRENT_USER\Software\T\b])",
        L"",
        LR"([HKEY_CURRENT_USER\Software\T\c])",
        LR"(@="")",
        L"",
    });
    EXPECT_EQ(UnicodeFile(body), Export(true));
}

// A registry that lists subkeys in reverse order: the exporter must sort them itself.
class CReversedKeysBackend : public CMemoryRegistryBackend
{
protected:
    LONG DoEnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength) override
    {
        SKeyInfo info;
        DWORD classLength = 0;
        LONG rc = CMemoryRegistryBackend::DoQueryInfoKey(key, nullptr, &classLength, info);
        if (rc != ERROR_SUCCESS)
            return rc;
        if (index >= info.subKeys)
            return ERROR_NO_MORE_ITEMS;
        return CMemoryRegistryBackend::DoEnumKey(key, info.subKeys - 1 - index, name, nameLength);
    }
};

TEST_F(CExportTest, SiblingsAreSortedWithoutRegardToCase)
{
    CReversedKeysBackend reversed;
    CScopedRegistryBackend scope(reversed);
    PutKey(L"Software\\T\\b");
    PutKey(L"Software\\T\\A");
    PutKey(L"Software\\T\\c");
    PutKey(L"Software\\T\\_");
    std::wstring body = Lines({
        LR"([HKEY_CURRENT_USER\Software\T])",
        L"",
        LR"([HKEY_CURRENT_USER\Software\T\_])",
        L"",
        LR"([HKEY_CURRENT_USER\Software\T\A])",
        L"",
        LR"([HKEY_CURRENT_USER\Software\T\b])",
        L"",
        LR"([HKEY_CURRENT_USER\Software\T\c])",
        L"",
    });
    EXPECT_EQ(UnicodeFile(body), Export(true));
}

TEST_F(CExportTest, MissingBranchGivesHeaderOnly)
{
    EXPECT_EQ(UnicodeFile(L""), Export(true, HKEY_CURRENT_USER, L"Software\\Gone"));
    EXPECT_EQ(AnsiFile(""), Export(false, HKEY_CURRENT_USER, L"Software\\Gone"));
}

TEST_F(CExportTest, WholeRegistryIsTheFourRootsInTurn)
{
    PutKey(L"u");
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_CLASSES_ROOT, L".txt"));
        ASSERT_TRUE(key.SetString(L"", L"txtfile"));
        ASSERT_TRUE(key.Create(HKEY_USERS, L"S-1"));
    }
    std::wstring body = Lines({
        LR"([HKEY_CLASSES_ROOT])",
        L"",
        LR"([HKEY_CLASSES_ROOT\.txt])",
        LR"(@="txtfile")",
        L"",
        LR"([HKEY_CURRENT_USER])",
        L"",
        LR"([HKEY_CURRENT_USER\u])",
        L"",
        LR"([HKEY_LOCAL_MACHINE])",
        L"",
        LR"([HKEY_USERS])",
        L"",
        LR"([HKEY_USERS\S-1])",
        L"",
    });
    EXPECT_EQ(UnicodeFile(body), Export(true, nullptr, nullptr));
}

// One open, one count and one close a key, one call a value and a subkey (the counts end the
// enumerations and size their buffers); nothing else.
TEST_F(CExportTest, RegistryCallsAreWhatTheWalkNeeds)
{
    PutText(L"a", REG_SZ, L"1");
    PutDword(L"b", 2);
    Put(L"Software\\T\\k1", L"v", REG_BINARY, "xyz", 3);
    PutKey(L"Software\\T\\k2\\k3");
    m_memory.ResetCounts();
    Export(true);
    const unsigned long keys = 4, values = 3;
    EXPECT_EQ(keys, m_memory.CallCount(IRegistryBackend::OpOpenKey));
    EXPECT_EQ(keys, m_memory.CallCount(IRegistryBackend::OpCloseKey));
    EXPECT_EQ(keys, m_memory.CallCount(IRegistryBackend::OpQueryInfoKey));
    EXPECT_EQ(values, m_memory.CallCount(IRegistryBackend::OpEnumValue));
    EXPECT_EQ(keys - 1, m_memory.CallCount(IRegistryBackend::OpEnumKey));
    EXPECT_EQ(4 * keys + values - 1, m_memory.TotalCalls());
    EXPECT_EQ(0u, m_memory.OpenHandleCount());
}

// A value or subkey that cannot be read is left out; the ones after it are written.
TEST_F(CExportTest, AnItemThatCannotBeReadIsSteppedOver)
{
    PutDword(L"a", 1);
    PutDword(L"b", 2);
    PutDword(L"c", 3);
    PutKey(L"Software\\T\\k1");
    PutKey(L"Software\\T\\k2");
    PutKey(L"Software\\T\\k3");
    m_memory.FailCall(IRegistryBackend::OpEnumValue, 2);
    m_memory.FailCall(IRegistryBackend::OpEnumKey, 1);
    EXPECT_EQ(
        AnsiFile("[HKEY_CURRENT_USER\\Software\\T]\r\n\"a\"=dword:00000001\r\n\"c\"=dword:00000003\r\n\r\n"
                 "[HKEY_CURRENT_USER\\Software\\T\\k2]\r\n\r\n[HKEY_CURRENT_USER\\Software\\T\\k3]\r\n\r\n"),
        Export(false));
}

TEST_F(CExportTest, DeepTreeFitsTheWorkerStack)
{
    std::wstring path = kKey;
    for (int i = 0; i < 300; ++i)
        path += L"\\k";
    PutKey(path.c_str());
    std::string bytes = Export(true);
    std::string tail = UnicodeBytes(L"\\k\\k]\r\n\r\n").substr(2);
    ASSERT_GT(bytes.size(), tail.size());
    EXPECT_EQ(tail, bytes.substr(bytes.size() - tail.size()));
}

TEST_F(CExportTest, FileErrorsAreReported)
{
    PutDword(L"d", 1);
    HANDLE file = CreateFileW(m_file, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, "old", 3, &written, nullptr);
    CloseHandle(file);

    CRegExporter exporter;
    bool ok = true;
    ASSERT_TRUE(exporter.Start(m_file, true, true, HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(exporter.Wait(ok));
    EXPECT_FALSE(ok);
    EXPECT_EQ("old", ReadFileBytes(m_file));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(exporter.GetDoneEvent(), 0));

    // Without createNew the file is replaced.
    ASSERT_TRUE(exporter.Start(m_file, false, false, HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(exporter.Wait(ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(AnsiFile("[HKEY_CURRENT_USER\\Software\\T]\r\n\"d\"=dword:00000001\r\n\r\n"),
              ReadFileBytes(m_file));

    ok = true;
    ASSERT_TRUE(exporter.Start(L"C:\\no such folder\\x.reg", false, true, HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(exporter.Wait(ok));
    EXPECT_FALSE(ok);
}

// Composite check: a base letter and a combining accent become one ANSI byte, so the text has
// fewer bytes than characters and the write fails rather than shifting the file.
TEST_F(CExportTest, AnsiConversionMustGiveOneBytePerCharacter)
{
    PutText(L"e\x0301", REG_SZ, L"x");
    CRegExporter exporter;
    bool ok = true;
    ASSERT_TRUE(exporter.Start(m_file, false, false, HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(exporter.Wait(ok));
    char probe[4] = {};
    int bytes = WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, L"e\x0301", 2, probe, 2, nullptr, nullptr);
    if (bytes == 2)
        GTEST_SKIP() << "this platform does not compose in WideCharToMultiByte";
    EXPECT_FALSE(ok);
    EXPECT_EQ(AnsiFile("[HKEY_CURRENT_USER\\Software\\T]\r\n"), ReadFileBytes(m_file));
}

TEST_F(CExportTest, StartWaitAndDoneEvent)
{
    CRegExporter exporter;
    bool ok = true;
    EXPECT_FALSE(exporter.Wait(ok));
    EXPECT_TRUE(ok);
    exporter.Cancel(true); // nothing running: no effect
    EXPECT_FALSE(exporter.Start(m_file, false, true, reinterpret_cast<HKEY>(0x1234), L"x"));

    // Hold the worker at its first registry call to see Start refused while it runs.
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_memory.SetCallHook([&](IRegistryBackend::EOperation) { WaitForSingleObject(release, INFINITE); });
    ASSERT_TRUE(exporter.Start(m_file, false, true, HKEY_CURRENT_USER, kKey));
    EXPECT_FALSE(exporter.Start(m_file, false, true, HKEY_CURRENT_USER, kKey));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(exporter.GetDoneEvent(), 0));
    SetEvent(release);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(exporter.GetDoneEvent(), INFINITE));
    EXPECT_TRUE(exporter.Wait(ok));
    EXPECT_TRUE(ok);
    EXPECT_FALSE(exporter.Wait(ok));
    m_memory.SetCallHook(nullptr);
    CloseHandle(release);
}

class CExportCancelTest : public CExportTest
{
protected:
    void SetUp() override
    {
        CExportTest::SetUp();
        for (int i = 0; i < 40; ++i) {
            for (int j = 0; j < 50; ++j) {
                CString path;
                path.Format(L"Software\\Big\\k%02d\\s%02d", i, j);
                DWORD number = static_cast<DWORD>(i * 100 + j);
                Put(path, L"n", REG_DWORD, &number, sizeof(number));
            }
        }
    }
    // Runs the hook at the 100th value read.
    void AtValue100(std::function<void()> action)
    {
        m_values = 0;
        m_memory.SetCallHook([this, action](IRegistryBackend::EOperation op) {
            if (op == IRegistryBackend::OpEnumValue && ++m_values == 100)
                action();
        });
    }
    static bool EndsWith(const std::string& bytes, const std::string& tail)
    {
        return bytes.size() >= tail.size() &&
               bytes.compare(bytes.size() - tail.size(), tail.size(), tail) == 0;
    }
    int m_values = 0;
};

TEST_F(CExportCancelTest, CancelledExportEndsWithTheMarkerAndWaitFails)
{
    CRegExporter exporter;
    AtValue100([&] { exporter.RequestCancel(); });
    ASSERT_TRUE(exporter.Start(m_file, false, true, HKEY_CURRENT_USER, L"Software\\Big"));
    bool ok = true;
    EXPECT_FALSE(exporter.Wait(ok));
    EXPECT_TRUE(ok); // untouched
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(exporter.GetDoneEvent(), 0));
    std::string bytes = ReadFileBytes(m_file);
    EXPECT_TRUE(EndsWith(bytes, UnicodeBytes(L"\r\n*** cancelled ***\r\n").substr(2)));
    EXPECT_EQ(std::string::npos, bytes.find(UnicodeBytes(L"k39").substr(2)));

    // The same object runs a full export afterwards.
    m_memory.SetCallHook(nullptr);
    ASSERT_TRUE(exporter.Start(m_file, false, false, HKEY_CURRENT_USER, L"Software\\Big\\k39\\s49"));
    EXPECT_TRUE(exporter.Wait(ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(AnsiFile("[HKEY_CURRENT_USER\\Software\\Big\\k39\\s49]\r\n\"n\"=dword:00000f6d\r\n\r\n"),
              ReadFileBytes(m_file));
}

TEST_F(CExportCancelTest, CancelFromTheCallerStopsTheWorker)
{
    CRegExporter exporter;
    HANDLE reached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    AtValue100([&] {
        SetEvent(reached);
        WaitForSingleObject(exporter.GetCancelEvent(), INFINITE);
    });
    ASSERT_TRUE(exporter.Start(m_file, false, false, HKEY_CURRENT_USER, L"Software\\Big"));
    WaitForSingleObject(reached, INFINITE);
    exporter.Cancel(false);
    std::string bytes = ReadFileBytes(m_file);
    EXPECT_TRUE(EndsWith(bytes, "\r\n*** cancelled ***\r\n"));
    bool ok = true;
    EXPECT_FALSE(exporter.Wait(ok));

    ResetEvent(reached);
    AtValue100([&] {
        SetEvent(reached);
        WaitForSingleObject(exporter.GetCancelEvent(), INFINITE);
    });
    ASSERT_TRUE(exporter.Start(m_file, false, true, HKEY_CURRENT_USER, L"Software\\Big"));
    WaitForSingleObject(reached, INFINITE);
    exporter.Cancel(true);
    EXPECT_FALSE(FileExists(m_file));
    CloseHandle(reached);
}

class CRealRegistryExportTest : public CRegistryTest
{
};

TEST_F(CRealRegistryExportTest, ExportsTheRealRegistry)
{
    WriteString(TestKey(), nullptr, L"", L"top");
    WriteDword(TestKey(), nullptr, L"n", 7);
    const BYTE bytes[] = {1, 2, 3};
    WriteValue(TestKey(), L"Sub", L"b", REG_BINARY, bytes, sizeof(bytes));
    CString file = TestFilePath();
    CRegExporter exporter;
    ASSERT_TRUE(exporter.Start(file, false, true, HKEY_CURRENT_USER, TestPath()));
    bool ok = false;
    ASSERT_TRUE(exporter.Wait(ok));
    EXPECT_TRUE(ok);
    std::wstring key = L"[HKEY_CURRENT_USER\\" + std::wstring(TestPath().c_str());
    std::wstring body = key + L"]\r\n@=\"top\"\r\n\"n\"=dword:00000007\r\n\r\n" + key +
                        L"\\Sub]\r\n\"b\"=hex:\\\r\n      01,02,03\r\n\r\n";
    EXPECT_EQ(UnicodeFile(body), ReadFileBytes(file));
    DeleteFileW(file);
}

} // namespace

TEST_F(CExportTest, AnsiFormFailsWhenACharacterHasNoAnsiForm)
{
    // Each text holding a character outside code page 1252 would come out as "?" and read back
    // as another name or string: the ANSI export fails, the Unicode one writes it as it is.
    struct SCase
    {
        const wchar_t* key;
        const wchar_t* name;
        const wchar_t* text;
    } cases[] = {
        {L"Software\\T\\\x0416\x0443\x043A", L"v", L"x"},
        {L"Software\\T", L"\x0416\x0443\x043A", L"x"},
        {L"Software\\T", L"v", L"\x0416\x0443\x043A"},
    };
    for (const SCase& c : cases) {
        DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\T");
        Put(c.key, c.name, REG_SZ, c.text, static_cast<DWORD>((wcslen(c.text) + 1) * sizeof(wchar_t)));
        CRegExporter exporter;
        ASSERT_TRUE(exporter.Start(m_file, false, false, HKEY_CURRENT_USER, L"Software\\T"));
        bool ok = true;
        EXPECT_TRUE(exporter.Wait(ok));
        EXPECT_FALSE(ok) << c.key << " " << c.name << " " << c.text;
        EXPECT_EQ(std::string::npos, ReadFileBytes(m_file).find("???"));
        EXPECT_NE(std::string::npos, Export(true).find(UnicodeBytes(L"\x0416\x0443\x043A").substr(2)));
    }
    // A character that 1252 does hold still exports.
    DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\T");
    PutText(L"v", REG_SZ, L"\x00E9t\x00E9 \x20AC");
    EXPECT_EQ(AnsiFile("[HKEY_CURRENT_USER\\Software\\T]\r\n\"v\"=\"\xE9t\xE9 \x80\"\r\n\r\n"),
              Export(false));
}
