// Platform tests: IsSmartphone (the platform type is "Smartphone") and GetOsVersion (major and
// minor version as two BCD bytes: 4.20 is 0x0420, 5.1 is 0x0501; 0x0300 when unknown). Both
// are computed once; ResetDeviceInfo makes the next call ask the platform again (tests).
#pragma once

bool IsSmartphone();
int GetOsVersion();
// Each part limited to 99.
int EncodeOsVersion(unsigned major, unsigned minor);
void ResetDeviceInfo();
