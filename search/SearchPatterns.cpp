// Search patterns and the name and data tests.
#include "search/SearchPatterns.h"

#include "shd/HexDigits.h"

#include <cwchar>
#include <cwctype>
#include <cctype>

namespace {

CString Lowered(const wchar_t* text, int length)
{
    CString result(text, length);
    if (length > 0) {
        CharLowerBuffW(result.GetBuffer(length), static_cast<DWORD>(length));
        result.ReleaseBuffer(length);
    }
    return result;
}

} // namespace

bool ParseSearchNumber(const wchar_t* text, DWORD& number)
{
    number = 0;
    bool hex = text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    const wchar_t* p = hex ? text + 2 : text;
    if (!*p)
        return false;
    DWORD value = 0;
    for (; *p; ++p) {
        int digit = HexDigitValue(*p);
        if (digit < 0 || (!hex && digit > 9))
            return false;
        value = value * (hex ? 16u : 10u) + static_cast<DWORD>(digit); // wraps on overflow
    }
    number = value;
    return true;
}

bool ParseHexPattern(const wchar_t* text, CShdBinaryBuffer& bytes)
{
    bytes.Free();
    CShdBinaryBuffer result;
    DWORD count = 0;
    for (const wchar_t* p = text; *p;) {
        if (iswspace(*p)) {
            ++p;
            continue;
        }
        int high = HexDigitValue(*p);
        if (high < 0)
            return false;
        int low = HexDigitValue(p[1]);
        BYTE value;
        if (low >= 0) {
            value = static_cast<BYTE>(high << 4 | low);
            p += 2;
        } else if (!p[1] || iswspace(p[1])) {
            value = static_cast<BYTE>(high);
            p += 1;
        } else {
            return false;
        }
        if (!result.SetSize(count + 1))
            return false;
        result.GetData()[count++] = value;
    }
    return count > 0 && bytes.Assign(result.GetData(), count);
}

void CSearchPatterns::Clear()
{
    m_options = SSearchOptions();
    m_lowered.Empty();
    m_number = 0;
    m_numberValid = false;
    m_utf16.Free();
    m_ansi.Free();
    m_hex.Free();
}

void CSearchPatterns::Prepare(const SSearchOptions& options)
{
    Clear();
    m_options = options;
    const CString& text = options.searchString;
    int length = text.GetLength();
    m_lowered = Lowered(text, length);
    m_numberValid = ParseSearchNumber(text, m_number);
    if (length > 0) {
        m_utf16.Assign(text.c_str(), static_cast<DWORD>(length) * 2);
        if (m_ansi.SetSize(static_cast<DWORD>(length))) {
            // A character the code page lacks would come out as the default character and then
            // match bytes the user never searched for.
            BOOL substituted = FALSE;
            int converted =
                WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text, length,
                                    reinterpret_cast<char*>(m_ansi.GetData()), length, nullptr, &substituted);
            if (converted != length || substituted)
                m_ansi.Free();
        }
    }
    ParseHexPattern(text, m_hex);
}

bool CSearchPatterns::TextMatches(const wchar_t* text, int length) const
{
    CString candidate(text, length);
    const CString& search = m_options.searchString;
    if (m_options.wholeStringOnly)
        return m_options.caseSensitive ? wcscmp(candidate, search) == 0 : _wcsicmp(candidate, search) == 0;
    if (search.IsEmpty())
        return false;
    if (m_options.caseSensitive)
        return candidate.Find(search) >= 0;
    return Lowered(candidate, candidate.GetLength()).Find(m_lowered) >= 0;
}

bool CSearchPatterns::NameMatches(const wchar_t* name) const
{
    return TextMatches(name, static_cast<int>(wcslen(name)));
}

bool CSearchPatterns::MultiStringMatches(const wchar_t* units, int count) const
{
    if (count > 0 && units[count - 1] == L'\0')
        --count;
    int start = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && units[i] != L'\0')
            continue;
        bool emptyAtEnd = i == count && i == start;
        if (!emptyAtEnd && TextMatches(units + start, i - start))
            return true;
        start = i + 1;
    }
    return false;
}

bool CSearchPatterns::BinaryMatches(const BYTE* data, DWORD size) const
{
    bool caseSensitive = m_options.caseSensitive;
    DWORD hexSize = m_hex.GetSize();
    for (DWORD i = 0; hexSize && i + hexSize <= size; ++i) {
        if (memcmp(data + i, m_hex.GetData(), hexSize) == 0)
            return true;
    }
    DWORD units = m_utf16.GetSize() / 2;
    const BYTE* pattern = m_utf16.GetData();
    for (DWORD i = 0; units && i + units * 2 <= size; ++i) {
        DWORD k = 0;
        for (; k < units; ++k) {
            wchar_t a = static_cast<wchar_t>(data[i + 2 * k] | data[i + 2 * k + 1] << 8);
            wchar_t b = static_cast<wchar_t>(pattern[2 * k] | pattern[2 * k + 1] << 8);
            if (caseSensitive ? a != b : towlower(a) != towlower(b))
                break;
        }
        if (k == units)
            return true;
    }
    DWORD ansiSize = m_ansi.GetSize();
    const BYTE* ansi = m_ansi.GetData();
    for (DWORD i = 0; ansiSize && i + ansiSize <= size; ++i) {
        DWORD k = 0;
        for (; k < ansiSize; ++k) {
            int a = data[i + k], b = ansi[k];
            if (caseSensitive ? a != b : tolower(a) != tolower(b))
                break;
        }
        if (k == ansiSize)
            return true;
    }
    return false;
}

bool CSearchPatterns::DataMatches(DWORD type, const BYTE* data, DWORD size) const
{
    const wchar_t* units = reinterpret_cast<const wchar_t*>(data);
    int count = static_cast<int>(size / 2);
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        if (!m_options.strings)
            return false;
        int length = 0;
        while (length < count && units[length])
            ++length;
        return TextMatches(units, length);
    }
    case REG_MULTI_SZ:
        return m_options.multiStrings && MultiStringMatches(units, count);
    case REG_DWORD: {
        if (!m_options.dwords || !m_numberValid)
            return false;
        // Data shorter than four bytes reads as 0.
        DWORD value = size >= 4
                          ? DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24
                          : 0;
        return value == m_number;
    }
    default:
        return m_options.binary && BinaryMatches(data, size);
    }
}
