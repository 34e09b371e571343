// Benchmark branch generator and the bare registry walk.
#include "bench/BenchTree.h"

#include "registry/ShdRegKey.h"

#include <psapi.h>

#include <cstdio>
#include <vector>

namespace {

bool WriteLeafValues(CShdRegKey& key, int serial)
{
    wchar_t text[64];
    swprintf(text, 64, L"value text number %d", serial);
    BYTE binary[64];
    for (int i = 0; i < 64; ++i)
        binary[i] = static_cast<BYTE>(serial + i);
    const wchar_t multi[] = L"first\0second\0";
    return key.SetString(L"Name", text) && key.SetDword(L"Count", static_cast<DWORD>(serial)) &&
           key.SetValue(L"Blob", REG_BINARY, binary, sizeof(binary)) &&
           key.SetValue(L"List", REG_MULTI_SZ, multi, sizeof(multi));
}

} // namespace

bool BuildBenchTree(HKEY root, const wchar_t* basePath, const SBenchTreeSize& size)
{
    CShdRegKey base;
    if (!base.Create(root, basePath))
        return false;
    int serial = 0;
    for (int t = 0; t < size.top; ++t) {
        wchar_t topName[32];
        swprintf(topName, 32, L"Group%02d", t);
        CShdRegKey top;
        if (!top.Create(base.GetHandle(), topName) || !WriteLeafValues(top, serial++))
            return false;
        for (int m = 0; m < size.middle; ++m) {
            wchar_t middleName[32];
            swprintf(middleName, 32, L"Section%02d", m);
            CShdRegKey middle;
            if (!middle.Create(top.GetHandle(), middleName) || !WriteLeafValues(middle, serial++))
                return false;
            for (int l = 0; l < size.leaves - 1; ++l) {
                wchar_t leafName[32];
                swprintf(leafName, 32, L"Item%03d", l);
                CShdRegKey leaf;
                if (!leaf.Create(middle.GetHandle(), leafName) || !WriteLeafValues(leaf, serial++))
                    return false;
            }
        }
    }
    return true;
}

std::vector<std::wstring> SubkeyNames(HKEY key)
{
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLength = 512;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    return names;
}

SBareWalkResult BareWalk(HKEY root, const std::wstring& path)
{
    SBareWalkResult result;
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return result;
    result.keys = 1;
    std::vector<BYTE> data(64 * 1024);
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLength = 512, type, size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        ++result.values;
        result.dataBytes += size;
    }
    std::vector<std::wstring> subkeys = SubkeyNames(key);
    RegCloseKey(key);
    for (const std::wstring& name : subkeys) {
        SBareWalkResult child = BareWalk(root, path + L"\\" + name);
        result.keys += child.keys;
        result.values += child.values;
        result.dataBytes += child.dataBytes;
    }
    return result;
}

double NowSeconds()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

SIZE_T PeakWorkingSetBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}
