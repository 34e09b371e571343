// Hivelet.exe beside Wine's own regedit, both driven from this process as a user's clicks would
// (a synchronous TVM_SELECTITEM or TVM_EXPAND sent to the program's tree, its rows then counted),
// on the same keys of one Wine registry, runs alternating between the two programs: start-up,
// selecting a key with 5,000 values, expanding a key with 20,000 subkeys, command-line export
// and import of a 20,020-key branch and export of a tiny key. Prints medians, ratios and the
// floors measured here with plain Win32 calls, this process's own controls and this program run
// as a process that only shows a window (/window). A second
// Hivelet.exe (an earlier build) can run alongside for today's figures beside the new ones.
//   peer_bench.exe <Hivelet.exe> [runs] [Hivelet.exe of before]
#include "bench/BenchTree.h"
#include "tests/support/RemoteControls.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const wchar_t kBase[] = L"Software\\HiveletPeerBench";
const wchar_t kFullBase[] = L"HKEY_CURRENT_USER\\Software\\HiveletPeerBench";
const int kValues = 5000;
const int kSubkeys = 20000;
const DWORD kLimitMs = 300000;

using Seconds = std::vector<double>;

double Median(Seconds times)
{
    if (times.empty())
        return 0;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::wstring Sub(const wchar_t* name)
{
    return std::wstring(kBase) + L"\\" + name;
}

// --- the hives -------------------------------------------------------------------------------

bool SetValue(HKEY key, const std::wstring& name, DWORD type, const void* data, DWORD size)
{
    return RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

// 5,000 values of every kind: strings, expandable strings, multi-strings, dwords, binary data
// of up to 300 bytes, REG_NONE and a big-endian dword.
bool BuildValues(HKEY key)
{
    BYTE bytes[300];
    for (int i = 0; i < 300; ++i)
        bytes[i] = BYTE(i * 7);
    for (int i = 0; i < kValues; ++i) {
        wchar_t name[32], text[64];
        swprintf(name, 32, L"value %05d", i);
        swprintf(text, 64, L"text of value %d", i);
        DWORD size = DWORD((wcslen(text) + 1) * sizeof(wchar_t)), number = DWORD(i);
        bool ok = true;
        switch (i % 7) {
        case 0:
            ok = SetValue(key, name, REG_SZ, text, size);
            break;
        case 1:
            ok = SetValue(key, name, REG_EXPAND_SZ, text, size);
            break;
        case 2:
            ok = SetValue(key, name, REG_MULTI_SZ, text, size);
            break;
        case 3:
            ok = SetValue(key, name, REG_DWORD, &number, 4);
            break;
        case 4:
            ok = SetValue(key, name, REG_BINARY, bytes, DWORD(i % 300));
            break;
        case 5:
            ok = SetValue(key, name, REG_NONE, bytes, 8);
            break;
        default:
            ok = SetValue(key, name, REG_DWORD_BIG_ENDIAN, bytes, 4);
            break;
        }
        if (!ok)
            return false;
    }
    return true;
}

// 20,000 subkeys; every tenth has subkeys of its own.
bool BuildKeys(HKEY key)
{
    for (int i = 0; i < kSubkeys; ++i) {
        wchar_t name[48];
        swprintf(name, 48, i % 10 ? L"key %05d" : L"key %05d\\inner", i);
        HKEY child = nullptr;
        if (RegCreateKeyExW(key, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(child);
    }
    return true;
}

bool BuildHives()
{
    HKEY base = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kBase, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &base, nullptr) !=
        ERROR_SUCCESS)
        return false;
    DWORD built = 0, size = sizeof(built);
    bool ready = RegQueryValueExW(base, L"built", nullptr, nullptr, reinterpret_cast<BYTE*>(&built), &size) ==
                     ERROR_SUCCESS &&
                 built == 1;
    if (!ready) {
        printf("making the hives (once per prefix) ...\n");
        HKEY values = nullptr, keys = nullptr, tiny = nullptr;
        bool ok = RegCreateKeyExW(base, L"Values", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &values,
                                  nullptr) == ERROR_SUCCESS &&
                  BuildValues(values);
        ok = ok &&
             RegCreateKeyExW(base, L"Keys", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &keys, nullptr) ==
                 ERROR_SUCCESS &&
             BuildKeys(keys);
        ok = ok &&
             RegCreateKeyExW(base, L"Tiny", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &tiny, nullptr) ==
                 ERROR_SUCCESS &&
             SetValue(tiny, L"one", REG_SZ, L"x", 4);
        ok = ok && BuildBenchTree(HKEY_CURRENT_USER, Sub(L"Export").c_str());
        built = 1;
        ok = ok && SetValue(base, L"built", REG_DWORD, &built, 4);
        RegCloseKey(values);
        RegCloseKey(keys);
        RegCloseKey(tiny);
        if (!ok) {
            RegCloseKey(base);
            return false;
        }
    }
    RegCloseKey(base);
    return true;
}

// Neither program restores a key it showed last time: both start on their roots.
void ForgetLastPositions()
{
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit",
                       L"LastKey");
    const wchar_t settings[] = L"SOFTWARE\\Ordwyn\\Keyhaven\\Settings";
    for (const wchar_t* name : {L"LastPositionRoot", L"LastPositionKeyName", L"LastPositionValueName",
                                L"LastPositionValueSelected"})
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, settings, name);
}

// --- the programs ----------------------------------------------------------------------------

struct SProgram
{
    const char* label;
    std::wstring exe;
    bool hivelet;
};

struct SRunning
{
    PROCESS_INFORMATION process = {};
    HWND main = nullptr, tree = nullptr, list = nullptr;
};

bool Start(const std::wstring& commandLine, PROCESS_INFORMATION& process)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::wstring line = commandLine;
    return CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != FALSE;
}

bool WaitExit(PROCESS_INFORMATION& process, DWORD limitMs)
{
    bool ended = WaitForSingleObject(process.hProcess, limitMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process.hProcess, 3);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = {};
    return ended;
}

HWND FindChildOfClass(HWND parent, const wchar_t* className)
{
    struct SFind
    {
        const wchar_t* className;
        HWND found;
    } find = {className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<SFind*>(data);
            wchar_t name[64] = L"";
            GetClassNameW(child, name, 64);
            if (_wcsicmp(name, f->className) != 0)
                return TRUE;
            f->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// The visible top-level window of the process that holds a tree and a list.
bool FindViews(SRunning& running)
{
    struct SFind
    {
        SRunning* running;
    } find = {&running};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            SRunning* r = reinterpret_cast<SFind*>(data)->running;
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid != r->process.dwProcessId || !IsWindowVisible(window))
                return TRUE;
            HWND tree = FindChildOfClass(window, WC_TREEVIEWW), list = FindChildOfClass(window, WC_LISTVIEWW);
            if (!tree || !list)
                return TRUE;
            r->main = window;
            r->tree = tree;
            r->list = list;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
    return running.main != nullptr;
}

// Start-up until the tree holds items and the window answers.
bool StartInteractive(const SProgram& program, SRunning& running, double& seconds)
{
    ForgetLastPositions();
    double begin = NowSeconds();
    if (!Start(L"\"" + program.exe + L"\"", running.process))
        return false;
    for (;;) {
        if (FindViews(running) && TreeView_GetCount(running.tree) > 0 && IsWindowVisible(running.list)) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(running.main, WM_NULL, 0, 0, SMTO_NORMAL, kLimitMs, &result);
            seconds = NowSeconds() - begin;
            return true;
        }
        if (WaitForSingleObject(running.process.hProcess, 1) == WAIT_OBJECT_0 || NowSeconds() - begin > 60)
            return false;
    }
}

void Close(SRunning& running)
{
    PostMessageW(running.main, WM_CLOSE, 0, 0);
    WaitExit(running.process, 20000);
    running = SRunning();
}

HTREEITEM FindChildItem(const CRemoteControls& remote, HTREEITEM parent, const std::wstring& label)
{
    for (HTREEITEM child : remote.TreeChildren(parent)) {
        if (_wcsicmp(remote.TreeText(child).c_str(), label.c_str()) == 0)
            return child;
    }
    return nullptr;
}

// Expands the way down to the key (its own item not expanded); the top item ("Registry" or
// the peer's computer item) is passed through.
HTREEITEM FindKeyItem(const SRunning& running, const std::wstring& fullPath)
{
    CRemoteControls remote(running.tree);
    HTREEITEM top = TreeView_GetRoot(running.tree);
    if (!top)
        return nullptr;
    TreeView_Expand(running.tree, top, TVE_EXPAND);
    HTREEITEM current = top;
    size_t start = 0;
    while (current && start <= fullPath.size()) {
        size_t slash = fullPath.find(L'\\', start);
        std::wstring component = fullPath.substr(start, slash == std::wstring::npos ? slash : slash - start);
        TreeView_Expand(running.tree, current, TVE_EXPAND);
        current = FindChildItem(remote, current, component);
        if (slash == std::wstring::npos)
            return current;
        start = slash + 1;
    }
    return nullptr;
}

int CountChildren(HWND tree, HTREEITEM parent)
{
    int count = 0;
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child;
         child = TreeView_GetNextSibling(tree, child))
        ++count;
    return count;
}

struct STimes
{
    Seconds start, select, expand, exportBig, importBig, exportTiny;
};

// One interactive session: start-up, the value list and, when asked for, the expansion.
bool RunInteractive(const SProgram& program, bool expand, STimes& times)
{
    SRunning running;
    double seconds = 0;
    if (!StartInteractive(program, running, seconds)) {
        printf("%s: could not start\n", program.label);
        return false;
    }
    times.start.push_back(seconds);
    bool ok = false;
    HTREEITEM values = FindKeyItem(running, std::wstring(kFullBase) + L"\\Values");
    HTREEITEM keys = FindKeyItem(running, std::wstring(kFullBase) + L"\\Keys");
    if (values && keys) {
        double begin = NowSeconds();
        TreeView_SelectItem(running.tree, values);
        while (ListView_GetItemCount(running.list) < kValues && NowSeconds() - begin < 120)
            Sleep(0);
        times.select.push_back(NowSeconds() - begin);
        int children = kSubkeys;
        if (expand) {
            begin = NowSeconds();
            TreeView_Expand(running.tree, keys, TVE_EXPAND);
            times.expand.push_back(NowSeconds() - begin);
            children = CountChildren(running.tree, keys);
        }
        // The peer lists the default value as a row of its own.
        int rows = ListView_GetItemCount(running.list);
        ok = rows >= kValues && rows <= kValues + 1 && children == kSubkeys;
        if (!ok)
            printf("%s: %d rows, %d children\n", program.label, rows, children);
    } else {
        printf("%s: the keys were not found in its tree\n", program.label);
    }
    Close(running);
    return ok;
}

std::wstring TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// True when the command ended by itself with exit code 0.
bool RunCommand(const std::wstring& commandLine, double& seconds)
{
    PROCESS_INFORMATION process = {};
    double begin = NowSeconds();
    if (!Start(commandLine, process))
        return false;
    DWORD code = 1;
    bool ended = WaitForSingleObject(process.hProcess, kLimitMs) == WAIT_OBJECT_0 &&
                 GetExitCodeProcess(process.hProcess, &code);
    seconds = NowSeconds() - begin;
    WaitExit(process, 0);
    if (!ended || code != 0)
        wprintf(L"failed (exit code %lu): %ls\n", code, commandLine.c_str());
    return ended && code == 0;
}

void RunCommands(const SProgram& program, STimes& times)
{
    const std::wstring exe = L"\"" + program.exe + L"\" ";
    const std::wstring exported = TempFile(L"peer_export.reg"), tiny = TempFile(L"peer_tiny.reg");
    // Every program imports the same file, the peer's export of the branch.
    const std::wstring imported = TempFile(L"peer_import.reg");
    const std::wstring options = program.hivelet ? L"/s /e " : L"/e ";
    double seconds = 0;
    DeleteFileW(exported.c_str());
    if (RunCommand(exe + options + L"\"" + exported + L"\" " + kFullBase + L"\\Export", seconds))
        times.exportBig.push_back(seconds);
    DeleteFileW(tiny.c_str());
    if (RunCommand(exe + options + L"\"" + tiny + L"\" " + kFullBase + L"\\Tiny", seconds))
        times.exportTiny.push_back(seconds);
    if (RunCommand(exe + L"/s \"" + imported + L"\"", seconds))
        times.importBig.push_back(seconds);
}

// --- the floors --------------------------------------------------------------------------------

struct SFloors
{
    double enumValues = 0, listRows = 0, enumNames = 0, treeInserts = 0, bareWalk = 0, plainWrites = 0,
           windowProcess = 0;
};

struct SKeyCopy
{
    std::wstring path;
    std::vector<std::wstring> names;
    std::vector<DWORD> types;
    std::vector<std::vector<BYTE>> data;
};

// The branch as it stands, read once, in the order a .reg file holds it (each key before its
// subkeys).
void ReadBranch(const std::wstring& path, std::vector<SKeyCopy>& keys)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    SKeyCopy copy;
    copy.path = path;
    std::vector<BYTE> data(64 * 1024);
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLength = 512, type = 0, size = DWORD(data.size());
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        copy.names.push_back(name);
        copy.types.push_back(type);
        copy.data.emplace_back(data.begin(), data.begin() + size);
    }
    std::vector<std::wstring> subkeys = SubkeyNames(key);
    RegCloseKey(key);
    keys.push_back(std::move(copy));
    for (const std::wstring& name : subkeys)
        ReadBranch(path + L"\\" + name, keys);
}

// What any import of the branch must call: create each key by its path, set its values, close it.
double WritePlainly(const std::vector<SKeyCopy>& keys)
{
    double begin = NowSeconds();
    for (const SKeyCopy& copy : keys) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, copy.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            continue;
        for (size_t i = 0; i < copy.names.size(); ++i)
            RegSetValueExW(key, copy.names[i].c_str(), 0, copy.types[i], copy.data[i].data(),
                           DWORD(copy.data[i].size()));
        RegCloseKey(key);
    }
    return NowSeconds() - begin;
}

// A process that shows a window with a tree and a list, then ends: what a run that must show
// its window costs before it does anything (this program run with /window).
int ShowWindowAndEnd()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HWND main =
        CreateWindowExW(0, L"STATIC", L"window", WS_VISIBLE | WS_CAPTION, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, main, nullptr, nullptr,
                    nullptr);
    CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 100, 100, 100, main, nullptr,
                    nullptr, nullptr);
    UpdateWindow(main);
    DestroyWindow(main);
    return 0;
}

double WindowProcess()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    double seconds = 0;
    RunCommand(L"\"" + std::wstring(self) + L"\" /window", seconds);
    return seconds;
}

double EnumerateValuesWithData()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Sub(L"Values").c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    double begin = NowSeconds();
    DWORD count = 0, longestName = 0, longestData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                     &longestData, nullptr, nullptr);
    std::vector<wchar_t> name(longestName + 1);
    std::vector<BYTE> data(longestData + 1);
    for (DWORD i = 0; i < count; ++i) {
        DWORD nameLength = DWORD(name.size()), size = DWORD(data.size()), type = 0;
        RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size);
    }
    double seconds = NowSeconds() - begin;
    RegCloseKey(key);
    return seconds;
}

double EnumerateNames()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Sub(L"Keys").c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    double begin = NowSeconds();
    DWORD count = 0, longest = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    std::vector<wchar_t> name(longest + 1);
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = DWORD(name.size());
        RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    }
    double seconds = NowSeconds() - begin;
    RegCloseKey(key);
    return seconds;
}

double InsertListRows(HWND parent)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 240, 300,
                                parent, nullptr, nullptr, nullptr);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = 100;
    column.pszText = const_cast<wchar_t*>(L"Name");
    ListView_InsertColumn(list, 0, &column);
    column.pszText = const_cast<wchar_t*>(L"Value");
    ListView_InsertColumn(list, 1, &column);
    double begin = NowSeconds();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kValues; ++i) {
        wchar_t name[32], text[64];
        swprintf(name, 32, L"value %05d", i);
        swprintf(text, 64, L"text of value %d", i);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = name;
        int row = ListView_InsertItem(list, &item);
        ListView_SetItemText(list, row, 1, text);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(list);
    double seconds = NowSeconds() - begin;
    DestroyWindow(list);
    return seconds;
}

double InsertTreeItems(HWND parent)
{
    HWND tree =
        CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0,
                        240, 300, parent, nullptr, nullptr, nullptr);
    double begin = NowSeconds();
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(L"Keys");
    HTREEITEM top = TreeView_InsertItem(tree, &insert);
    insert.hParent = top;
    for (int i = 0; i < kSubkeys; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"key %05d", i);
        insert.item.pszText = name;
        TreeView_InsertItem(tree, &insert);
    }
    TreeView_Expand(tree, top, TVE_EXPAND);
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(tree);
    double seconds = NowSeconds() - begin;
    DestroyWindow(tree);
    return seconds;
}

SFloors MeasureFloors(int runs)
{
    HWND parent = CreateWindowExW(0, L"STATIC", L"floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 260, 340,
                                  nullptr, nullptr, nullptr, nullptr);
    Seconds values, rows, names, inserts, walk, writes, window;
    std::vector<SKeyCopy> branch;
    ReadBranch(Sub(L"Export"), branch);
    for (int i = 0; i < runs; ++i) {
        writes.push_back(WritePlainly(branch));
        window.push_back(WindowProcess());
        values.push_back(EnumerateValuesWithData());
        rows.push_back(InsertListRows(parent));
        names.push_back(EnumerateNames());
        inserts.push_back(InsertTreeItems(parent));
        double begin = NowSeconds();
        BareWalk(HKEY_CURRENT_USER, Sub(L"Export"));
        walk.push_back(NowSeconds() - begin);
    }
    DestroyWindow(parent);
    return {Median(values), Median(rows),   Median(names), Median(inserts),
            Median(walk),   Median(writes), Median(window)};
}

// --- the report ----------------------------------------------------------------------------------

void Row(const char* work, const STimes* times, Seconds STimes::*field, int programs, const char* floor)
{
    printf("| %-46s |", work);
    const double peer = Median(times[1].*field);
    for (int i = 0; i < programs; ++i) {
        const double median = Median(times[i].*field);
        if (i == 1)
            printf(" %8.3f s |", median);
        else
            printf(" %8.3f s %5.2f x |", median, peer > 0 ? median / peer : 0.0);
    }
    printf(" %s |\n", floor);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && _wcsicmp(argv[1], L"/window") == 0)
        return ShowWindowAndEnd();
    if (argc < 2) {
        printf("usage: peer_bench <Hivelet.exe> [runs] [Hivelet.exe of before]\n");
        return 2;
    }
    const int runs = argc > 2 ? _wtoi(argv[2]) : 3;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (!BuildHives()) {
        printf("cannot make the hives\n");
        return 1;
    }
    // Hivelet, the peer, and optionally an earlier Hivelet.exe to compare with.
    const SProgram programs[] = {{"Hivelet", argv[1], true},
                                 {"regedit", L"regedit.exe", false},
                                 {"before", argc > 3 ? argv[3] : L"", true}};
    const int programCount = argc > 3 ? 3 : 2;
    double ignored = 0;
    RunCommand(L"regedit.exe /e \"" + TempFile(L"peer_import.reg") + L"\" " + kFullBase + L"\\Export",
               ignored);

    STimes times[3];
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < programCount; ++turn) {
            const int which = (run + turn) % programCount; // each run starts with the next program
            // The peer's expansion takes about a minute on a quiet machine: measured in the first run only.
            const bool expand = which != 1 || times[1].expand.empty();
            RunInteractive(programs[which], expand, times[which]);
            RunCommands(programs[which], times[which]);
        }
        printf("run %d of %d done\n", run + 1, runs);
    }
    SFloors floors = MeasureFloors(runs);

    char listFloor[160], treeFloor[160], walkFloor[160], importFloor[160], tinyFloor[160];
    snprintf(listFloor, sizeof(listFloor), "enumeration with data %.3f s + %d list rows %.3f s = %.3f s",
             floors.enumValues, kValues, floors.listRows, floors.enumValues + floors.listRows);
    snprintf(treeFloor, sizeof(treeFloor), "names %.3f s + %d tree inserts and expand %.3f s = %.3f s",
             floors.enumNames, kSubkeys, floors.treeInserts, floors.enumNames + floors.treeInserts);
    snprintf(walkFloor, sizeof(walkFloor), "bare walk (open, values with data, subkeys) %.3f s",
             floors.bareWalk);
    snprintf(importFloor, sizeof(importFloor),
             "plain create, set and close %.3f s + a process that shows a window %.3f s = %.3f s",
             floors.plainWrites, floors.windowProcess, floors.plainWrites + floors.windowProcess);
    snprintf(tinyFloor, sizeof(tinyFloor), "a process that shows a window with a tree and a list %.3f s",
             floors.windowProcess);
    printf("\nmedians of %d alternating runs; ratios to Wine regedit\n", runs);
    printf("| %-46s | %-18s | %-10s |%s floor measured here |\n", "work", "Hivelet", "regedit",
           programCount > 2 ? " before             |" : "");
    Row("start until tree and list are shown", times, &STimes::start, programCount, "");
    Row("select a key with 5,000 values (list complete)", times, &STimes::select, programCount, listFloor);
    Row("expand a key with 20,000 subkeys", times, &STimes::expand, programCount, treeFloor);
    Row("export 20,020 keys / 80,080 values", times, &STimes::exportBig, programCount, walkFloor);
    Row("import the same file", times, &STimes::importBig, programCount, importFloor);
    Row("command-line export of a tiny key", times, &STimes::exportTiny, programCount, tinyFloor);
    const double listFloorSum = floors.enumValues + floors.listRows;
    const double treeFloorSum = floors.enumNames + floors.treeInserts;
    const double importFloorSum = floors.plainWrites + floors.windowProcess;
    printf("Hivelet: value list %.2f x its floor; expansion %.2f x its floor; export %.2f x its floor; "
           "import %.2f x its floor; tiny export %.2f x its floor\n",
           listFloorSum > 0 ? Median(times[0].select) / listFloorSum : 0.0,
           treeFloorSum > 0 ? Median(times[0].expand) / treeFloorSum : 0.0,
           floors.bareWalk > 0 ? Median(times[0].exportBig) / floors.bareWalk : 0.0,
           importFloorSum > 0 ? Median(times[0].importBig) / importFloorSum : 0.0,
           floors.windowProcess > 0 ? Median(times[0].exportTiny) / floors.windowProcess : 0.0);
    printf("regedit: import %.2f x the plain writes alone\n",
           floors.plainWrites > 0 ? Median(times[1].importBig) / floors.plainWrites : 0.0);
    return 0;
}
