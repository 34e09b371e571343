// "Find All" in the find results window over the benchmark branch in Wine's registry, with a
// pattern in the string data of about 1,100 values ("number 7": 7, 70-79, 700-799, 7000-7999):
// time to the last row and rows per second, next to the engine alone stepping over the same
// branch; and, in a second run, the longest time a message sent to the window waits while rows
// arrive.
#include "bench/BenchTree.h"

#include "registry/KeyTree.h"
#include "registry/RootKeys.h"
#include "search/FindResultsWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

const wchar_t kBase[] = L"Software\\HiveletBench\\FindAll";

SSearchOptions Options()
{
    SSearchOptions options;
    options.searchString = L"number 7";
    return options;
}

CRegFinder::SStartPosition Branch()
{
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = kBase;
    start.onlyWithinStartKey = true;
    return start;
}

class CDoneCallback : public CFindResultsWnd::ICallback
{
public:
    void OnSearchStateChanged() override
    {
        if (!window->IsSearchActive())
            endSeconds = NowSeconds();
    }
    void OnShowFoundItem(DWORD, const CString&, const CString&, bool) override {}
    CFindResultsWnd* window = nullptr;
    double endSeconds = 0;
};

// Sends WM_NULL to the window every 5 ms and keeps the longest wait for an answer.
struct SProbe
{
    HWND window;
    std::atomic<bool> stop{false};
    std::atomic<long> worstMicroseconds{0};
    std::atomic<long> probes{0};
    std::atomic<long> slowProbes{0}; // over 50 ms

    void Reset()
    {
        worstMicroseconds = 0;
        probes = 0;
        slowProbes = 0;
    }
    void Report(const char* label) const
    {
        printf("%-30s %8.1f ms; %ld of %ld probes over 50 ms\n", label, worstMicroseconds / 1000.0,
               slowProbes.load(), probes.load());
    }
};

DWORD WINAPI ProbeThread(void* parameter)
{
    SProbe* probe = static_cast<SProbe*>(parameter);
    while (!probe->stop) {
        double begin = NowSeconds();
        DWORD_PTR result;
        SendMessageTimeoutW(probe->window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        long waited = static_cast<long>((NowSeconds() - begin) * 1e6);
        if (waited > probe->worstMicroseconds)
            probe->worstMicroseconds = waited;
        if (waited > 50000)
            ++probe->slowProbes;
        ++probe->probes;
        Sleep(5);
    }
    return 0;
}

double RunEngineAlone()
{
    CRegFinder finder;
    finder.SetOptions(Options(), Branch());
    double begin = NowSeconds();
    int matches = 0;
    CRegFinder::SSearchPosition result;
    while (finder.Start() && finder.GetResult(result))
        ++matches;
    double seconds = NowSeconds() - begin;
    printf("%-30s %8.3f s  %6d matches  %8.1f matches/s\n", "engine alone, step by step", seconds, matches,
           matches / seconds);
    return seconds;
}

// Timed alone, then again with a thread that sends the window a message every 5 ms and keeps
// the longest wait (on one CPU that thread's own work would count against the rows).
double RunFindAll(bool probing)
{
    CShdWnd parent;
    CFindResultsWnd results;
    CDoneCallback callback;
    callback.window = &results;
    if (!parent.Create(0, nullptr, L"", WS_POPUP, 0, 0, 240, 300, nullptr, 0, nullptr) ||
        !results.Create(parent.GetHwnd(), 105, 0, 0, 240, 280)) {
        printf("cannot create the window\n");
        return 0;
    }
    ShowWindow(results.GetHwnd(), SW_SHOW);
    results.SetCallback(&callback);
    SProbe probe;
    probe.window = results.GetHwnd();
    HANDLE thread = probing ? CreateThread(nullptr, 0, ProbeThread, &probe, 0, nullptr) : nullptr;
    MSG message;
    if (thread) {
        // Two idle seconds first: the floor the machine itself gives.
        SetTimer(nullptr, 0, 2000, nullptr);
        while (GetMessageW(&message, nullptr, 0, 0) > 0 && !(message.message == WM_TIMER && !message.hwnd))
            DispatchMessageW(&message);
        probe.Report("idle: longest message wait");
        probe.Reset();
    }
    double begin = NowSeconds();
    results.StartSearch(Options(), Branch());
    while (results.IsSearchActive() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    double seconds = callback.endSeconds - begin;
    int rows = static_cast<int>(SendMessageW(results.GetListHwnd(), LVM_GETITEMCOUNT, 0, 0));
    if (!thread) {
        printf("%-30s %8.3f s  %6d rows     %8.1f rows/s\n", "Find All, time to last row", seconds, rows,
               rows / seconds);
        return seconds;
    }
    probe.stop = true;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    CloseHandle(thread);
    printf("%-30s %8.3f s  %6d rows (with the probe)\n", "Find All, time to last row", seconds, rows);
    probe.Report("rows arriving: longest wait");
    return seconds;
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (!BuildBenchTree(HKEY_CURRENT_USER, kBase)) {
        printf("cannot build the branch in the real registry\n");
        return 1;
    }
    printf("branch: 20020 keys, 80080 values; pattern \"number 7\" in string data\n");
    // Alternating runs: this machine's registry calls vary by a tenth from one run to the next.
    std::vector<double> engine, findAll;
    for (int i = 0; i < 3; ++i) {
        engine.push_back(RunEngineAlone());
        findAll.push_back(RunFindAll(false));
    }
    std::sort(engine.begin(), engine.end());
    std::sort(findAll.begin(), findAll.end());
    printf("medians of 3: Find All %.3f s, engine alone %.3f s: Find All's rows per second %.2f x the "
           "engine's\n",
           findAll[1], engine[1], findAll[1] > 0 ? engine[1] / findAll[1] : 0.0);
    RunFindAll(true);
    printf("peak working set: %.1f MB\n", PeakWorkingSetBytes() / 1048576.0);
    DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\HiveletBench");
    return 0;
}
