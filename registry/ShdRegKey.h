// CShdRegKey: owns one open registry key; every registry read and write of the program goes
// through it (and through the back end in force, Registry()).
//   CShdRegKey key(flushOnClose);  key.Open(parent, path) / key.Create(parent, path, cls)
//   Typed reads fail on a wrong type or size; names and data of any length are read whole by a
//   growing read. Closing flushes first when asked to (explicitly or by flushOnClose).
//   Every operation on a closed object fails without calling the registry.
#pragma once

#include "registry/ShdBinaryBuffer.h"
#include "shd/String.h"

#include <windows.h>

class CShdRegKey
{
public:
    explicit CShdRegKey(bool flushOnClose = false) : m_flushOnClose(flushOnClose) {}
    virtual ~CShdRegKey();
    CShdRegKey(const CShdRegKey&) = delete;
    CShdRegKey& operator=(const CShdRegKey&) = delete;

    bool Open(HKEY parent, const wchar_t* path);
    bool Create(HKEY parent, const wchar_t* path, const wchar_t* keyClass = nullptr);
    void Close(bool flush);
    void Close() { Close(m_flushOnClose); }
    HKEY GetHandle() const { return m_key; }
    bool IsOpen() const { return m_key != nullptr; }

    bool QueryString(const wchar_t* name, CString& text) const;
    CString GetString(const wchar_t* name, const wchar_t* defaultText) const;
    bool SetString(const wchar_t* name, const wchar_t* text);
    bool QueryDword(const wchar_t* name, DWORD& number) const;
    DWORD GetDword(const wchar_t* name, DWORD defaultNumber) const;
    bool GetBool(const wchar_t* name, bool defaultValue) const;
    bool SetDword(const wchar_t* name, DWORD number);
    bool QueryValue(const wchar_t* name, DWORD& type, CShdBinaryBuffer& data) const;
    bool SetValue(const wchar_t* name, DWORD type, const CShdBinaryBuffer& data);
    bool SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size);
    bool QueryValueType(const wchar_t* name, DWORD& type) const;
    bool ValueExists(const wchar_t* name) const;
    bool DeleteValue(const wchar_t* name);

    DWORD GetValueCount() const;
    DWORD GetSubKeyCount() const;
    // Both counts in one registry call; false (and 0, 0) when the key is closed or the query
    // fails, which the counts alone cannot tell from an empty key.
    bool QueryCounts(DWORD& subKeys, DWORD& values) const;
    // The enumerations leave the registry's answer for GetLastError when they fail:
    // ERROR_NO_MORE_ITEMS past the last item, another code for one item that cannot be read.
    // Name capacity starts at the key's longest value name (one more registry call) ...
    bool EnumValueName(DWORD index, CString& name, DWORD& type) const;
    bool EnumValueName(DWORD index, CString& name) const;
    // ... or at 260 characters.
    bool EnumValueName260(DWORD index, CString& name, DWORD& type) const;
    bool EnumValueName260(DWORD index, CString& name) const;
    bool EnumValue(DWORD index, CString& name, DWORD& type, CShdBinaryBuffer& data) const;
    bool EnumKey(DWORD index, CString& name) const;
    bool EnumKey260(DWORD index, CString& name) const;
    CString GetClass() const;

    // RegQueryInfoKeyW's counts and longest name (characters) and data (bytes), in one call.
    struct SInfo
    {
        DWORD subKeys = 0, maxSubKeyLength = 0, values = 0, maxValueNameLength = 0, maxValueLength = 0;
    };
    bool QueryInfo(SInfo& info) const;
    // The enumerations with capacities from QueryInfo, so that a walk reads each item in one
    // call; they still grow when an item has outgrown them since.
    bool EnumKeyFrom(DWORD index, DWORD nameHint, CString& name) const;
    bool EnumValueNameFrom(DWORD index, DWORD nameHint, CString& name, DWORD& type) const;
    bool EnumValueFrom(DWORD index, DWORD nameHint, DWORD dataHint, CString& name, DWORD& type,
                       CShdBinaryBuffer& data) const;

private:
    bool ReadData(const wchar_t* name, DWORD sizeHint, DWORD& type, CShdBinaryBuffer& data) const;

    HKEY m_key = nullptr;
    const bool m_flushOnClose;
};

// Walks the items 0 to count - 1 of a key by index; read(index) reads one and returns true when
// it was read. An item that cannot be read is stepped over (its read leaves another code than
// ERROR_NO_MORE_ITEMS for GetLastError); ERROR_NO_MORE_ITEMS, a key that lost items since it
// was counted, ends the walk.
template <class Read> void WalkKeyItems(DWORD count, Read read)
{
    for (DWORD index = 0; index < count; ++index) {
        if (!read(index) && GetLastError() == ERROR_NO_MORE_ITEMS)
            return;
    }
}
