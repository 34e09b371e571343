// Value data conversions, number parsing and type names.
#include "dialogs/ValueConversion.h"

#include <cstring>
#include <cwchar>
#include <string>

namespace {

int DigitValue(wchar_t ch, bool hexadecimal)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (!hexadecimal)
        return -1;
    if (ch >= L'a' && ch <= L'f')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F')
        return ch - L'A' + 10;
    return -1;
}

// The data as UTF-16 characters; an odd last byte is dropped.
CString CharactersOf(const CShdBinaryBuffer& data)
{
    int count = static_cast<int>(data.GetSize() / sizeof(wchar_t));
    CString text;
    if (count > 0) {
        wchar_t* buffer = text.GetBuffer(count);
        memcpy(buffer, data.GetData(), count * sizeof(wchar_t));
        text.ReleaseBuffer(count);
    }
    return text;
}

} // namespace

CString GetValueTypeName(DWORD type)
{
    switch (type) {
    case REG_NONE:
        return L"REG_NONE";
    case REG_SZ:
        return L"REG_SZ";
    case REG_EXPAND_SZ:
        return L"REG_EXPAND_SZ";
    case REG_BINARY:
        return L"REG_BINARY";
    case REG_DWORD:
        return L"REG_DWORD";
    case REG_MULTI_SZ:
        return L"REG_MULTI_SZ";
    }
    CString name;
    name.Format(L"Unknown (0x%X)", type);
    return name;
}

bool ParseNumber(const wchar_t* text, bool hexadecimal, DWORD upperBound, DWORD& number)
{
    if (!text || !*text)
        return false;
    const unsigned long long base = hexadecimal ? 16 : 10;
    unsigned long long value = 0;
    for (const wchar_t* p = text; *p; ++p) {
        int digit = DigitValue(*p, hexadecimal);
        if (digit < 0)
            return false;
        value = value * base + unsigned(digit);
        if (value > upperBound)
            return false;
    }
    number = static_cast<DWORD>(value);
    return true;
}

CString FormatNumber(DWORD number, bool hexadecimal)
{
    CString text;
    text.Format(hexadecimal ? L"%lx" : L"%lu", static_cast<unsigned long>(number));
    return text;
}

CString StringFromBytes(const CShdBinaryBuffer& data)
{
    CString text = CharactersOf(data);
    int end = text.Find(L'\0');
    return end < 0 ? text : text.Left(end);
}

bool BytesFromString(const wchar_t* text, CShdBinaryBuffer& data)
{
    if (!text)
        text = L"";
    return data.Assign(text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

bool DwordFromBytes(const CShdBinaryBuffer& data, DWORD& number)
{
    if (data.GetSize() != sizeof(DWORD))
        return false;
    number = data.ReadDword(0);
    return true;
}

bool BytesFromDword(DWORD number, CShdBinaryBuffer& data)
{
    const BYTE bytes[4] = {BYTE(number), BYTE(number >> 8), BYTE(number >> 16), BYTE(number >> 24)};
    return data.Assign(bytes, sizeof(bytes));
}

CString MultiStringFromBytes(const CShdBinaryBuffer& data)
{
    const wchar_t* characters = reinterpret_cast<const wchar_t*>(data.GetData());
    size_t length = data.GetSize() / sizeof(wchar_t);
    for (int dropped = 0; dropped < 2 && length > 0 && characters[length - 1] == L'\0'; ++dropped)
        --length;
    std::wstring text;
    text.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        if (characters[i] == L'\0')
            text += L"\r\n";
        else
            text += characters[i];
    }
    return CString(text.c_str(), static_cast<int>(text.size()));
}

namespace {

// Every line of the text with its terminating NUL; the list's own closing NUL is not added.
std::wstring StringsOfLines(const wchar_t* text)
{
    std::wstring strings;
    for (const wchar_t* p = text ? text : L""; *p; ++p) {
        if (*p == L'\r' || *p == L'\n') {
            // A CR LF or LF CR pair is one line end.
            wchar_t partner = *p == L'\r' ? L'\n' : L'\r';
            if (p[1] == partner)
                ++p;
            strings += L'\0';
        } else {
            strings += *p;
        }
    }
    strings += L'\0'; // the last string's end
    return strings;
}

// Keeps the non-empty strings and the last one, which may be empty.
std::wstring WithoutEmptyStringsBeforeLast(const std::wstring& strings, bool& dropped)
{
    std::wstring kept;
    kept.reserve(strings.size());
    size_t start = 0;
    while (start < strings.size()) {
        const size_t stop = strings.find(L'\0', start);
        const bool last = stop + 1 >= strings.size();
        if (stop == start && !last)
            dropped = true;
        else
            kept.append(strings, start, stop + 1 - start);
        start = stop + 1;
    }
    return kept;
}

bool AssignStringList(std::wstring strings, CShdBinaryBuffer& data)
{
    strings += L'\0'; // the list's end
    return data.Assign(strings.data(), static_cast<DWORD>(strings.size() * sizeof(wchar_t)));
}

} // namespace

bool BytesFromMultiString(const wchar_t* text, CShdBinaryBuffer& data)
{
    return AssignStringList(StringsOfLines(text), data);
}

bool BytesFromEditedMultiString(const wchar_t* text, CShdBinaryBuffer& data, bool& droppedEmptyLines)
{
    droppedEmptyLines = false;
    return AssignStringList(WithoutEmptyStringsBeforeLast(StringsOfLines(text), droppedEmptyLines), data);
}

unsigned PowerOfTwoBytesPerLine(unsigned autoBytesPerLine)
{
    if (autoBytesPerLine == 0)
        autoBytesPerLine = 4;
    unsigned bytes = 1;
    while (bytes < 16 && bytes * 2 <= autoBytesPerLine)
        bytes *= 2;
    return bytes;
}
