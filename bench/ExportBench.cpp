// Export of the benchmark branch (20,020 keys, 80,080 values): on the real registry under Wine
// next to the bare walk, with the process's peak working set; then from the in-memory registry
// for the CPU side (MB of output a second) and the registry calls a key and a value.
#include "bench/BenchTree.h"

#include "regfile/RegExporter.h"
#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"

#include <cstdio>

namespace {

const wchar_t kBase[] = L"Software\\HiveletBench\\Export";

struct SRun
{
    bool ok;
    double seconds;
    double megabytes;
};

SRun RunExport(const wchar_t* file, bool unicode)
{
    CRegExporter exporter;
    double begin = NowSeconds();
    bool ok = false;
    if (!exporter.Start(file, false, unicode, HKEY_CURRENT_USER, kBase) || !exporter.Wait(ok))
        ok = false;
    SRun run = {ok, NowSeconds() - begin, 0};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(file, GetFileExInfoStandard, &data))
        run.megabytes =
            (static_cast<double>(data.nFileSizeHigh) * 4294967296.0 + data.nFileSizeLow) / 1048576.0;
    return run;
}

void Report(const char* label, const SRun& run)
{
    printf("%-36s %8.3f s  %7.2f MB  %7.1f MB/s%s\n", label, run.seconds, run.megabytes,
           run.seconds > 0 ? run.megabytes / run.seconds : 0.0, run.ok ? "" : "  FAILED");
}

} // namespace

int main()
{
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    swprintf(file, MAX_PATH, L"%lshivelet_export_bench.reg", folder);

    // Real registry first, so that the peak working set is the export's and not the in-memory
    // registry's.
    if (!BuildBenchTree(HKEY_CURRENT_USER, kBase)) {
        printf("cannot build the branch in the real registry\n");
        return 1;
    }
    printf("peak working set before exporting: %.1f MB\n", PeakWorkingSetBytes() / 1048576.0);
    for (int round = 0; round < 2; ++round) {
        Report("wine registry, export (Unicode)", RunExport(file, true));
        double begin = NowSeconds();
        SBareWalkResult bare = BareWalk(HKEY_CURRENT_USER, kBase);
        printf("%-36s %8.3f s  (%lu keys, %lu values)\n", "wine registry, bare walk", NowSeconds() - begin,
               bare.keys, bare.values);
    }
    printf("peak working set after exporting:  %.1f MB\n", PeakWorkingSetBytes() / 1048576.0);
    DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\HiveletBench");

    CMemoryRegistryBackend memory;
    CScopedRegistryBackend scope(memory);
    BuildBenchTree(HKEY_CURRENT_USER, kBase);
    for (int round = 0; round < 3; ++round) {
        Report("memory, export (Unicode)", RunExport(file, true));
        Report("memory, export (ANSI)", RunExport(file, false));
    }
    memory.ResetCounts();
    RunExport(file, true);
    unsigned long opens = memory.CallCount(IRegistryBackend::OpOpenKey);
    unsigned long closes = memory.CallCount(IRegistryBackend::OpCloseKey);
    unsigned long enumValues = memory.CallCount(IRegistryBackend::OpEnumValue);
    unsigned long enumKeys = memory.CallCount(IRegistryBackend::OpEnumKey);
    unsigned long total = memory.TotalCalls();
    // One RegQueryInfoKeyW a key bounds both walks: no call ends an enumeration.
    const unsigned long kKeys = opens, kValues = enumValues; // every key once, base included
    printf("branch: %lu keys, %lu values\n", kKeys, kValues);
    printf("registry calls: %lu in all (open %lu, close %lu, enum value %lu, enum key %lu, other %lu)\n",
           total, opens, closes, enumValues, enumKeys, total - opens - closes - enumValues - enumKeys);
    printf("  per key: open %.3f, close %.3f, enum key %.3f (as a subkey of its parent), query info %.3f\n",
           static_cast<double>(opens) / kKeys, static_cast<double>(closes) / kKeys,
           static_cast<double>(enumKeys) / kKeys,
           static_cast<double>(total - opens - closes - enumValues - enumKeys) / kKeys);
    printf("  %.3f calls a key (4 at most) and %.3f a value (1 at most)\n",
           static_cast<double>(total - enumValues) / kKeys, static_cast<double>(enumValues) / kValues);
    DeleteFileW(file);
    return 0;
}
