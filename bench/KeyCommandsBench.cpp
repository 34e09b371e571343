// The key commands on a branch of 2,000 keys (two values each), driven through the main window
// as a user drives them: copy and paste into the same parent, rename through the label edit,
// delete after the question. Time and registry calls per key, against the real registry
// (under Wine every call is a server round trip) and against the in-memory one (the CPU side).
#include "bench/BenchTree.h"

#include "app/MainWnd.h"
#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/RegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/MessageBox.h"

#include <commctrl.h>

#include <cstdio>

namespace {

const wchar_t kBase[] = L"Software\\HiveletBench\\KeyCommands";
const int kGroups = 20;
const int kPerGroup = 99; // 20 groups + 20 x 99 keys below them: 2,000 keys below the branch
const int kKeys = kGroups + kGroups * kPerGroup;

class CYesSink : public IMessageBoxSink
{
public:
    int Show(HWND, const wchar_t* text, const wchar_t*, UINT style) override
    {
        if (!(style & MB_YESNO))
            printf("message: %ls\n", text);
        return (style & MB_YESNO) ? IDYES : IDOK;
    }
};

bool PutTwoValues(CShdRegKey& key)
{
    return key.SetString(L"Name", L"some text data") && key.SetDword(L"Count", 42);
}

bool Build()
{
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    CString path;
    for (int g = 0; g < kGroups; ++g) {
        path.Format(L"%s\\Branch\\group %02d", kBase, g);
        CShdRegKey group(true);
        if (!group.Create(HKEY_CURRENT_USER, path) || !PutTwoValues(group))
            return false;
        for (int k = 0; k < kPerGroup; ++k) {
            CString name;
            name.Format(L"key %02d", k);
            CShdRegKey key(false);
            if (!key.Create(group.GetHandle(), name) || !PutTwoValues(key))
                return false;
        }
    }
    return true;
}

struct SStep
{
    const char* name;
    double seconds;
    unsigned long calls;
};

void Print(const char* backend, const SStep& step)
{
    printf("%-6s %-28s %7.3f s  %8lu calls  %5.1f calls/key  %7.1f us/key\n", backend, step.name,
           step.seconds, step.calls, step.calls / double(kKeys), step.seconds * 1e6 / kKeys);
}

template <class Action> SStep Measure(const char* name, Action action)
{
    Registry().ResetCounts();
    double begin = NowSeconds();
    action();
    return {name, NowSeconds() - begin, Registry().TotalCalls()};
}

void Command(CMainWnd& main, UINT id)
{
    SendMessageW(main.GetHwnd(), WM_COMMAND, id, 0);
}

bool Exists(const wchar_t* sub)
{
    CShdRegKey key(false);
    return key.Open(HKEY_CURRENT_USER, CString(kBase) + L"\\" + sub);
}

// Copy, rename and delete of the branch; false when a step did not do its work.
bool RunCommands(const char* backend)
{
    if (!Build()) {
        printf("%s: building the branch failed\n", backend);
        return false;
    }
    CMainWnd main(true, L"");
    if (!main.CreateMain(GetModuleHandleW(nullptr)))
        return false;
    CRegTree& tree = main.GetTree();
    const CString base = kBase;
    tree.SelectPath(HKEY_CURRENT_USER, base + L"\\Branch");
    Command(main, ID_KEY_COPY);
    tree.SelectPath(HKEY_CURRENT_USER, base);
    SStep copy = Measure("copy and paste", [&] { Command(main, ID_PASTE); });
    bool done = Exists(L"Branch (2)\\group 19\\key 98");

    tree.SelectPath(HKEY_CURRENT_USER, base + L"\\Branch (2)");
    SStep rename = Measure("rename (label edit)", [&] {
        HWND edit = TreeView_EditLabel(tree.GetHwnd(), tree.GetSelection());
        SetWindowTextW(edit, L"Renamed");
        TreeView_EndEditLabelNow(tree.GetHwnd(), FALSE);
    });
    done = done && Exists(L"Renamed\\group 19\\key 98") && !Exists(L"Branch (2)");

    tree.SelectPath(HKEY_CURRENT_USER, base + L"\\Renamed");
    SStep remove = Measure("delete", [&] { Command(main, ID_KEY_DELETE); });
    done = done && !Exists(L"Renamed");

    for (const SStep& step : {copy, rename, remove})
        Print(backend, step);
    main.Destroy();
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    return done;
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CYesSink yes;
    SetMessageBoxSink(&yes);
    printf("a branch of %d keys below its top, two values each\n", kKeys);
    bool ok = RunCommands("wine");
    {
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        ok = RunCommands("memory") && ok;
    }
    SetMessageBoxSink(nullptr);
    if (!ok)
        printf("a command did not do its work\n");
    return ok ? 0 : 1;
}
