// The device's platform type and operating-system version, as the handheld reports them.
// The desktop is a "PocketPC" with the desktop's version; both can be overridden, by the
// environment (HIVELET_PLATFORM=Smartphone, HIVELET_OSVERSION=4.20) or in-process by tests.
#pragma once

#include <windows.h>

#ifndef SPI_GETPLATFORMTYPE
#define SPI_GETPLATFORMTYPE 257
#endif

// SystemParametersInfoW, answering SPI_GETPLATFORMTYPE as the device does (a string of at
// most uiParam bytes into pvParam); other actions go to the desktop's call.
BOOL PlatformSystemParametersInfoW(UINT action, UINT uiParam, void* pvParam, UINT winIni);
// GetVersionExW with the overridden major and minor version where one is set.
BOOL PlatformGetVersionExW(OSVERSIONINFOW* info);

// Test overrides; they win over the environment. nullptr / ClearPlatformOverrides undo them.
void OverridePlatformType(const wchar_t* type);
void OverridePlatformVersion(DWORD major, DWORD minor);
// Makes both queries fail, as on a device that cannot answer them.
void FailPlatformQueries(bool fail);
void ClearPlatformOverrides();
