// Robustness: generated and mutated files from fixed seeds. The importer must end every run
// with success or one of its error texts, and name a line that exists.
#include "regfile/RegImporter.h"

#include "registry/MemoryRegistryBackend.h"
#include "tests/regfile/ImportTestSupport.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <random>
#include <string>

namespace {

const wchar_t* const kFixedTexts[] = {
    L"Unable to read file.",
    L"Out of memory.",
    L"Invalid file header.",
    L"Conversion error.",
    L"Not all keys and values were imported.",
};

// Physical lines of the decoded text, counted with the importer's line-end rules.
int CountLines(const std::wstring& text)
{
    int lines = 0;
    size_t i = 0, n = text.size();
    while (i < n) {
        ++lines;
        while (i < n && text[i] != L'\r' && text[i] != L'\n')
            ++i;
        if (i < n) {
            wchar_t partner = text[i] == L'\r' ? L'\n' : L'\r';
            ++i;
            if (i < n && text[i] == partner)
                ++i;
        }
    }
    return lines;
}

std::wstring Decode(const std::string& bytes, bool& unicode)
{
    std::wstring text;
    unicode = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
              static_cast<unsigned char>(bytes[1]) == 0xFE;
    if (unicode) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
    } else {
        for (char ch : bytes)
            text += static_cast<wchar_t>(static_cast<unsigned char>(ch)); // line ends are ASCII anyway
    }
    return text;
}

class CGenerator
{
public:
    explicit CGenerator(unsigned seed) : m_random(seed) {}

    int Pick(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    std::wstring Name()
    {
        static const wchar_t chars[] = L"abcXYZ 09_\"\\;[]=@,-\xe9\x20ac";
        std::wstring name;
        int length = Pick(8);
        for (int i = 0; i < length; ++i)
            name += chars[Pick(static_cast<int>(wcslen(chars)))];
        return name;
    }
    static std::wstring Escape(const std::wstring& text)
    {
        std::wstring out;
        for (wchar_t ch : text) {
            if (ch == L'"' || ch == L'\\')
                out += L'\\';
            out += ch;
        }
        return out;
    }
    std::wstring HexList(int count, int perLine, const std::wstring& end)
    {
        std::wstring out;
        wchar_t hex[4];
        for (int i = 0; i < count; ++i) {
            swprintf(hex, 4, Pick(4) ? L"%02x" : L"%x", Pick(256));
            out += hex;
            if (i + 1 < count)
                out += L",";
            if (perLine && i % perLine == perLine - 1 && i + 1 < count)
                out += L"\\" + end + L"  ";
        }
        return out;
    }
    // A well-formed file below HKCU\Software\HiveletTests\Fuzz; lines counted.
    std::wstring ValidFile(bool unicode, const std::wstring& end, int& lineCount)
    {
        std::wstring text = unicode ? L"Windows Registry Editor Version 5.00" : L"REGEDIT4";
        text += end;
        lineCount = 1;
        int keys = 1 + Pick(6);
        for (int k = 0; k < keys; ++k) {
            std::wstring path = L"Software\\HiveletTests\\Fuzz";
            int depth = 1 + Pick(3);
            for (int d = 0; d < depth; ++d)
                path += L"\\k" + std::to_wstring(Pick(5));
            text += end + L"[" + (Pick(8) == 0 ? L"-" : L"") + L"HKEY_CURRENT_USER\\" + path + L"]" + end;
            lineCount += 2;
            int values = Pick(6);
            for (int v = 0; v < values; ++v) {
                std::wstring line = Pick(5) ? L"\"" + Escape(Name()) + L"\"=" : L"@=";
                switch (Pick(6)) {
                case 0:
                    line += L"\"" + Escape(Name()) + L"\"";
                    break;
                case 1:
                    line += L"dword:" + std::to_wstring(Pick(100000));
                    break;
                case 2:
                    line += L"hex:" + HexList(Pick(20), 0, end);
                    break;
                case 3: {
                    int count = Pick(40), perLine = 1 + Pick(8);
                    line += L"hex(" + std::to_wstring(Pick(12)) + L"):" + HexList(count, perLine, end);
                    lineCount += count > 0 ? (count - 1) / perLine : 0;
                    break;
                }
                case 4:
                    line += L"-";
                    break;
                default:
                    line += L"\"a;b\" ; comment";
                    break;
                }
                text += line + end;
                ++lineCount;
            }
        }
        return text;
    }
    std::string Mutate(std::string bytes)
    {
        int edits = 1 + Pick(4);
        for (int e = 0; e < edits; ++e) {
            size_t size = bytes.size();
            size_t at = size ? static_cast<size_t>(Pick(static_cast<int>(size))) : 0;
            switch (Pick(7)) {
            case 0:
                bytes.resize(at);
                break; // truncated
            case 1:
                if (size)
                    bytes[at] = static_cast<char>(Pick(256));
                break;
            case 2:
                bytes.insert(at, 1, static_cast<char>(Pick(256)));
                break;
            case 3:
                bytes.erase(at, static_cast<size_t>(Pick(16)));
                break;
            case 4:
                bytes.insert(at, bytes.substr(at, static_cast<size_t>(Pick(64))));
                break;
            case 5:
                bytes.insert(at, std::string(1, "\r\n\\\";[]=,-@"[Pick(12)]));
                break;
            default:
                if (size)
                    bytes.erase(at, 1); // odd lengths
                break;
            }
        }
        return bytes;
    }

private:
    std::mt19937 m_random;
};

class ImporterFuzzTest : public testing::Test
{
protected:
    void TearDown() override { DeleteFileW(m_file); }

    // Imports into a fresh in-memory registry and checks the outcome is one the importer may give.
    CString Check(const std::string& bytes, const char* what)
    {
        EXPECT_TRUE(WriteFileBytes(m_file, bytes));
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        CRegImporter importer;
        importer.SetDoNotCheckHeader(m_random() % 2 != 0);
        CString error;
        bool ok = importer.Import(m_file, error);
        EXPECT_EQ(ok, error.IsEmpty()) << what;
        EXPECT_EQ(0u, memory.OpenHandleCount()) << what;
        if (!ok) {
            bool known = false;
            for (const wchar_t* text : kFixedTexts)
                known = known || error == text;
            int line = 0;
            if (swscanf(error, L"Syntax error at line %d.", &line) == 1) {
                bool unicode = false;
                int lines = CountLines(Decode(bytes, unicode));
                EXPECT_GE(line, 1) << what;
                EXPECT_LE(line, lines) << what;
                CString again;
                again.Format(L"Syntax error at line %i.", line);
                known = again == error;
            }
            EXPECT_TRUE(known) << what << ": " << testing::PrintToString(error);
        }
        return error;
    }

    CString m_file = TempFilePath(L"fuzz");
    std::mt19937 m_random{7};
};

TEST_F(ImporterFuzzTest, MutatedFilesEndWithAKnownOutcome)
{
    static const wchar_t* const ends[] = {L"\r\n", L"\n", L"\r", L"\n\r"};
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        CGenerator generator(seed);
        bool unicode = generator.Pick(2) != 0;
        int lines = 0;
        std::wstring text = generator.ValidFile(unicode, ends[generator.Pick(4)], lines);
        std::string bytes = unicode ? UnicodeBytes(text) : AnsiBytes(text);
        if (seed % 10 == 0) {
            // The generated file itself is accepted.
            CString error = Check(bytes, "valid");
            EXPECT_TRUE(error.IsEmpty() || error == L"Not all keys and values were imported.")
                << "seed " << seed << ": " << testing::PrintToString(error);
        }
        std::string label = "seed " + std::to_string(seed);
        if (HasFailure())
            return;
        Check(generator.Mutate(bytes), label.c_str());
        if (HasFailure())
            return;
    }
}

TEST_F(ImporterFuzzTest, RandomBytesAndOddShapes)
{
    std::mt19937 random(99);
    for (int i = 0; i < 1500; ++i) {
        std::string bytes(random() % 300, '\0');
        for (char& ch : bytes)
            ch = static_cast<char>(i % 3 == 0 ? "REGDIT4[]\\\"=:,;hex(0)\r\n\t -@"[random() % 29]
                                              : random() % 256);
        if (i % 5 == 0)
            bytes.insert(0, "\xFF\xFE");
        Check(bytes, "random");
    }
    // A lone byte order mark, a single byte, a mark and one odd byte.
    EXPECT_EQ(CString(L""), Check("\xFF\xFE", "bom"));
    Check("R", "one byte");
    EXPECT_EQ(CString(L""), Check("\xFF\xFE\x41", "bom and odd byte"));
}

TEST_F(ImporterFuzzTest, BrokenLineIsNamedExactly)
{
    static const wchar_t* const ends[] = {L"\r\n", L"\n", L"\r", L"\n\r"};
    for (unsigned seed = 1; seed <= 400; ++seed) {
        CGenerator generator(seed + 100000);
        bool unicode = generator.Pick(2) != 0;
        std::wstring end = ends[generator.Pick(4)];
        int lines = 0;
        std::wstring text = generator.ValidFile(unicode, end, lines);
        // Replace one physical line (not the header) with one that is wrong in any context.
        int target = 2 + generator.Pick(lines - 1);
        std::wstring out;
        int line = 1;
        size_t start = 0;
        while (start <= text.size()) {
            size_t stop = text.find(end, start);
            if (stop == std::wstring::npos)
                stop = text.size();
            out += line == target ? L"\"x\"=dword:123456789" : text.substr(start, stop - start);
            if (stop == text.size())
                break;
            out += end;
            start = stop + end.size();
            ++line;
        }
        CString expected;
        expected.Format(L"Syntax error at line %i.", target);
        CString error = Check(unicode ? UnicodeBytes(out) : AnsiBytes(out), "broken");
        EXPECT_EQ(expected, error) << "seed " << seed;
        if (HasFailure())
            return;
    }
}

TEST_F(ImporterFuzzTest, HugeValuesAndDeepPaths)
{
    // Deep key paths (each name within the registry's limit) and 1 MB hex values, in both forms.
    std::wstring deep = L"[HKEY_CURRENT_USER\\Software";
    for (int i = 0; i < 400; ++i)
        deep += L"\\level" + std::to_wstring(i);
    deep += L"]\r\n\"v\"=dword:1\r\n";
    std::wstring hex = L"\"big\"=hex:";
    for (int i = 0; i < 1000000; ++i)
        hex += i % 40 == 39 ? L"ab,\\\r\n" : L"ab,";
    hex += L"\r\n";
    for (bool unicode : {false, true}) {
        std::wstring text = std::wstring(unicode ? L"Windows Registry Editor Version 5.00" : L"REGEDIT4") +
                            L"\r\n" + deep + hex;
        std::string bytes = unicode ? UnicodeBytes(text) : AnsiBytes(text);
        Check(bytes, "huge");
        CGenerator generator(unicode ? 5 : 6);
        for (int i = 0; i < 6; ++i)
            Check(generator.Mutate(bytes), "huge mutated");
    }
    // A single line of 4 MB without any line end.
    Check(std::string("REGEDIT4\r\n[HKEY_CURRENT_USER\\x]\r\n\"v\"=\"") + std::string(4 << 20, 'y'),
          "long line");
}

} // namespace
