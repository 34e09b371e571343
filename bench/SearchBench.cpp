// Search for a string that matches nothing over the benchmark branch: in memory (CPU and
// registry calls, with and without value data) and on the real registry next to the bare walk.
#include "bench/BenchTree.h"

#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/RootKeys.h"
#include "search/RegFinder.h"

#include <cstdio>

namespace {

const wchar_t kBase[] = L"Software\\HiveletBench\\Search";

struct SRun
{
    double seconds;
    unsigned long calls;
    unsigned long long dataBytesAsked;
};

SRun RunSearch(bool valueData, CMemoryRegistryBackend* memory)
{
    CRegFinder finder;
    SSearchOptions options;
    options.searchString = L"no such text anywhere";
    options.valueData = valueData;
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = kBase;
    start.onlyWithinStartKey = true;
    finder.SetOptions(options, start);
    Registry().ResetCounts();
    if (memory)
        memory->ClearCallLog();
    double begin = NowSeconds();
    finder.Start();
    CRegFinder::SSearchPosition result;
    bool found = finder.GetResult(result);
    SRun run = {NowSeconds() - begin, Registry().TotalCalls(), 0};
    if (memory) {
        for (const auto& call : memory->CallLog())
            run.dataBytesAsked += call.dataCapacity;
    }
    if (found)
        printf("unexpected match\n");
    return run;
}

void Report(const char* label, const SRun& run, unsigned long keys)
{
    printf("%-34s %8.3f s  %9lu registry calls  %6.2f calls/key", label, run.seconds, run.calls,
           static_cast<double>(run.calls) / keys);
    if (run.dataBytesAsked || label[0] == 'm')
        printf("  %llu data bytes asked", run.dataBytesAsked);
    printf("\n");
}

} // namespace

int main()
{
    const unsigned long keys = 20020, values = 80080;
    printf("branch: %lu keys, %lu values\n", keys, values);
    {
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        BuildBenchTree(HKEY_CURRENT_USER, kBase);
        Report("memory, value data on", RunSearch(true, &memory), keys);
        Report("memory, value data off", RunSearch(false, &memory), keys);
    }
    if (!BuildBenchTree(HKEY_CURRENT_USER, kBase)) {
        printf("cannot build the branch in the real registry\n");
        return 1;
    }
    Report("wine registry, value data on", RunSearch(true, nullptr), keys);
    Report("wine registry, value data off", RunSearch(false, nullptr), keys);
    double begin = NowSeconds();
    SBareWalkResult bare = BareWalk(HKEY_CURRENT_USER, kBase);
    printf("%-34s %8.3f s  (%lu keys, %lu values, %llu data bytes)\n", "wine registry, bare walk",
           NowSeconds() - begin, bare.keys, bare.values, bare.dataBytes);
    printf("peak working set: %.1f MB\n", PeakWorkingSetBytes() / 1048576.0);
    DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\HiveletBench");
    return 0;
}
