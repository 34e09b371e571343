// CString storage and editing; the printf-style formatter is in StringFormat.cpp.
#include "shd/String.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>

struct CString::SData
{
    std::atomic<int> refs;
    int length;
    int capacity;
    wchar_t text[1];
};

namespace {

int TextLength(const wchar_t* text)
{
    return text ? static_cast<int>(wcslen(text)) : 0;
}

} // namespace

CString::SData* CString::EmptyData()
{
    static SData empty = {{1}, 0, 0, {L'\0'}};
    return &empty;
}

CString::SData* CString::Allocate(int capacity)
{
    size_t bytes = sizeof(SData) + sizeof(wchar_t) * static_cast<size_t>(capacity);
    SData* data = static_cast<SData*>(::operator new(bytes));
    new (&data->refs) std::atomic<int>(1);
    data->length = 0;
    data->capacity = capacity;
    data->text[0] = L'\0';
    return data;
}

void CString::Release(SData* data)
{
    if (data == EmptyData())
        return;
    if (data->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        data->refs.~atomic();
        ::operator delete(data);
    }
}

CString::CString() : m_data(EmptyData()) {}

CString::CString(const wchar_t* text) : m_data(EmptyData())
{
    Assign(text, TextLength(text));
}

CString::CString(const wchar_t* text, int length) : m_data(EmptyData())
{
    Assign(text, text ? length : 0);
}

CString::CString(wchar_t ch, int count) : m_data(EmptyData())
{
    if (count <= 0)
        return;
    MakeUnique(count);
    for (int i = 0; i < count; ++i)
        m_data->text[i] = ch;
    m_data->text[count] = L'\0';
    m_data->length = count;
}

CString::CString(const CString& other) : m_data(other.m_data)
{
    if (m_data != EmptyData())
        m_data->refs.fetch_add(1, std::memory_order_relaxed);
}

CString::CString(CString&& other) noexcept : m_data(other.m_data)
{
    other.m_data = EmptyData();
}

CString::~CString()
{
    Release(m_data);
}

CString& CString::operator=(const CString& other)
{
    if (m_data != other.m_data) {
        SData* old = m_data;
        m_data = other.m_data;
        if (m_data != EmptyData())
            m_data->refs.fetch_add(1, std::memory_order_relaxed);
        Release(old);
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        Release(m_data);
        m_data = other.m_data;
        other.m_data = EmptyData();
    }
    return *this;
}

CString& CString::operator=(const wchar_t* text)
{
    Assign(text, TextLength(text));
    return *this;
}

void CString::Assign(const wchar_t* text, int length)
{
    if (length <= 0) {
        Empty();
        return;
    }
    // The source may point into our own buffer.
    SData* data = Allocate(length);
    wmemcpy(data->text, text, static_cast<size_t>(length));
    data->text[length] = L'\0';
    data->length = length;
    Release(m_data);
    m_data = data;
}

void CString::MakeUnique(int capacity)
{
    if (capacity < m_data->length)
        capacity = m_data->length;
    bool shared = m_data == EmptyData() || m_data->refs.load(std::memory_order_acquire) > 1;
    if (!shared && capacity <= m_data->capacity)
        return;
    if (!shared) {
        // Grow by half again so that repeated appends stay linear.
        int grown = m_data->capacity + m_data->capacity / 2;
        if (capacity < grown)
            capacity = grown;
    }
    SData* data = Allocate(capacity);
    wmemcpy(data->text, m_data->text, static_cast<size_t>(m_data->length) + 1);
    data->length = m_data->length;
    Release(m_data);
    m_data = data;
}

int CString::GetLength() const
{
    return m_data->length;
}

void CString::Empty()
{
    Release(m_data);
    m_data = EmptyData();
}

const wchar_t* CString::c_str() const
{
    return m_data->text;
}

wchar_t CString::GetAt(int index) const
{
    return (index >= 0 && index < m_data->length) ? m_data->text[index] : L'\0';
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= m_data->length)
        return;
    MakeUnique(m_data->length);
    m_data->text[index] = ch;
}

wchar_t* CString::GetBuffer(int minLength)
{
    MakeUnique(minLength < 1 ? 1 : minLength);
    return m_data->text;
}

void CString::ReleaseBuffer(int newLength)
{
    if (m_data == EmptyData())
        return;
    if (newLength < 0 || newLength > m_data->capacity) {
        int length = 0;
        while (length < m_data->capacity && m_data->text[length])
            ++length;
        newLength = length;
    }
    m_data->length = newLength;
    m_data->text[newLength] = L'\0';
}

void CString::Append(const wchar_t* text, int length)
{
    if (!text || length <= 0)
        return;
    if (m_data->length == 0 && m_data == EmptyData()) {
        Assign(text, length);
        return;
    }
    // Appending part of ourselves: keep the old buffer alive while copying.
    SData* keep = m_data;
    keep->refs.fetch_add(1, std::memory_order_relaxed);
    int oldLength = m_data->length;
    MakeUnique(oldLength + length);
    wmemmove(m_data->text + oldLength, text, static_cast<size_t>(length));
    m_data->length = oldLength + length;
    m_data->text[m_data->length] = L'\0';
    Release(keep);
}

CString& CString::operator+=(const CString& text)
{
    Append(text.c_str(), text.GetLength());
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    Append(text, TextLength(text));
    return *this;
}

CString& CString::operator+=(wchar_t ch)
{
    Append(&ch, 1);
    return *this;
}

int CString::Compare(const wchar_t* text) const
{
    return wcscmp(c_str(), text ? text : L"");
}

int CString::CompareNoCase(const wchar_t* text) const
{
    return _wcsicmp(c_str(), text ? text : L"");
}

CString CString::Left(int count) const
{
    if (count < 0)
        count = 0;
    if (count >= GetLength())
        return *this;
    return CString(c_str(), count);
}

CString CString::Right(int count) const
{
    if (count < 0)
        count = 0;
    if (count >= GetLength())
        return *this;
    return CString(c_str() + GetLength() - count, count);
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength())
        return CString();
    int available = GetLength() - first;
    if (count < 0 || count > available)
        count = available;
    if (first == 0 && count == GetLength())
        return *this;
    return CString(c_str() + first, count);
}

int CString::Find(wchar_t ch, int start) const
{
    for (int i = start < 0 ? 0 : start; i < GetLength(); ++i) {
        if (m_data->text[i] == ch)
            return i;
    }
    return -1;
}

int CString::Find(const wchar_t* text, int start) const
{
    if (start < 0)
        start = 0;
    if (!text || start > GetLength())
        return -1;
    const wchar_t* hit = wcsstr(c_str() + start, text);
    return hit ? static_cast<int>(hit - c_str()) : -1;
}

int CString::ReverseFind(wchar_t ch) const
{
    for (int i = GetLength() - 1; i >= 0; --i) {
        if (m_data->text[i] == ch)
            return i;
    }
    return -1;
}

void CString::MakeLower()
{
    if (IsEmpty())
        return;
    MakeUnique(GetLength());
    for (int i = 0; i < m_data->length; ++i)
        m_data->text[i] = static_cast<wchar_t>(towlower(m_data->text[i]));
}

void CString::MakeUpper()
{
    if (IsEmpty())
        return;
    MakeUnique(GetLength());
    for (int i = 0; i < m_data->length; ++i)
        m_data->text[i] = static_cast<wchar_t>(towupper(m_data->text[i]));
}

void CString::Truncate(int length)
{
    if (length < 0)
        length = 0;
    if (length >= GetLength())
        return;
    if (length == 0) {
        Empty();
        return;
    }
    MakeUnique(GetLength());
    m_data->length = length;
    m_data->text[length] = L'\0';
}

void CString::Delete(int index, int count)
{
    if (index < 0 || count <= 0 || index >= GetLength())
        return;
    if (count > GetLength() - index)
        count = GetLength() - index;
    MakeUnique(GetLength());
    wmemmove(m_data->text + index, m_data->text + index + count,
             static_cast<size_t>(m_data->length - index - count) + 1);
    m_data->length -= count;
}

void CString::Insert(int index, const wchar_t* text)
{
    if (index < 0)
        index = 0;
    if (index >= GetLength()) {
        *this += text;
        return;
    }
    CString tail = Mid(index);
    Truncate(index);
    *this += text;
    *this += tail;
}

void CString::TrimLeft()
{
    int count = 0;
    while (count < GetLength() && iswspace(m_data->text[count]))
        ++count;
    Delete(0, count);
}

void CString::TrimRight()
{
    int length = GetLength();
    while (length > 0 && iswspace(m_data->text[length - 1]))
        --length;
    Truncate(length);
}

bool CString::IsShared() const
{
    return m_data != EmptyData() && m_data->refs.load(std::memory_order_acquire) > 1;
}

// ---- free operators ---------------------------------------------------------

CString operator+(const CString& left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, const wchar_t* right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const wchar_t* left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, wchar_t right)
{
    CString result(left);
    result += right;
    return result;
}

bool operator==(const CString& left, const CString& right)
{
    return left.GetLength() == right.GetLength() && left.Compare(right) == 0;
}

bool operator==(const CString& left, const wchar_t* right)
{
    return left.Compare(right) == 0;
}

bool operator!=(const CString& left, const CString& right)
{
    return !(left == right);
}

bool operator!=(const CString& left, const wchar_t* right)
{
    return !(left == right);
}
