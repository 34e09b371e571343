// The .reg importer's lines: the header, key lines, value lines with their data forms and hex
// continuations, each applied to the registry as it is read.
#include "regfile/RegImporter.h"

#include "registry/KeyTree.h"
#include "registry/RegistryBackend.h"
#include "registry/RootKeys.h"
#include "shd/HexDigits.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <initializer_list>

namespace {

// The C library's white space, with its answers for the first 128 characters kept in a table:
// the hex lists that make up most of a file ask for every character.
struct SAsciiSpaces
{
    bool space[128];
    SAsciiSpaces()
    {
        for (int i = 0; i < 128; ++i)
            space[i] = iswspace(static_cast<wint_t>(i)) != 0;
    }
};

bool IsSpace(wchar_t ch)
{
    static const SAsciiSpaces ascii;
    return ch < 128 ? ascii.space[ch] : iswspace(ch) != 0;
}

wchar_t Lower(wchar_t ch)
{
    if (ch < 128)
        return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch + (L'a' - L'A')) : ch;
    return static_cast<wchar_t>(towlower(ch));
}

bool StartsWithNoCase(const wchar_t* p, const wchar_t* end, const wchar_t* prefix)
{
    for (; *prefix; ++p, ++prefix) {
        if (p == end || Lower(*p) != Lower(*prefix))
            return false;
    }
    return true;
}

// Trims white space from both ends of [begin, end).
void Trim(const wchar_t*& begin, const wchar_t*& end)
{
    while (begin < end && IsSpace(*begin))
        ++begin;
    while (end > begin && IsSpace(end[-1]))
        --end;
}

// A NUL inside a name would cut it short on its way to the registry, which then acts on another
// key or value than the file names.
bool HoldsNul(const wchar_t* text, int length)
{
    return length > 0 && wmemchr(text, L'\0', static_cast<size_t>(length)) != nullptr;
}

// Length of the line once a comment (";" outside double quotes) is cut off.
int CommentFreeLength(const wchar_t* text, int length)
{
    bool quoted = false;
    for (int i = 0; i < length; ++i) {
        wchar_t ch = text[i];
        if (quoted) {
            if (ch == L'\\')
                ++i;
            else if (ch == L'"')
                quoted = false;
        } else if (ch == L'"') {
            quoted = true;
        } else if (ch == L';') {
            return i;
        }
    }
    return length;
}

// The line without its comment and surrounding white space; false when nothing is left.
bool LineContent(const wchar_t* text, int length, const wchar_t*& begin, const wchar_t*& end)
{
    begin = text;
    end = text + CommentFreeLength(text, length);
    Trim(begin, end);
    return begin != end;
}

// Reads a double-quoted text starting at p (on the quote) with backslash escapes; p ends after
// the closing quote. False when it does not close.
bool ParseQuoted(const wchar_t*& p, const wchar_t* end, CString& text)
{
    ++p;
    const wchar_t* runStart = p;
    text.Empty();
    while (p < end) {
        if (*p == L'"') {
            text.Append(runStart, static_cast<int>(p - runStart));
            ++p;
            return true;
        }
        if (*p == L'\\') {
            text.Append(runStart, static_cast<int>(p - runStart));
            if (++p == end)
                return false;
            runStart = p;
        }
        ++p;
    }
    return false;
}

} // namespace

bool CRegImporter::HandleLine()
{
    const wchar_t* begin = m_line;
    const wchar_t* end = m_line + m_lineLength;
    Trim(begin, end);
    if (begin == end)
        return true;
    wchar_t* text = m_line + (begin - m_line);
    int length = static_cast<int>(end - begin);

    if (m_continuation)
        return HandleContinuation(text, length);

    if (!m_headerSeen && !m_headerMismatch) {
        if (HoldsNul(text, length))
            return SyntaxError();
        m_headerSeen = true;
        CString line(text, length);
        if (m_unicode ? line.CompareNoCase(L"Windows Registry Editor Version 5.00") == 0
                      : line.CompareNoCase(L"REGEDIT4") == 0)
            return true;
        if (!m_doNotCheckHeader)
            return Fail(L"Invalid file header.");
        m_headerSeen = false;
        m_headerMismatch = true;
        m_skipping = true;
    }
    if (m_skipping) {
        bool bracket = false;
        for (int i = 0; i < length && !bracket; ++i)
            bracket = text[i] == L'[' || text[i] == L']';
        if (!bracket)
            return true;
        m_skipping = false;
    }

    if (text[0] == L'[') {
        int last = length - 1;
        while (last >= 0 && text[last] != L']')
            --last;
        if (last >= 1)
            return HandleKeyLine(text + 1, last - 1);
    }
    return HandleValueLine(text, length);
}

bool CRegImporter::HandleKeyLine(const wchar_t* text, int length)
{
    bool deletion = length > 0 && text[0] == L'-';
    if (deletion) {
        ++text;
        --length;
    }
    if (length == 0 || HoldsNul(text, length))
        return SyntaxError();
    CString keyText(text, length);
    CString subkey;
    HKEY root = SplitKeyPath(keyText, subkey, true);
    if (!root)
        return SyntaxError();

    if (m_sectionActive)
        m_key.Close(false);
    m_key.Close(false);
    if (deletion) {
        // A root itself is never deleted: that would wipe a whole hive.
        if (subkey.IsEmpty() || !DeleteKeyTree(root, subkey))
            m_someFailed = true;
        m_sectionActive = false;
        m_deletedSection = true;
    } else {
        if (!m_key.Create(root, subkey))
            m_someFailed = true;
        m_sectionActive = true;
        m_deletedSection = false;
    }
    return true;
}

bool CRegImporter::HandleValueLine(wchar_t* text, int length)
{
    const wchar_t* p;
    const wchar_t* end;
    if (!LineContent(text, length, p, end))
        return true;
    if (!m_sectionActive && !m_deletedSection)
        return SyntaxError();

    // Name part.
    if (*p == L'@') {
        m_pendingName.Empty();
        ++p;
    } else if (*p == L'"') {
        if (!ParseQuoted(p, end, m_pendingName) || HoldsNul(m_pendingName, m_pendingName.GetLength()))
            return SyntaxError();
    } else {
        return SyntaxError();
    }
    while (p < end && IsSpace(*p))
        ++p;
    if (p == end || *p != L'=')
        return SyntaxError();
    ++p;
    while (p < end && IsSpace(*p))
        ++p;

    // Data part.
    m_pendingConvert = false;
    if (!m_pendingData.SetSize(0))
        return OutOfMemory();
    if (p < end && *p == L'-' && p + 1 == end) {
        if (m_sectionActive && !m_key.DeleteValue(m_pendingName))
            m_someFailed = true;
        return true;
    }
    if (p < end && *p == L'"') {
        CString data;
        if (!ParseQuoted(p, end, data))
            return SyntaxError();
        if (p != end) // trailing white space was trimmed with the line
            return SyntaxError();
        m_pendingType = REG_SZ;
        DWORD bytes = static_cast<DWORD>(data.GetLength() + 1) * sizeof(wchar_t);
        if (!m_pendingData.Assign(data.c_str(), bytes))
            return OutOfMemory();
        return FinishValue();
    }
    if (StartsWithNoCase(p, end, L"dword:")) {
        p += 6;
        while (p < end && IsSpace(*p))
            ++p;
        if (p == end || end - p > 8)
            return SyntaxError();
        DWORD number = 0;
        for (; p < end; ++p) {
            int digit = HexDigitValue(*p);
            if (digit < 0)
                return SyntaxError();
            number = (number << 4) | static_cast<DWORD>(digit);
        }
        m_pendingType = REG_DWORD;
        if (!m_pendingData.Assign(&number, sizeof(number)))
            return OutOfMemory();
        return FinishValue();
    }
    if (StartsWithNoCase(p, end, L"hex:")) {
        p += 4;
        m_pendingType = REG_BINARY;
    } else if (StartsWithNoCase(p, end, L"hex(")) {
        p += 4;
        const wchar_t* close = p;
        while (close < end && *close != L')')
            ++close;
        if (close == end || close == p || close - p > 8 || close + 1 == end || close[1] != L':')
            return SyntaxError();
        DWORD type = 0;
        for (; p < close; ++p) {
            int digit = HexDigitValue(*p);
            if (digit < 0)
                return SyntaxError();
            type = (type << 4) | static_cast<DWORD>(digit);
        }
        p = close + 2;
        m_pendingType = type;
        m_pendingConvert = !m_unicode && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ);
    } else {
        return SyntaxError();
    }
    return ContinueHexList(p, end);
}

bool CRegImporter::HandleContinuation(wchar_t* text, int length)
{
    const wchar_t* p;
    const wchar_t* end;
    if (!LineContent(text, length, p, end))
        return true;
    return ContinueHexList(p, end);
}

// The hex bytes from p on; the value is stored once a line does not end with a backslash.
bool CRegImporter::ContinueHexList(const wchar_t* p, const wchar_t* end)
{
    bool continues = false;
    if (!ParseHexList(p, end, continues))
        return false;
    m_continuation = continues;
    return continues || FinishValue();
}

bool CRegImporter::ReserveData(DWORD size)
{
    DWORD used = m_pendingData.GetSize();
    if (size <= m_pendingData.GetCapacity())
        return true;
    // Grow the block geometrically, then set the used size back.
    DWORD capacity = used < 64 ? 64 : used * 2;
    if (capacity < size)
        capacity = size;
    if (capacity < used || !m_pendingData.SetSize(capacity) || !m_pendingData.SetSize(used))
        return OutOfMemory();
    return true;
}

bool CRegImporter::ParseHexList(const wchar_t* p, const wchar_t* end, bool& continues)
{
    continues = false;
    // A byte takes at least one digit and, but for the last, a comma.
    DWORD size = m_pendingData.GetSize();
    const DWORD most = static_cast<DWORD>((end - p + 1) / 2);
    if (size + most < size || !ReserveData(size + most))
        return false;
    BYTE* data = m_pendingData.GetData();
    bool expectByte = true; // at the start or right after a comma
    bool ok = true;
    while (p < end) {
        wchar_t ch = *p;
        if (IsSpace(ch)) {
            ++p;
            continue;
        }
        if (ch == L'\\') {
            for (++p; p < end && ok; ++p)
                ok = IsSpace(*p);
            continues = ok;
            break;
        }
        if (ch == L',') {
            if (expectByte) { // an empty item
                ok = false;
                break;
            }
            expectByte = true;
            ++p;
            continue;
        }
        int high = HexDigitValue(ch);
        if (high < 0 || !expectByte) {
            ok = false;
            break;
        }
        ++p;
        int value = high;
        if (p < end) {
            int low = HexDigitValue(*p);
            if (low >= 0) {
                value = (high << 4) | low;
                ++p;
                if (p < end && HexDigitValue(*p) >= 0) {
                    ok = false;
                    break;
                }
            }
        }
        data[size++] = static_cast<BYTE>(value);
        expectByte = false;
    }
    m_pendingData.SetSize(size);
    return ok || SyntaxError();
}

bool CRegImporter::FinishValue()
{
    if (m_pendingConvert && m_pendingData.GetSize() > 0) {
        int n = static_cast<int>(m_pendingData.GetSize());
        CShdBinaryBuffer converted;
        if (!converted.SetSize(static_cast<DWORD>(n) * 2))
            return OutOfMemory();
        int count = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED,
                                        reinterpret_cast<const char*>(m_pendingData.GetData()), n,
                                        reinterpret_cast<wchar_t*>(converted.GetData()), n);
        if (count != n)
            return Fail(L"Conversion error.");
        if (!m_pendingData.Assign(converted.GetData(), converted.GetSize()))
            return OutOfMemory();
    }
    if (m_sectionActive && !m_key.SetValue(m_pendingName, m_pendingType, m_pendingData))
        m_someFailed = true;
    return true;
}
