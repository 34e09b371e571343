// Registry round trips and time of CopyKeyTree and DeleteKeyTree on the benchmark branch, in
// memory (CPU side) and against the real registry (Wine: every call a server round trip), plus
// the in-memory cost of writing and reading back one key with many values.
#include "bench/BenchTree.h"

#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"

#include <cstdio>

namespace {

const wchar_t kBase[] = L"Software\\HiveletBench\\KeyTree";

void Measure(const char* label, const SBenchTreeSize& size)
{
    CString source = CString(kBase) + L"\\src", target = CString(kBase) + L"\\dst";
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    if (!BuildBenchTree(HKEY_CURRENT_USER, source, size)) {
        printf("%s: building the branch failed\n", label);
        return;
    }
    Registry().ResetCounts();
    double begin = NowSeconds();
    bool copied = CopyKeyTree(HKEY_CURRENT_USER, source, HKEY_CURRENT_USER, target);
    double copySeconds = NowSeconds() - begin;
    unsigned long copyCalls = Registry().TotalCalls();
    Registry().ResetCounts();
    begin = NowSeconds();
    bool deleted = DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    double deleteSeconds = NowSeconds() - begin;
    unsigned long deleteCalls = Registry().TotalCalls();
    int keys = size.top * size.middle * size.leaves;
    printf("%s, %d keys x 4 values: copy %s %.2f s, %lu calls (%.1f per key); delete %s %.2f s, %lu calls "
           "(%.1f per key)\n",
           label, keys, copied ? "ok" : "FAILED", copySeconds, copyCalls, copyCalls / double(keys),
           deleted ? "ok" : "FAILED", deleteSeconds, deleteCalls, deleteCalls / double(keys));
}

void ManyValues(int count)
{
    CMemoryRegistryBackend memory;
    CScopedRegistryBackend scope(memory);
    CShdRegKey key;
    key.Create(HKEY_CURRENT_USER, L"Many");
    double begin = NowSeconds();
    CString name;
    for (int i = 0; i < count; ++i) {
        name.Format(L"value %d", (i * 7919) % count);
        key.SetDword(name, static_cast<DWORD>(i));
    }
    double writeSeconds = NowSeconds() - begin;
    begin = NowSeconds();
    DWORD type = 0;
    for (DWORD i = 0; key.EnumValueName(i, name, type); ++i)
        key.GetDword(name, 0);
    printf("memory, one key with %d values: write %.3f s, enumerate by name hint and read back %.3f s\n",
           count, writeSeconds, NowSeconds() - begin);
}

} // namespace

int main()
{
    {
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        Measure("memory", SBenchTreeSize());
    }
    SBenchTreeSize small;
    small.top = 5;
    small.middle = 4;
    small.leaves = 25;
    Measure("Win32 registry", small);
    ManyValues(20000);
    return 0;
}
