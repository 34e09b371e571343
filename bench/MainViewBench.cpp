// The main view against the real registry (under Wine every call is a server round trip):
// expanding a key with 20,000 subkeys in the key tree and filling the value list for a key
// with 5,000 values (strings, 200-byte binary values, dwords), each next to a bare enumeration
// of the same key with plain Win32 calls.
#include "bench/BenchTree.h"

#include "app/MainWnd.h"
#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/RegistryBackend.h"
#include "registry/ShdRegKey.h"

#include <commctrl.h>

#include <cstdio>

namespace {

const wchar_t kBase[] = L"Software\\HiveletBench\\MainView";
const int kSubkeys = 20000;
const int kValues = 5000;

bool Build()
{
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    CShdRegKey values;
    if (!values.Create(HKEY_CURRENT_USER, CString(kBase) + L"\\Values"))
        return false;
    CString name;
    BYTE bytes[200] = {};
    for (int i = 0; i < kValues; ++i) {
        name.Format(L"value %05d", i);
        // Strings, binary data shown as 128 hex pairs, dwords.
        bool ok = i % 3 == 0   ? values.SetString(name, L"some text data")
                  : i % 3 == 1 ? values.SetValue(name, REG_BINARY, bytes, sizeof(bytes))
                               : values.SetDword(name, DWORD(i));
        if (!ok)
            return false;
    }
    for (int i = 0; i < kSubkeys; ++i) {
        name.Format(L"%s\\Keys\\key %05d", kBase, i);
        CShdRegKey key;
        if (!key.Create(HKEY_CURRENT_USER, name))
            return false;
    }
    return true;
}

// Plain Win32: open the key, enumerate names (and for values read each one's data).
void BareEnumeration(const wchar_t* path, bool values, double& seconds, unsigned long& items)
{
    double begin = NowSeconds();
    items = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    wchar_t name[260];
    BYTE data[512];
    for (DWORD i = 0;; ++i) {
        DWORD length = 260, size = sizeof(data), type = 0;
        LONG rc = values ? RegEnumValueW(key, i, name, &length, nullptr, &type, data, &size)
                         : RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS)
            break;
        ++items;
    }
    RegCloseKey(key);
    seconds = NowSeconds() - begin;
}

// Expands the subkeys' parent and fills the list of the values' key in a fresh main window,
// through the back end in force.
bool Measure(const char* label)
{
    CMainWnd main(true, L"");
    if (!main.CreateMain(GetModuleHandleW(nullptr))) {
        printf("no main window\n");
        return false;
    }
    CRegTree& tree = main.GetTree();
    tree.SelectPath(HKEY_CURRENT_USER, kBase);
    TreeView_Expand(tree.GetHwnd(), tree.GetSelection(), TVE_EXPAND);
    HTREEITEM keys = tree.FindItem(HKEY_CURRENT_USER, CString(kBase) + L"\\Keys");
    HTREEITEM values = tree.FindItem(HKEY_CURRENT_USER, CString(kBase) + L"\\Values");
    if (!keys || !values) {
        printf("the benchmark keys are not in the tree\n");
        return false;
    }
    Registry().ResetCounts();
    double begin = NowSeconds();
    TreeView_Expand(tree.GetHwnd(), keys, TVE_EXPAND);
    double expandSeconds = NowSeconds() - begin;
    unsigned long expandCalls = Registry().TotalCalls();

    Registry().ResetCounts();
    begin = NowSeconds();
    main.FillValueList(values, false, nullptr);
    double fillSeconds = NowSeconds() - begin;
    unsigned long fillCalls = Registry().TotalCalls();
    printf("%s: expand a key with %d subkeys: %.2f s, %lu registry calls (%.2f per subkey)\n", label,
           kSubkeys, expandSeconds, expandCalls, expandCalls / double(kSubkeys));
    printf("%s: fill the list of a key with %d values: %.2f s, %lu registry calls (%.2f per value)\n", label,
           kValues, fillSeconds, fillCalls, fillCalls / double(kValues));
    main.Destroy();
    return true;
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    {
        // The same work without server round trips: what the controls and the code cost.
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        if (!Build() || !Measure("memory"))
            return 1;
    }
    if (!Build()) {
        printf("building the benchmark keys failed\n");
        return 1;
    }
    if (!Measure("Win32 registry"))
        return 1;
    double bareKeys = 0, bareValues = 0;
    unsigned long keyCount = 0, valueCount = 0;
    BareEnumeration(CString(kBase) + L"\\Keys", false, bareKeys, keyCount);
    BareEnumeration(CString(kBase) + L"\\Values", true, bareValues, valueCount);
    printf("bare enumeration of %lu subkey names: %.2f s; of %lu values with data: %.2f s\n", keyCount,
           bareKeys, valueCount, bareValues);
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    return 0;
}
