// The bare walk as a program of its own: hivelet_bare_enum [HKCU subkey path].
#include "bench/BenchTree.h"

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    std::wstring path = argc > 1 ? argv[1] : L"Software\\HiveletBench";
    double begin = NowSeconds();
    SBareWalkResult result = BareWalk(HKEY_CURRENT_USER, path);
    printf("bare walk: %.3f s, %lu keys, %lu values, %llu data bytes\n", NowSeconds() - begin, result.keys,
           result.values, result.dataBytes);
    return 0;
}
