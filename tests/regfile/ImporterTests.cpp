// The importer against the in-memory registry, from hand-written files.
#include "regfile/RegImporter.h"

#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "tests/regfile/ImportTestSupport.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kHeader4[] = L"REGEDIT4\r\n";
const wchar_t kHeader5[] = L"Windows Registry Editor Version 5.00\r\n";

class ImporterTest : public testing::Test
{
protected:
    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
    std::wstring m_base = L"Software\\HiveletTests\\Import";

    void TearDown() override
    {
        for (const CString& file : m_files)
            DeleteFileW(file);
    }

    // "[HKEY_CURRENT_USER\<base>\sub]"
    std::wstring Key(const std::wstring& sub, bool deletion = false) const
    {
        return std::wstring(L"[") + (deletion ? L"-" : L"") + L"HKEY_CURRENT_USER\\" + m_base +
               (sub.empty() ? L"" : L"\\" + sub) + L"]";
    }

    CString Run(const std::string& bytes, bool doNotCheckHeader = false)
    {
        CString path = TempFilePath(L"import");
        m_files.push_back(path);
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        CRegImporter importer;
        importer.SetDoNotCheckHeader(doNotCheckHeader);
        CString error;
        bool ok = importer.Import(path, error);
        EXPECT_EQ(ok, error.IsEmpty()) << "result and text disagree";
        EXPECT_EQ(0u, m_memory.OpenHandleCount());
        return error;
    }
    CString RunAnsi(const std::wstring& text, bool doNotCheckHeader = false)
    {
        return Run(AnsiBytes(text), doNotCheckHeader);
    }
    CString RunUnicode(const std::wstring& text, bool doNotCheckHeader = false)
    {
        return Run(UnicodeBytes(text), doNotCheckHeader);
    }

    bool Value(const std::wstring& sub, const wchar_t* name, DWORD& type, std::string& bytes) const
    {
        CShdRegKey key(false);
        std::wstring path = m_base + (sub.empty() ? L"" : L"\\" + sub);
        CShdBinaryBuffer data;
        if (!key.Open(HKEY_CURRENT_USER, path.c_str()) || !key.QueryValue(name, type, data))
            return false;
        bytes.assign(reinterpret_cast<const char*>(data.GetData()), data.GetSize());
        return true;
    }
    // "type:hexbytes", or "none".
    std::string V(const std::wstring& sub, const wchar_t* name) const
    {
        DWORD type = 0;
        std::string bytes;
        if (!Value(sub, name, type, bytes))
            return "none";
        std::string out = std::to_string(type) + ":";
        char hex[4];
        for (unsigned char b : bytes) {
            snprintf(hex, sizeof(hex), "%02x", b);
            out += hex;
        }
        return out;
    }
    bool KeyExists(const std::wstring& sub) const
    {
        CShdRegKey key(false);
        return key.Open(HKEY_CURRENT_USER, (m_base + (sub.empty() ? L"" : L"\\" + sub)).c_str());
    }
    std::vector<std::string> Snapshot() const { return SnapshotBranch(HKEY_CURRENT_USER, m_base.c_str()); }

    std::vector<CString> m_files;
};

CString SyntaxAt(int line)
{
    CString text;
    text.Format(L"Syntax error at line %i.", line);
    return text;
}

TEST_F(ImporterTest, HeaderHandling)
{
    // Empty, a lone byte order mark, and a header alone: success, nothing written.
    EXPECT_EQ(CString(L""), Run(""));
    EXPECT_EQ(CString(L""), Run("\xFF\xFE"));
    EXPECT_EQ(CString(L""), RunAnsi(kHeader4));
    EXPECT_EQ(CString(L""), RunUnicode(kHeader5));
    EXPECT_EQ(CString(L""), RunAnsi(L"\r\n  \r\n\tregedit4  \r\n"));
    EXPECT_FALSE(KeyExists(L""));

    // A key line first: refused with the check on, imported with it off.
    std::wstring body = Key(L"A") + L"\r\n\"v\"=dword:1\r\n";
    EXPECT_EQ(CString(L"Invalid file header."), RunAnsi(body));
    EXPECT_FALSE(KeyExists(L"A"));
    EXPECT_EQ(CString(L""), RunAnsi(body, true));
    EXPECT_EQ("4:01000000", V(L"A", L"v"));

    // Each header belongs to its own form.
    EXPECT_EQ(CString(L"Invalid file header."), RunAnsi(kHeader5 + body));
    EXPECT_EQ(CString(L"Invalid file header."), RunUnicode(kHeader4 + body));

    // With the check off, lines up to the first one holding a bracket are skipped, even
    // ones that would be syntax errors.
    std::wstring skipped = std::wstring(kHeader4) + L"; comment\r\n\"bad\r\nnot a value\r\n" + Key(L"B") +
                           L"\r\n\"w\"=\"x\"\r\n";
    EXPECT_EQ(CString(L""), RunUnicode(skipped, true));
    EXPECT_EQ("1:78000000", V(L"B", L"w"));
}

TEST_F(ImporterTest, LineEndsAndLineNumbers)
{
    // CR alone, LF CR, CR LF and LF are each one line end; the last line needs none.
    for (const wchar_t* end : {L"\r", L"\n\r", L"\r\n", L"\n"}) {
        std::wstring e = end;
        std::wstring text = L"REGEDIT4" + e + e + Key(L"E") + e + L"\"a\"=dword:2" + e + L"\"b\"=hex:01,\\" +
                            e + L"  02" + e + L"\"c\"=\"last\"";
        EXPECT_EQ(CString(L""), RunAnsi(text)) << "line end " << e.size();
        EXPECT_EQ("4:02000000", V(L"E", L"a"));
        EXPECT_EQ("3:0102", V(L"E", L"b"));
        EXPECT_EQ("1:6c00610073007400"
                  "0000",
                  V(L"E", L"c"));
        // The broken line is counted with every empty line before it.
        EXPECT_EQ(SyntaxAt(5), RunAnsi(L"REGEDIT4" + e + e + Key(L"E") + e + e + L"oops" + e));
    }
    // CR CR is two line ends, LF LF an empty line between two: the bad line is line 5 either way.
    EXPECT_EQ(SyntaxAt(5), RunAnsi(L"REGEDIT4\r\r" + Key(L"E") + L"\r\rbad\r"));
    EXPECT_EQ(SyntaxAt(5), RunAnsi(L"REGEDIT4\n\n" + Key(L"E") + L"\n\nbad"));
    EXPECT_EQ(SyntaxAt(4), RunAnsi(L"REGEDIT4\r\n\r" + Key(L"E") + L"\nbad"));
    // A trailing odd byte of a Unicode file is ignored.
    EXPECT_EQ(CString(L""), Run(UnicodeBytes(kHeader5 + Key(L"F") + L"\r\n\"x\"=dword:3") + "\x41"));
    EXPECT_EQ("4:03000000", V(L"F", L"x"));
}

TEST_F(ImporterTest, GrammarErrorsNameTheirLine)
{
    const wchar_t* bad[] = {
        L"\"v\"=dword:123456789",   // nine digits
        L"\"v\"=dword:",            // no digit
        L"\"v\"=dword:12g",         // not hex
        L"\"v\"=dword:1 2",         // a gap
        L"\"v\"=hex:123",           // third digit
        L"\"v\"=hex:01,,02",        // empty item
        L"\"v\"=hex:,01",           // empty first item
        L"\"v\"=hex:01 02",         // no comma
        L"\"v\"=hex:01,\\ x",       // something after the continuation backslash
        L"\"v\"=hex(1g):00",        // bad type number
        L"\"v\"=hex():00",          // empty type number
        L"\"v\"=hex(123456789):00", // nine digits
        L"\"v\"=hex(1)00",          // no colon
        L"\"v\"=hex(1 ):00",        // space in the type
        L"\"v\"=hex(1",             // no closing parenthesis
        L"\"v\"=\"text",            // string not closed
        L"\"v\"=\"text\" x",        // something after the string
        L"\"v\"=\"text\\",          // backslash at the very end
        L"\"v\"=text",              // unknown data
        L"\"v\"=",                  // no data
        L"\"v\"=-x",                // not a deletion
        L"\"v\"",                   // no "="
        L"\"v=dword:1",             // name not closed
        L"\"v\\",                   // backslash at the end of the name
        L"v=dword:1",               // unquoted name
        L"@ x =dword:1",            // junk between "@" and "="
        L"[HKLM\\Software]",        // short root name
        L"[HKEY_NOWHERE\\X]",       // unknown root
        L"[]",                      // empty key
        L"[-]",                     // empty deletion
        L"[HKEY_CURRENT_USERX]",    // root name run on
    };
    for (const wchar_t* line : bad) {
        std::wstring text = std::wstring(kHeader4) + L"\r\n" + Key(L"G") + L"\r\n; note\r\n" + line +
                            L"\r\n" + L"\"after\"=dword:1\r\n";
        EXPECT_EQ(SyntaxAt(5), RunAnsi(text)) << AnsiBytes(line);
        EXPECT_EQ("none", V(L"G", L"after")) << "the import went on after " << AnsiBytes(line);
    }
    // A value line before any key line.
    EXPECT_EQ(SyntaxAt(3), RunAnsi(L"REGEDIT4\r\n\r\n\"v\"=dword:1\r\n"));
    // A key line with no closing bracket is read as a value line.
    EXPECT_EQ(SyntaxAt(2), RunAnsi(L"REGEDIT4\r\n[HKEY_CURRENT_USER\\X\r\n"));
}

TEST_F(ImporterTest, GrammarAcceptsWhatTheReaderAllows)
{
    std::wstring text = std::wstring(kHeader4) + Key(L"H") + L"   ; after the key\r\n" +
                        L"\"one\"=dword:1\r\n"
                        L"\"mixed\"=DWORD:  0aBcDeF0\r\n"
                        L"  \"spaced\"  =  hex: a , 0a,ff ,\r\n"
                        L"\"empty\"=hex:\r\n"
                        L"\"custom\"=hex(12345678):01\r\n"
                        L"\"none\"=hex(0):\r\n"
                        L"\"HEX\"=HEX(B):01,02,03,04,05,06,07,08\r\n"
                        L"@=\"default\"\r\n"
                        L"\"q\\\"u\\\\o;te\"=\"a;b\\\"c\\\\d\" ; comment after the quote\r\n"
                        L"\"[brackets]\"=\"[x]\"\r\n"
                        L"\"emptystr\"=\"\"\r\n";
    ASSERT_EQ(CString(L""), RunAnsi(text));
    EXPECT_EQ("4:01000000", V(L"H", L"one"));
    EXPECT_EQ("4:f0debc0a", V(L"H", L"mixed"));
    EXPECT_EQ("3:0a0aff", V(L"H", L"spaced"));
    EXPECT_EQ("3:", V(L"H", L"empty"));
    EXPECT_EQ("305419896:01", V(L"H", L"custom"));
    EXPECT_EQ("0:", V(L"H", L"none"));
    EXPECT_EQ("11:0102030405060708", V(L"H", L"HEX"));
    EXPECT_EQ("1:640065006600610075006c0074000000", V(L"H", L""));
    EXPECT_EQ("1:61003b00620022006300"
              "5c0064000000",
              V(L"H", L"q\"u\\o;te"));
    EXPECT_EQ("1:5b0078005d000000", V(L"H", L"[brackets]"));
    EXPECT_EQ("1:0000", V(L"H", L"emptystr"));
    // The root itself as a key section.
    EXPECT_EQ(CString(L""), RunAnsi(std::wstring(kHeader4) + L"[HKEY_CURRENT_USER]\r\n"));
}

TEST_F(ImporterTest, Deletions)
{
    ASSERT_EQ(CString(L""), RunAnsi(std::wstring(kHeader4) + Key(L"D\\Sub\\Deep") + L"\r\n\"x\"=dword:1\r\n" +
                                    Key(L"D") + L"\r\n\"keep\"=dword:1\r\n\"drop\"=dword:2\r\n"));
    ASSERT_EQ("4:02000000", V(L"D", L"drop"));

    // Value deletion, white space around the "-".
    EXPECT_EQ(CString(L""), RunAnsi(std::wstring(kHeader4) + Key(L"D") + L"\r\n\"drop\" =  - \r\n"));
    EXPECT_EQ("none", V(L"D", L"drop"));
    EXPECT_EQ("4:01000000", V(L"D", L"keep"));

    // A key deletion removes the subtree; the values after it are parsed but not applied.
    EXPECT_EQ(CString(L""), RunAnsi(std::wstring(kHeader4) + Key(L"D\\Sub", true) + L"\r\n\"y\"=dword:1\r\n" +
                                    L"\"z\"=-\r\n\"h\"=hex:01,\\\r\n02\r\n"));
    EXPECT_FALSE(KeyExists(L"D\\Sub"));
    EXPECT_TRUE(KeyExists(L"D"));
    EXPECT_EQ(SyntaxAt(3), RunAnsi(std::wstring(kHeader4) + Key(L"Gone", true) + L"\r\n\"y\"=dword:xyz\r\n"));
    EXPECT_FALSE(KeyExists(L"Gone"));

    // Deleting a value that is not there: every other line still applies, then the failure.
    EXPECT_EQ(CString(L"Not all keys and values were imported."),
              RunAnsi(std::wstring(kHeader4) + Key(L"D") + L"\r\n\"missing\"=-\r\n\"later\"=dword:5\r\n"));
    EXPECT_EQ("4:05000000", V(L"D", L"later"));

    // A whole root is never deleted.
    EXPECT_EQ(CString(L"Not all keys and values were imported."),
              RunAnsi(std::wstring(kHeader4) + L"[-HKEY_CURRENT_USER]\r\n"));
    EXPECT_EQ("4:01000000", V(L"D", L"keep"));
}

TEST_F(ImporterTest, FailedKeysAndValuesAreReportedAtTheEnd)
{
    m_memory.FailCall(IRegistryBackend::OpCreateKey, 1);
    EXPECT_EQ(CString(L"Not all keys and values were imported."),
              RunAnsi(std::wstring(kHeader4) + Key(L"NoKey") + L"\r\n\"v\"=dword:1\r\n\"w\"=-\r\n" +
                      Key(L"Ok") + L"\r\n\"v\"=dword:1\r\n"));
    EXPECT_EQ("4:01000000", V(L"Ok", L"v"));
    // A failure in the file itself is reported instead.
    m_memory.FailCall(IRegistryBackend::OpSetValue, 1);
    EXPECT_EQ(SyntaxAt(4), RunAnsi(std::wstring(kHeader4) + Key(L"Ok") + L"\r\n\"v\"=dword:2\r\nbad\r\n"));

    EXPECT_EQ(CString(L"Unable to open file \"C:\\no\\such\\file.reg\"."), [] {
        CRegImporter importer;
        CString error;
        EXPECT_FALSE(importer.Import(L"C:\\no\\such\\file.reg", error));
        return error;
    }());
}

TEST_F(ImporterTest, ContinuationLines)
{
    // Three parts, with an empty line and a comment line between them.
    std::wstring text = std::wstring(kHeader4) + Key(L"C") +
                        L"\r\n\"v\"=hex:01,02,\\\r\n\r\n  03,04 \\ ; c\r\n" +
                        L"; only a comment\r\n   05\r\n\"next\"=dword:1\r\n";
    ASSERT_EQ(CString(L""), RunAnsi(text));
    EXPECT_EQ("3:0102030405", V(L"C", L"v"));
    EXPECT_EQ("4:01000000", V(L"C", L"next"));

    // A continuation line is a hex list, nothing else.
    EXPECT_EQ(SyntaxAt(4),
              RunAnsi(std::wstring(kHeader4) + Key(L"C") + L"\r\n\"w\"=hex:01,\\\r\n\"x\"=dword:1\r\n"));
    EXPECT_EQ("none", V(L"C", L"w"));

    // A list whose last line still announces a continuation: the file was cut, the value is
    // not written and the import is not complete.
    const CString incomplete(L"Not all keys and values were imported.");
    EXPECT_EQ(incomplete, RunAnsi(std::wstring(kHeader4) + Key(L"C") +
                                  L"\r\n\"tail\"=hex(7):41,00,\\\r\n42,00,00,00,\\"));
    EXPECT_EQ("none", V(L"C", L"tail"));
    EXPECT_EQ(incomplete,
              RunUnicode(std::wstring(kHeader5) + Key(L"C") + L"\r\n\"tail2\"=hex:ff,\\\r\n\r\n"));
    EXPECT_EQ("none", V(L"C", L"tail2"));
}

TEST_F(ImporterTest, AnsiAndUnicodeStringConversion)
{
    std::wstring body = Key(L"S") +
                        L"\r\n\"x\"=hex(2):41,00\r\n\"m\"=hex(7):e9,00,00\r\n\"b\"=hex:41,00\r\n" +
                        L"\"s\"=hex(1):\r\n\"caf\xe9\"=\"\xe9t\xe9\"\r\n";
    ASSERT_EQ(CString(L""), RunAnsi(kHeader4 + body));
    EXPECT_EQ("2:41000000", V(L"S", L"x"));
    EXPECT_EQ("7:e900"
              "00000000",
              V(L"S", L"m"));
    EXPECT_EQ("3:4100", V(L"S", L"b"));
    EXPECT_EQ("1:", V(L"S", L"s"));
    EXPECT_EQ("1:e9007400e9000000", V(L"S", L"caf\xe9"));

    ASSERT_EQ(CString(L""), RunUnicode(kHeader5 + body + L"\"u\"=\"\x20ac\x4e2d\"\r\n"));
    EXPECT_EQ("2:4100", V(L"S", L"x"));
    EXPECT_EQ("7:e90000", V(L"S", L"m"));
    EXPECT_EQ("1:ac202d4e0000", V(L"S", L"u"));
}

TEST_F(ImporterTest, LongLinesAndValuesCrossTheReadBuffer)
{
    // One value of 1 MiB on a single line, and a string longer than the read buffer.
    std::wstring hex;
    hex.reserve(3u << 20);
    for (int i = 0; i < (1 << 20); ++i) {
        static const wchar_t digits[] = L"0123456789abcdef";
        hex += digits[(i >> 4) & 15];
        hex += digits[i & 15];
        hex += L',';
    }
    std::wstring longText(700000, L'x');
    std::wstring text = std::wstring(kHeader5) + Key(L"L") + L"\r\n\"big\"=hex:" + hex + L"\r\n\"long\"=\"" +
                        longText + L"\"\r\n\"after\"=dword:1\r\nbad\r\n";
    EXPECT_EQ(SyntaxAt(6), RunUnicode(text));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(Value(L"L", L"big", type, bytes));
    ASSERT_EQ(1u << 20, bytes.size());
    EXPECT_EQ('\x34', bytes[0x1234]);
    ASSERT_TRUE(Value(L"L", L"long", type, bytes));
    EXPECT_EQ(2 * (longText.size() + 1), bytes.size());
    EXPECT_EQ("4:01000000", V(L"L", L"after"));
}

TEST_F(ImporterTest, LineEndsSplitByTheReadBufferCountOnce)
{
    // A CR LF pair, a lone CR before text and a lone LF, each placed across the end of the first
    // read, in both file forms: every line is read whole and counted once.
    for (bool unicode : {true, false}) {
        const size_t width = unicode ? 2 : 1, header = unicode ? 1 : 0; // the byte order mark
        for (const wchar_t* end : {L"\r\n", L"\r", L"\n"}) {
            for (int shift = -2; shift <= 2; ++shift) {
                std::wstring start = std::wstring(unicode ? kHeader5 : L"REGEDIT4\r\n") + Key(L"S") + L"\r\n";
                size_t padding = CRegImporter::kReadBufferSize / width - header - start.size() - 1 + shift;
                std::wstring text =
                    start + L";" + std::wstring(padding, L'x') + end + L"\"v\"=hex:0a," + end + L"bad" + end;
                EXPECT_EQ(SyntaxAt(5), unicode ? RunUnicode(text) : RunAnsi(text)) << shift;
                EXPECT_EQ("3:0a", V(L"S", L"v")) << shift;
            }
        }
    }
}

TEST_F(ImporterTest, WorkerThreadStartWaitAndCancel)
{
    CString path = TempFilePath(L"worker");
    m_files.push_back(path);
    std::wstring text = std::wstring(kHeader4) + Key(L"W") + L"\r\n";
    for (int i = 0; i < 50; ++i)
        text += L"\"v" + std::to_wstring(i) + L"\"=dword:1\r\n";
    ASSERT_TRUE(WriteFileBytes(path, AnsiBytes(text)));

    CRegImporter importer;
    bool ok = false;
    CString error;
    EXPECT_FALSE(importer.Wait(ok, error)); // nothing started
    ASSERT_TRUE(importer.Start(path));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(importer.GetDoneEvent(), 60000));
    ASSERT_TRUE(importer.Wait(ok, error));
    EXPECT_TRUE(ok);
    EXPECT_EQ(CString(L""), error);
    EXPECT_EQ("4:01000000", V(L"W", L"v49"));
    DeleteKeyTree(HKEY_CURRENT_USER, (m_base + L"\\W").c_str());

    // Hold the worker at its first value until the cancel is asked for: it stops before the
    // next line.
    HANDLE reached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool first = true;
    const DWORD testThread = GetCurrentThreadId();
    m_memory.SetCallHook([&](IRegistryBackend::EOperation op) {
        if (op == IRegistryBackend::OpSetValue && first && GetCurrentThreadId() != testThread) {
            first = false;
            SetEvent(reached);
            WaitForSingleObject(importer.GetCancelEvent(), INFINITE);
        }
    });
    ASSERT_TRUE(importer.Start(path));
    EXPECT_FALSE(importer.Start(path)); // one worker at a time
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reached, 60000));
    importer.Cancel();
    m_memory.SetCallHook(nullptr);
    CloseHandle(reached);
    EXPECT_NE(WAIT_OBJECT_0, WaitForSingleObject(importer.GetDoneEvent(), 0));
    EXPECT_FALSE(importer.Wait(ok, error)); // released by Cancel
    EXPECT_EQ("4:01000000", V(L"W", L"v0"));
    EXPECT_EQ("none", V(L"W", L"v1"));
    EXPECT_EQ(0u, m_memory.OpenHandleCount());

    // Destroying the importer while its worker runs stops the worker first.
    DeleteKeyTree(HKEY_CURRENT_USER, (m_base + L"\\W").c_str());
    {
        CRegImporter doomed;
        reached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        first = true;
        m_memory.SetCallHook([&](IRegistryBackend::EOperation op) {
            if (op == IRegistryBackend::OpSetValue && first && GetCurrentThreadId() != testThread) {
                first = false;
                SetEvent(reached);
                WaitForSingleObject(doomed.GetCancelEvent(), INFINITE);
            }
        });
        ASSERT_TRUE(doomed.Start(path));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reached, 60000));
    }
    m_memory.SetCallHook(nullptr);
    CloseHandle(reached);
    EXPECT_EQ("none", V(L"W", L"v1"));
    EXPECT_EQ(0u, m_memory.OpenHandleCount());
}

} // namespace
