// Platform type and version, asked once of the platform layer.
#include "shd/DeviceInfo.h"

#include "platform/PlatformInfo.h"

#include <cwchar>

namespace {

struct SDeviceInfo
{
    bool known = false;
    bool smartphone = false;
    int version = 0x0300;
};

int ToBcd(unsigned value)
{
    if (value > 99)
        value = 99;
    return int((value / 10) << 4 | (value % 10));
}

SDeviceInfo& Info()
{
    static SDeviceInfo info;
    if (info.known)
        return info;
    info.known = true;
    wchar_t type[64] = L"";
    info.smartphone = PlatformSystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(type), type, 0) &&
                      _wcsicmp(type, L"Smartphone") == 0;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    info.version = PlatformGetVersionExW(&version)
                       ? EncodeOsVersion(version.dwMajorVersion, version.dwMinorVersion)
                       : 0x0300;
    return info;
}

} // namespace

bool IsSmartphone()
{
    return Info().smartphone;
}

int GetOsVersion()
{
    return Info().version;
}

int EncodeOsVersion(unsigned major, unsigned minor)
{
    return ToBcd(major) << 8 | ToBcd(minor);
}

void ResetDeviceInfo()
{
    Info().known = false;
}
