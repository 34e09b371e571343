// CShdRegKey: key lifetime, typed reads and the growing read.
#include "registry/ShdRegKey.h"

#include "registry/RegistryBackend.h"

namespace {

const DWORD kDefaultNameHint = 260;
const DWORD kDefaultDataHint = 1024;
// Name buffers are CStrings with int lengths; nothing the registry holds comes near this.
const DWORD kMaxCapacity = 0x7FFFFFF0;

// One growing capacity (characters for names, bytes for data). Starts at hint + 1; after a
// cut read it grows to 1.5 times the returned length when that equals the capacity, else to the
// returned length plus one.
struct SCapacity
{
    DWORD capacity;
    explicit SCapacity(DWORD hint) : capacity(hint + 1) {}
    bool Fits(DWORD returned) const { return returned < capacity; }
    // Always grows by at least one, so a platform that keeps reporting a full buffer of one
    // character (Wine leaves a too-small name length as it was) cannot hold the read in a loop.
    // False when the next capacity would not fit in a DWORD.
    bool Grow(DWORD returned)
    {
        if (Fits(returned))
            return true;
        unsigned long long next = returned == capacity ? returned + returned / 2ull : returned + 1ull;
        if (next <= capacity)
            next = capacity + 1ull;
        if (next > kMaxCapacity)
            return false;
        capacity = static_cast<DWORD>(next);
        return true;
    }
};

// Leaves the registry's answer for GetLastError, so that an enumeration can tell its end
// (ERROR_NO_MORE_ITEMS) from one item that could not be read.
bool FailWith(LONG code)
{
    SetLastError(static_cast<DWORD>(code));
    return false;
}

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The growing read of one name or class text: read(buffer, length) makes one registry call with
// the buffer and its capacity in characters and returns its result. On failure the text is
// left empty.
template <class Read> bool ReadGrowingText(DWORD hint, CString& text, Read read)
{
    SCapacity capacity(hint);
    for (;;) {
        DWORD length = capacity.capacity;
        LONG rc = read(text.GetBuffer(static_cast<int>(length)), &length);
        if (rc == ERROR_SUCCESS && capacity.Fits(length)) {
            text.ReleaseBuffer(static_cast<int>(length));
            return true;
        }
        text.ReleaseBuffer(0);
        text.Empty();
        if ((rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) ||
            (rc == ERROR_MORE_DATA && capacity.Fits(length)))
            return FailWith(rc == ERROR_SUCCESS ? ERROR_MORE_DATA : rc);
        if (!capacity.Grow(length))
            return FailWith(ERROR_MORE_DATA);
    }
}

} // namespace

CShdRegKey::~CShdRegKey()
{
    Close();
}

bool CShdRegKey::Open(HKEY parent, const wchar_t* path)
{
    Close();
    HKEY key = nullptr;
    if (Registry().OpenKey(parent, path ? path : L"", 0, 0, &key) != ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

bool CShdRegKey::Create(HKEY parent, const wchar_t* path, const wchar_t* keyClass)
{
    Close();
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (Registry().CreateKey(parent, path ? path : L"", 0, keyClass, 0, 0, nullptr, &key, &disposition) !=
        ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

void CShdRegKey::Close(bool flush)
{
    if (!m_key)
        return;
    if (flush)
        Registry().FlushKey(m_key);
    Registry().CloseKey(m_key);
    m_key = nullptr;
}

bool CShdRegKey::QueryString(const wchar_t* name, CString& text) const
{
    text.Empty();
    if (!m_key)
        return false;
    DWORD type = 0, size = 0;
    if (Registry().QueryValue(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        !IsStringType(type))
        return false;
    // Room for the data plus a terminator, so text stored without one still reads whole (an
    // odd byte count is rounded up rather than cut short, which the registry would refuse).
    DWORD characters = (size + 1) / 2;
    wchar_t* buffer = text.GetBuffer(static_cast<int>(characters) + 1);
    DWORD bytes = characters * 2;
    LONG rc = Registry().QueryValue(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    if (rc != ERROR_SUCCESS || !IsStringType(type)) {
        text.ReleaseBuffer(0);
        text.Empty();
        return false;
    }
    buffer[bytes / 2 < characters ? bytes / 2 : characters] = L'\0';
    text.ReleaseBuffer(-1);
    return true;
}

CString CShdRegKey::GetString(const wchar_t* name, const wchar_t* defaultText) const
{
    CString text;
    return QueryString(name, text) ? text : CString(defaultText);
}

bool CShdRegKey::SetString(const wchar_t* name, const wchar_t* text)
{
    if (!m_key || !text)
        return false;
    DWORD size = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return SetValue(name, REG_SZ, text, size);
}

bool CShdRegKey::QueryDword(const wchar_t* name, DWORD& number) const
{
    number = 0;
    if (!m_key)
        return false;
    DWORD type = 0, value = 0, size = sizeof(value);
    LONG rc = Registry().QueryValue(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value))
        return false;
    number = value;
    return true;
}

DWORD CShdRegKey::GetDword(const wchar_t* name, DWORD defaultNumber) const
{
    DWORD number;
    return QueryDword(name, number) ? number : defaultNumber;
}

bool CShdRegKey::GetBool(const wchar_t* name, bool defaultValue) const
{
    DWORD number;
    return QueryDword(name, number) ? number != 0 : defaultValue;
}

bool CShdRegKey::SetDword(const wchar_t* name, DWORD number)
{
    return SetValue(name, REG_DWORD, &number, sizeof(number));
}

bool CShdRegKey::QueryValue(const wchar_t* name, DWORD& type, CShdBinaryBuffer& data) const
{
    type = 0;
    data.Free();
    if (!m_key)
        return false;
    DWORD size = 0;
    if (Registry().QueryValue(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        type = 0;
        return false;
    }
    return ReadData(name, size, type, data);
}

bool CShdRegKey::ReadData(const wchar_t* name, DWORD sizeHint, DWORD& type, CShdBinaryBuffer& data) const
{
    SCapacity capacity(sizeHint);
    for (;;) {
        if (!data.SetSize(capacity.capacity))
            break;
        DWORD size = capacity.capacity;
        LONG rc = Registry().QueryValue(m_key, name, nullptr, &type, data.GetData(), &size);
        if (rc == ERROR_SUCCESS && capacity.Fits(size)) {
            data.SetSize(size);
            return true;
        }
        if ((rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) || (rc == ERROR_MORE_DATA && capacity.Fits(size)))
            break;
        if (!capacity.Grow(size))
            break;
    }
    type = 0;
    data.Free();
    return false;
}

bool CShdRegKey::SetValue(const wchar_t* name, DWORD type, const CShdBinaryBuffer& data)
{
    return SetValue(name, type, data.GetData(), data.GetSize());
}

bool CShdRegKey::SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    if (!m_key)
        return false;
    return Registry().SetValue(m_key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool CShdRegKey::QueryValueType(const wchar_t* name, DWORD& type) const
{
    type = 0;
    if (!m_key)
        return false;
    return Registry().QueryValue(m_key, name, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
}

bool CShdRegKey::ValueExists(const wchar_t* name) const
{
    if (!m_key)
        return false;
    DWORD type = 0, size = 0;
    return Registry().QueryValue(m_key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

bool CShdRegKey::DeleteValue(const wchar_t* name)
{
    return m_key && Registry().DeleteValue(m_key, name) == ERROR_SUCCESS;
}

bool CShdRegKey::QueryInfo(SInfo& info) const
{
    if (!m_key)
        return false;
    return Registry().QueryInfoKey(m_key, nullptr, nullptr, nullptr, &info.subKeys, &info.maxSubKeyLength,
                                   nullptr, &info.values, &info.maxValueNameLength, &info.maxValueLength,
                                   nullptr, nullptr) == ERROR_SUCCESS;
}

DWORD CShdRegKey::GetValueCount() const
{
    SInfo info;
    return QueryInfo(info) ? info.values : 0;
}

DWORD CShdRegKey::GetSubKeyCount() const
{
    SInfo info;
    return QueryInfo(info) ? info.subKeys : 0;
}

bool CShdRegKey::QueryCounts(DWORD& subKeys, DWORD& values) const
{
    SInfo info;
    bool known = QueryInfo(info);
    subKeys = known ? info.subKeys : 0;
    values = known ? info.values : 0;
    return known;
}

bool CShdRegKey::EnumValueName(DWORD index, CString& name, DWORD& type) const
{
    SInfo info;
    DWORD hint = QueryInfo(info) ? info.maxValueNameLength : kDefaultNameHint;
    return EnumValueNameFrom(index, hint, name, type);
}

bool CShdRegKey::EnumValueName(DWORD index, CString& name) const
{
    DWORD type;
    return EnumValueName(index, name, type);
}

bool CShdRegKey::EnumValueName260(DWORD index, CString& name, DWORD& type) const
{
    return EnumValueNameFrom(index, kDefaultNameHint, name, type);
}

bool CShdRegKey::EnumValueName260(DWORD index, CString& name) const
{
    DWORD type;
    return EnumValueName260(index, name, type);
}

bool CShdRegKey::EnumValueNameFrom(DWORD index, DWORD nameHint, CString& name, DWORD& type) const
{
    name.Empty();
    type = 0;
    if (!m_key)
        return false;
    bool read = ReadGrowingText(nameHint, name, [&](wchar_t* buffer, DWORD* length) {
        return Registry().EnumValue(m_key, index, buffer, length, nullptr, &type, nullptr, nullptr);
    });
    if (!read)
        type = 0;
    return read;
}

bool CShdRegKey::EnumValue(DWORD index, CString& name, DWORD& type, CShdBinaryBuffer& data) const
{
    return EnumValueFrom(index, kDefaultNameHint, kDefaultDataHint, name, type, data);
}

bool CShdRegKey::EnumValueFrom(DWORD index, DWORD nameHint, DWORD dataHint, CString& name, DWORD& type,
                               CShdBinaryBuffer& data) const
{
    name.Empty();
    type = 0;
    data.SetSize(0); // keeps the block for the next item of a walk
    if (!m_key)
        return false;
    SCapacity nameCapacity(nameHint), dataCapacity(dataHint);
    LONG rc = ERROR_NOT_ENOUGH_MEMORY;
    for (;;) {
        if (!data.SetSize(dataCapacity.capacity)) {
            rc = ERROR_NOT_ENOUGH_MEMORY;
            break;
        }
        DWORD length = nameCapacity.capacity, size = dataCapacity.capacity;
        wchar_t* buffer = name.GetBuffer(static_cast<int>(length));
        rc = Registry().EnumValue(m_key, index, buffer, &length, nullptr, &type, data.GetData(), &size);
        bool fits = nameCapacity.Fits(length) && dataCapacity.Fits(size);
        if (rc == ERROR_SUCCESS && fits) {
            name.ReleaseBuffer(static_cast<int>(length));
            data.SetSize(size);
            return true;
        }
        name.ReleaseBuffer(0);
        if ((rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) || (rc == ERROR_MORE_DATA && fits))
            break;
        if (!nameCapacity.Grow(length) || !dataCapacity.Grow(size)) {
            rc = ERROR_MORE_DATA;
            break;
        }
    }
    name.Empty();
    type = 0;
    data.Free();
    return FailWith(rc == ERROR_SUCCESS ? ERROR_MORE_DATA : rc);
}

bool CShdRegKey::EnumKey(DWORD index, CString& name) const
{
    SInfo info;
    DWORD hint = QueryInfo(info) ? info.maxSubKeyLength : kDefaultNameHint;
    return EnumKeyFrom(index, hint, name);
}

bool CShdRegKey::EnumKey260(DWORD index, CString& name) const
{
    return EnumKeyFrom(index, kDefaultNameHint, name);
}

bool CShdRegKey::EnumKeyFrom(DWORD index, DWORD nameHint, CString& name) const
{
    name.Empty();
    if (!m_key)
        return false;
    return ReadGrowingText(nameHint, name, [&](wchar_t* buffer, DWORD* length) {
        return Registry().EnumKey(m_key, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

CString CShdRegKey::GetClass() const
{
    CString keyClass;
    if (!m_key)
        return keyClass;
    // Starts at exactly 260 characters.
    ReadGrowingText(kDefaultNameHint - 1, keyClass, [&](wchar_t* buffer, DWORD* length) {
        return Registry().QueryInfoKey(m_key, buffer, length, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr);
    });
    return keyClass;
}
