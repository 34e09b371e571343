// Root-key table and key-path text.
#include "registry/RootKeys.h"

namespace {

struct SRootName
{
    HKEY root;
    const wchar_t* longName;
    const wchar_t* shortName;
};

const SRootName kRootNames[] = {
    {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT", L"HKCR"},
    {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"HKCU"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"HKLM"},
    {HKEY_USERS, L"HKEY_USERS", L"HKU"},
};

const SRootName* FindRoot(HKEY root)
{
    for (const SRootName& entry : kRootNames) {
        if (entry.root == root)
            return &entry;
    }
    return nullptr;
}

} // namespace

const HKEY kRootKeys[4] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};

DWORD RootKeyValue(HKEY root)
{
    return FindRoot(root) ? static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(root)) : 0;
}

HKEY RootKeyFromValue(DWORD value)
{
    // The predefined handles are sign-extended 32-bit numbers.
    HKEY root =
        reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(value))));
    return FindRoot(root) ? root : nullptr;
}

bool IsRootKey(HKEY key)
{
    return FindRoot(key) != nullptr;
}

const wchar_t* RootKeyLongName(HKEY root)
{
    const SRootName* entry = FindRoot(root);
    return entry ? entry->longName : nullptr;
}

const wchar_t* RootKeyShortName(HKEY root)
{
    const SRootName* entry = FindRoot(root);
    return entry ? entry->shortName : L"";
}

HKEY ParseRootKeyName(const wchar_t* text)
{
    if (!text)
        return nullptr;
    for (const SRootName& entry : kRootNames) {
        if (_wcsicmp(text, entry.longName) == 0 || _wcsicmp(text, entry.shortName) == 0)
            return entry.root;
    }
    return nullptr;
}

HKEY ParseRootKeyLongName(const wchar_t* text)
{
    if (!text)
        return nullptr;
    for (const SRootName& entry : kRootNames) {
        if (_wcsicmp(text, entry.longName) == 0)
            return entry.root;
    }
    return nullptr;
}

HKEY SplitKeyPath(const wchar_t* text, CString& subkeyPath, bool longNamesOnly)
{
    subkeyPath.Empty();
    CString whole(text);
    int slash = whole.Find(L'\\');
    CString rootName = slash < 0 ? whole : whole.Left(slash);
    if (slash >= 0)
        subkeyPath = whole.Mid(slash + 1);
    HKEY root = longNamesOnly ? ParseRootKeyLongName(rootName) : ParseRootKeyName(rootName);
    if (!root)
        subkeyPath.Empty();
    return root;
}

CString FullKeyPath(HKEY root, const wchar_t* subkeyPath)
{
    const wchar_t* name = RootKeyLongName(root);
    CString path(name ? name : L"");
    if (subkeyPath && *subkeyPath) {
        path += L'\\';
        path += subkeyPath;
    }
    return path;
}
