// Recursive delete and copy of key branches through CShdRegKey.
#include "registry/KeyTree.h"

#include "registry/RegistryBackend.h"
#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"

namespace {

CString ChildPath(const wchar_t* path, const CString& name)
{
    CString child(path);
    if (!child.IsEmpty() && !name.IsEmpty())
        child += L'\\';
    child += name;
    return child;
}

// True only when the key answers and holds nothing: a failed count is not an empty key.
bool HasNoSubKeysOrValues(const CShdRegKey& key)
{
    DWORD subKeys = 0, values = 0;
    return key.QueryCounts(subKeys, values) && subKeys == 0 && values == 0;
}

bool HasNoValues(const CShdRegKey& key)
{
    DWORD subKeys = 0, values = 0;
    return key.QueryCounts(subKeys, values) && values == 0;
}

} // namespace

bool DeleteKeyTree(HKEY parent, const wchar_t* path)
{
    // A root can never be deleted; emptying it on the way would wipe it and still fail.
    if (IsRootKey(parent) && (!path || !*path))
        return false;
    DeleteKeyContents(parent, path);
    Registry().DeleteKey(parent, path ? path : L"");
    Registry().FlushKey(parent);
    CShdRegKey check(false);
    if (check.Open(parent, path))
        return false;
    return true;
}

bool DeleteKeyContents(HKEY parent, const wchar_t* path)
{
    CShdRegKey key(true);
    if (!key.Open(parent, path))
        return true;
    for (DWORD index = key.GetSubKeyCount(); index-- > 0;) {
        CString name;
        if (key.EnumKey(index, name))
            DeleteKeyTree(parent, ChildPath(path, name));
    }
    DeleteAllValues(parent, path);
    return HasNoSubKeysOrValues(key);
}

bool DeleteAllValues(HKEY parent, const wchar_t* path)
{
    CShdRegKey key(true);
    if (!key.Open(parent, path))
        return true;
    DWORD count = key.GetValueCount();
    for (DWORD index = 0; index < count;) {
        CString name;
        if (!key.EnumValueName(index, name))
            break;
        if (key.DeleteValue(name))
            --count;
        else
            ++index; // the value stays and is stepped over
    }
    return HasNoValues(key);
}

bool CopyKeyTree(HKEY sourceParent, const wchar_t* sourcePath, HKEY targetParent, const wchar_t* targetPath)
{
    CShdRegKey source(false);
    if (!source.Open(sourceParent, sourcePath))
        return false;
    CString keyClass = source.GetClass();
    CShdRegKey target(true);
    if (!target.Create(targetParent, targetPath, keyClass))
        return false;
    // Both counts up front: a failed query marks the copy incomplete instead of looking empty.
    DWORD subKeys = 0, values = 0;
    bool complete = source.QueryCounts(subKeys, values);
    for (DWORD index = 0; index < values; ++index) {
        CString name;
        DWORD type;
        CShdBinaryBuffer data;
        if (!source.EnumValueName(index, name) || !source.QueryValue(name, type, data) ||
            !target.SetValue(name, type, data))
            complete = false;
    }
    for (DWORD index = 0; index < subKeys; ++index) {
        CString name;
        if (!source.EnumKey(index, name) || !CopyKeyTree(source.GetHandle(), name, target.GetHandle(), name))
            complete = false;
    }
    return complete;
}
