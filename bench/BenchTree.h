// The benchmark branch: 20,000 keys in three levels (20 x 10 x 100) under a base key, with
// four values each (a string, a dword, 64 bytes of binary and a two-string multi-string),
// 80,000 values in all; plus the bare walk that only opens every key by its full path and
// enumerates its values and subkeys, as the floor any registry walker can reach.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct SBenchTreeSize
{
    int top = 20, middle = 10, leaves = 100; // keys below the base: top * middle * leaves
};

// Writes the branch under root\basePath through the registry back end in force.
bool BuildBenchTree(HKEY root, const wchar_t* basePath, const SBenchTreeSize& size = SBenchTreeSize());

struct SBareWalkResult
{
    unsigned long keys = 0;
    unsigned long values = 0;
    unsigned long long dataBytes = 0;
};

// The names of a key's subkeys, by plain RegEnumKeyExW until it fails.
std::vector<std::wstring> SubkeyNames(HKEY key);

// Plain Win32 calls, no product code: open each key by full path, enumerate values with data
// and subkeys, recurse.
SBareWalkResult BareWalk(HKEY root, const std::wstring& path);

double NowSeconds();
SIZE_T PeakWorkingSetBytes();
