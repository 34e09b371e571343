// The registry back end: the eleven platform registry operations, with Win32 signatures and
// result codes, behind one interface, so that tests can run the product against an in-memory
// registry and benchmarks can count round trips.
//   Registry()                      the back end in force (the real Win32 one by default)
//   CScopedRegistryBackend s(b);    makes b the back end until s goes out of scope
//   backend.CallCount(op)           calls of one operation since the last ResetCounts()
#pragma once

#include <windows.h>

#include <atomic>

class IRegistryBackend
{
public:
    enum EOperation
    {
        OpOpenKey,
        OpCreateKey,
        OpCloseKey,
        OpFlushKey,
        OpQueryValue,
        OpSetValue,
        OpDeleteValue,
        OpDeleteKey,
        OpEnumKey,
        OpEnumValue,
        OpQueryInfoKey,
        OperationCount
    };

    virtual ~IRegistryBackend() = default;

    LONG OpenKey(HKEY parent, const wchar_t* subkey, DWORD options, REGSAM sam, HKEY* result);
    LONG CreateKey(HKEY parent, const wchar_t* subkey, DWORD reserved, const wchar_t* keyClass, DWORD options,
                   REGSAM sam, SECURITY_ATTRIBUTES* security, HKEY* result, DWORD* disposition);
    LONG CloseKey(HKEY key);
    LONG FlushKey(HKEY key);
    LONG QueryValue(HKEY key, const wchar_t* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
    LONG SetValue(HKEY key, const wchar_t* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
    LONG DeleteValue(HKEY key, const wchar_t* name);
    LONG DeleteKey(HKEY parent, const wchar_t* subkey);
    LONG EnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength, DWORD* reserved, wchar_t* keyClass,
                 DWORD* classLength, FILETIME* lastWrite);
    LONG EnumValue(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength, DWORD* reserved, DWORD* type,
                   BYTE* data, DWORD* size);
    LONG QueryInfoKey(HKEY key, wchar_t* keyClass, DWORD* classLength, DWORD* reserved, DWORD* subKeys,
                      DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength,
                      DWORD* maxValueLength, DWORD* securityDescriptor, FILETIME* lastWrite);

    unsigned long CallCount(EOperation op) const { return m_counts[op].load(std::memory_order_relaxed); }
    unsigned long TotalCalls() const;
    void ResetCounts();

protected:
    virtual LONG DoOpenKey(HKEY parent, const wchar_t* subkey, HKEY* result) = 0;
    virtual LONG DoCreateKey(HKEY parent, const wchar_t* subkey, const wchar_t* keyClass, HKEY* result,
                             DWORD* disposition) = 0;
    virtual LONG DoCloseKey(HKEY key) = 0;
    virtual LONG DoFlushKey(HKEY key) = 0;
    virtual LONG DoQueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size) = 0;
    virtual LONG DoSetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD size) = 0;
    virtual LONG DoDeleteValue(HKEY key, const wchar_t* name) = 0;
    virtual LONG DoDeleteKey(HKEY parent, const wchar_t* subkey) = 0;
    virtual LONG DoEnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength) = 0;
    virtual LONG DoEnumValue(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength, DWORD* type, BYTE* data,
                             DWORD* size) = 0;
    struct SKeyInfo
    {
        DWORD subKeys = 0, maxSubKeyLength = 0, maxClassLength = 0, values = 0, maxValueNameLength = 0,
              maxValueLength = 0;
    };
    // Class text into keyClass/classLength as RegQueryInfoKeyW does (keyClass may be null).
    virtual LONG DoQueryInfoKey(HKEY key, wchar_t* keyClass, DWORD* classLength, SKeyInfo& info) = 0;

private:
    void Count(EOperation op) { m_counts[op].fetch_add(1, std::memory_order_relaxed); }
    std::atomic<unsigned long> m_counts[OperationCount] = {};
};

// Forwards to the Win32 registry functions.
class CWin32RegistryBackend : public IRegistryBackend
{
protected:
    LONG DoOpenKey(HKEY parent, const wchar_t* subkey, HKEY* result) override;
    LONG DoCreateKey(HKEY parent, const wchar_t* subkey, const wchar_t* keyClass, HKEY* result,
                     DWORD* disposition) override;
    LONG DoCloseKey(HKEY key) override;
    LONG DoFlushKey(HKEY key) override;
    LONG DoQueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG DoSetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG DoDeleteValue(HKEY key, const wchar_t* name) override;
    LONG DoDeleteKey(HKEY parent, const wchar_t* subkey) override;
    LONG DoEnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength) override;
    LONG DoEnumValue(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength, DWORD* type, BYTE* data,
                     DWORD* size) override;
    LONG DoQueryInfoKey(HKEY key, wchar_t* keyClass, DWORD* classLength, SKeyInfo& info) override;
};

IRegistryBackend& Registry();
CWin32RegistryBackend& Win32Registry();

class CScopedRegistryBackend
{
public:
    explicit CScopedRegistryBackend(IRegistryBackend& backend);
    ~CScopedRegistryBackend();
    CScopedRegistryBackend(const CScopedRegistryBackend&) = delete;
    CScopedRegistryBackend& operator=(const CScopedRegistryBackend&) = delete;

private:
    IRegistryBackend* m_previous;
};
