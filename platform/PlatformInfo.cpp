// Platform type and version with environment and test overrides.
#include "platform/PlatformInfo.h"

#include <cstdlib>
#include <cwchar>

namespace {

struct SOverrides
{
    bool hasType = false;
    wchar_t type[64] = L"";
    bool hasVersion = false;
    DWORD major = 0;
    DWORD minor = 0;
    bool fail = false;
};

SOverrides& Overrides()
{
    static SOverrides overrides;
    return overrides;
}

bool ReadEnvironment(const wchar_t* name, wchar_t* buffer, DWORD count)
{
    DWORD length = GetEnvironmentVariableW(name, buffer, count);
    return length > 0 && length < count;
}

// "4.20" gives 4 and 20; anything else leaves the version alone.
bool ParseVersion(const wchar_t* text, DWORD& major, DWORD& minor)
{
    wchar_t* end = nullptr;
    unsigned long high = wcstoul(text, &end, 10);
    if (end == text || *end != L'.')
        return false;
    const wchar_t* rest = end + 1;
    unsigned long low = wcstoul(rest, &end, 10);
    if (end == rest || *end != 0)
        return false;
    major = high;
    minor = low;
    return true;
}

} // namespace

BOOL PlatformSystemParametersInfoW(UINT action, UINT uiParam, void* pvParam, UINT winIni)
{
    if (action != SPI_GETPLATFORMTYPE)
        return SystemParametersInfoW(action, uiParam, pvParam, winIni);
    const SOverrides& overrides = Overrides();
    if (overrides.fail || !pvParam)
        return FALSE;
    wchar_t type[64] = L"PocketPC";
    if (overrides.hasType)
        wcscpy(type, overrides.type);
    else
        ReadEnvironment(L"HIVELET_PLATFORM", type, 64);
    UINT needed = UINT((wcslen(type) + 1) * sizeof(wchar_t));
    if (uiParam < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(pvParam, type, needed);
    return TRUE;
}

BOOL PlatformGetVersionExW(OSVERSIONINFOW* info)
{
    const SOverrides& overrides = Overrides();
    if (overrides.fail || !info)
        return FALSE;
    if (!GetVersionExW(info))
        return FALSE;
    DWORD major = 0, minor = 0;
    wchar_t text[32];
    if (overrides.hasVersion) {
        info->dwMajorVersion = overrides.major;
        info->dwMinorVersion = overrides.minor;
    } else if (ReadEnvironment(L"HIVELET_OSVERSION", text, 32) && ParseVersion(text, major, minor)) {
        info->dwMajorVersion = major;
        info->dwMinorVersion = minor;
    }
    return TRUE;
}

void OverridePlatformType(const wchar_t* type)
{
    SOverrides& overrides = Overrides();
    overrides.hasType = type != nullptr;
    if (type)
        wcsncpy(overrides.type, type, 63);
}

void OverridePlatformVersion(DWORD major, DWORD minor)
{
    Overrides().hasVersion = true;
    Overrides().major = major;
    Overrides().minor = minor;
}

void FailPlatformQueries(bool fail)
{
    Overrides().fail = fail;
}

void ClearPlatformOverrides()
{
    Overrides() = SOverrides();
}
