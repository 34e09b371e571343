// Counting front of the back-end interface, the Win32 back end and the current-back-end switch.
#include "registry/RegistryBackend.h"

namespace {

IRegistryBackend*& Current()
{
    static IRegistryBackend* current = &Win32Registry();
    return current;
}

} // namespace

LONG IRegistryBackend::OpenKey(HKEY parent, const wchar_t* subkey, DWORD, REGSAM, HKEY* result)
{
    Count(OpOpenKey);
    return DoOpenKey(parent, subkey, result);
}

LONG IRegistryBackend::CreateKey(HKEY parent, const wchar_t* subkey, DWORD, const wchar_t* keyClass, DWORD,
                                 REGSAM, SECURITY_ATTRIBUTES*, HKEY* result, DWORD* disposition)
{
    Count(OpCreateKey);
    return DoCreateKey(parent, subkey, keyClass, result, disposition);
}

LONG IRegistryBackend::CloseKey(HKEY key)
{
    Count(OpCloseKey);
    return DoCloseKey(key);
}

LONG IRegistryBackend::FlushKey(HKEY key)
{
    Count(OpFlushKey);
    return DoFlushKey(key);
}

LONG IRegistryBackend::QueryValue(HKEY key, const wchar_t* name, DWORD*, DWORD* type, BYTE* data, DWORD* size)
{
    Count(OpQueryValue);
    return DoQueryValue(key, name, type, data, size);
}

LONG IRegistryBackend::SetValue(HKEY key, const wchar_t* name, DWORD, DWORD type, const BYTE* data,
                                DWORD size)
{
    Count(OpSetValue);
    return DoSetValue(key, name, type, data, size);
}

LONG IRegistryBackend::DeleteValue(HKEY key, const wchar_t* name)
{
    Count(OpDeleteValue);
    return DoDeleteValue(key, name);
}

LONG IRegistryBackend::DeleteKey(HKEY parent, const wchar_t* subkey)
{
    Count(OpDeleteKey);
    return DoDeleteKey(parent, subkey);
}

LONG IRegistryBackend::EnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength, DWORD*, wchar_t*,
                               DWORD*, FILETIME*)
{
    Count(OpEnumKey);
    return DoEnumKey(key, index, name, nameLength);
}

LONG IRegistryBackend::EnumValue(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength, DWORD*, DWORD* type,
                                 BYTE* data, DWORD* size)
{
    Count(OpEnumValue);
    return DoEnumValue(key, index, name, nameLength, type, data, size);
}

LONG IRegistryBackend::QueryInfoKey(HKEY key, wchar_t* keyClass, DWORD* classLength, DWORD*, DWORD* subKeys,
                                    DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values,
                                    DWORD* maxValueNameLength, DWORD* maxValueLength, DWORD*, FILETIME*)
{
    Count(OpQueryInfoKey);
    SKeyInfo info;
    LONG rc = DoQueryInfoKey(key, keyClass, classLength, info);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (subKeys)
        *subKeys = info.subKeys;
    if (maxSubKeyLength)
        *maxSubKeyLength = info.maxSubKeyLength;
    if (maxClassLength)
        *maxClassLength = info.maxClassLength;
    if (values)
        *values = info.values;
    if (maxValueNameLength)
        *maxValueNameLength = info.maxValueNameLength;
    if (maxValueLength)
        *maxValueLength = info.maxValueLength;
    return rc;
}

unsigned long IRegistryBackend::TotalCalls() const
{
    unsigned long total = 0;
    for (int op = 0; op < OperationCount; ++op)
        total += CallCount(static_cast<EOperation>(op));
    return total;
}

void IRegistryBackend::ResetCounts()
{
    for (auto& count : m_counts)
        count.store(0, std::memory_order_relaxed);
}

// ---- Win32 ------------------------------------------------------------------
// The handheld registry ignores access masks; on the desktop a key opened with none could not
// be read or written, so the real back end asks for what the account is allowed.

LONG CWin32RegistryBackend::DoOpenKey(HKEY parent, const wchar_t* subkey, HKEY* result)
{
    return RegOpenKeyExW(parent, subkey, 0, MAXIMUM_ALLOWED, result);
}

LONG CWin32RegistryBackend::DoCreateKey(HKEY parent, const wchar_t* subkey, const wchar_t* keyClass,
                                        HKEY* result, DWORD* disposition)
{
    return RegCreateKeyExW(parent, subkey, 0, const_cast<wchar_t*>(keyClass), 0, MAXIMUM_ALLOWED, nullptr,
                           result, disposition);
}

LONG CWin32RegistryBackend::DoCloseKey(HKEY key)
{
    return RegCloseKey(key);
}

LONG CWin32RegistryBackend::DoFlushKey(HKEY key)
{
    return RegFlushKey(key);
}

LONG CWin32RegistryBackend::DoQueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size)
{
    return RegQueryValueExW(key, name, nullptr, type, data, size);
}

LONG CWin32RegistryBackend::DoSetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data,
                                       DWORD size)
{
    return RegSetValueExW(key, name, 0, type, data, size);
}

LONG CWin32RegistryBackend::DoDeleteValue(HKEY key, const wchar_t* name)
{
    return RegDeleteValueW(key, name);
}

LONG CWin32RegistryBackend::DoDeleteKey(HKEY parent, const wchar_t* subkey)
{
    return RegDeleteKeyW(parent, subkey);
}

LONG CWin32RegistryBackend::DoEnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength)
{
    return RegEnumKeyExW(key, index, name, nameLength, nullptr, nullptr, nullptr, nullptr);
}

LONG CWin32RegistryBackend::DoEnumValue(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength, DWORD* type,
                                        BYTE* data, DWORD* size)
{
    return RegEnumValueW(key, index, name, nameLength, nullptr, type, data, size);
}

LONG CWin32RegistryBackend::DoQueryInfoKey(HKEY key, wchar_t* keyClass, DWORD* classLength, SKeyInfo& info)
{
    return RegQueryInfoKeyW(key, keyClass, classLength, nullptr, &info.subKeys, &info.maxSubKeyLength,
                            &info.maxClassLength, &info.values, &info.maxValueNameLength,
                            &info.maxValueLength, nullptr, nullptr);
}

CWin32RegistryBackend& Win32Registry()
{
    static CWin32RegistryBackend backend;
    return backend;
}

IRegistryBackend& Registry()
{
    return *Current();
}

CScopedRegistryBackend::CScopedRegistryBackend(IRegistryBackend& backend) : m_previous(Current())
{
    Current() = &backend;
}

CScopedRegistryBackend::~CScopedRegistryBackend()
{
    Current() = m_previous;
}
