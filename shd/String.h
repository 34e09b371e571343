// CString: reference-counted UTF-16 string with copy-on-write and printf-style formatting.
#pragma once

#include <cstdarg>
#include <cstddef>

class CString
{
public:
    CString();
    CString(const wchar_t* text);
    CString(const wchar_t* text, int length);
    CString(wchar_t ch, int count);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const wchar_t* text);

    int GetLength() const;
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();
    operator const wchar_t*() const { return c_str(); }
    const wchar_t* c_str() const;
    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const { return GetAt(index); }
    void SetAt(int index, wchar_t ch);

    // Direct writing: GetBuffer gives room for at least minLength characters
    // plus a terminator; ReleaseBuffer(-1) takes the length from the terminator.
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);
    void Append(const wchar_t* text, int length);

    // Formatting: %s %c %d %i %u %x %X %%, flags '-' and '0', widths (also '*'),
    // precision for strings, length prefixes h, l, ll, I64. No floating point.
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormat(const wchar_t* format, ...);
    void AppendFormatV(const wchar_t* format, va_list args);

    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;
    bool EqualsNoCase(const wchar_t* text) const { return CompareNoCase(text) == 0; }

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first, int count = -1) const;
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    void MakeLower();
    void MakeUpper();
    void Truncate(int length);
    void Delete(int index, int count = 1);
    void Insert(int index, const wchar_t* text);
    void TrimLeft();
    void TrimRight();
    void Trim()
    {
        TrimRight();
        TrimLeft();
    }

    // True while the text is not shared with another CString (for tests of the sharing).
    bool IsShared() const;

private:
    struct SData;
    SData* m_data;

    static SData* Allocate(int capacity);
    static void Release(SData* data);
    void Assign(const wchar_t* text, int length);
    void MakeUnique(int capacity);
    static SData* EmptyData();
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, const wchar_t* right);
CString operator+(const wchar_t* left, const CString& right);
CString operator+(const CString& left, wchar_t right);
bool operator==(const CString& left, const CString& right);
bool operator==(const CString& left, const wchar_t* right);
bool operator!=(const CString& left, const CString& right);
bool operator!=(const CString& left, const wchar_t* right);
