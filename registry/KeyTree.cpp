// Branch delete and copy through CShdRegKey. Both walk the branch with an explicit stack of
// keys opened relative to their parents: no full path is ever rebuilt, so any depth the registry
// holds can be deleted or copied, and the depth costs heap, not stack.
#include "registry/KeyTree.h"

#include "registry/RegistryBackend.h"
#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"

#include <memory>
#include <vector>

namespace {

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

void DeleteValuesOf(CShdRegKey& key)
{
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
}

// One open key of a delete walk: its subkeys are taken from the highest index down, so a
// subkey that stays (its delete failed) never shifts the ones still to come.
struct SDeleteFrame
{
    std::unique_ptr<CShdRegKey> owned; // null for the walk's top key, which the caller owns
    CShdRegKey* key;
    CString name; // the name under the parent frame's key
    DWORD next;
};

// Deletes every subkey branch and value below the open key, deepest keys first; a key that
// cannot be read, opened or deleted is stepped over.
void EmptyOpenKey(CShdRegKey& top)
{
    std::vector<SDeleteFrame> stack;
    stack.push_back({nullptr, &top, CString(), top.GetSubKeyCount()});
    while (!stack.empty()) {
        SDeleteFrame& frame = stack.back();
        if (frame.next > 0) {
            CString name;
            if (!frame.key->EnumKey(--frame.next, name))
                continue;
            auto child = std::make_unique<CShdRegKey>(false);
            if (!child->Open(frame.key->GetHandle(), name)) {
                Registry().DeleteKey(frame.key->GetHandle(), name);
                continue;
            }
            CShdRegKey* childKey = child.get();
            const DWORD count = childKey->GetSubKeyCount();
            stack.push_back({std::move(child), childKey, name, count});
            continue;
        }
        DeleteValuesOf(*frame.key);
        if (stack.size() == 1)
            break;
        const CString name = frame.name;
        stack.pop_back(); // closes the emptied key before it is deleted
        Registry().DeleteKey(stack.back().key->GetHandle(), name);
    }
}

// One key of a source branch as it stood before the copy wrote anything: depth 0 is the top.
struct SSourceKey
{
    CString name;
    CString keyClass;
    DWORD values;
    size_t depth;
};

// Reads the names and classes of the whole source branch, in pre-order, before the copy
// creates any key. A target that lies inside the source (one key reached by two paths) then
// never feeds the copy: it ends after the branch as it stood. False when the top cannot be opened.
bool ReadSourceBranch(HKEY parent, const wchar_t* path, std::vector<SSourceKey>& keys, bool& complete)
{
    struct SFrame
    {
        std::unique_ptr<CShdRegKey> key;
        DWORD subKeys;
        DWORD next;
    };
    std::vector<SFrame> stack;
    auto enter = [&](HKEY from, const wchar_t* name) {
        auto key = std::make_unique<CShdRegKey>(false);
        if (!key->Open(from, name))
            return false;
        // Both counts up front: a failed query marks the copy incomplete instead of looking empty.
        DWORD subKeys = 0, values = 0;
        const CString keyClass = key->GetClass();
        if (!key->QueryCounts(subKeys, values))
            complete = false;
        keys.push_back({stack.empty() ? CString() : CString(name), keyClass, values, stack.size()});
        stack.push_back({std::move(key), subKeys, 0});
        return true;
    };
    if (!enter(parent, path))
        return false;
    while (!stack.empty()) {
        SFrame& frame = stack.back();
        if (frame.next == frame.subKeys) {
            stack.pop_back();
            continue;
        }
        CString name;
        if (!frame.key->EnumKey(frame.next++, name) || !enter(frame.key->GetHandle(), name))
            complete = false;
    }
    return true;
}

// Copies the values of one open key to another; false when any of them failed.
bool CopyValues(const CShdRegKey& source, DWORD count, CShdRegKey& target)
{
    bool complete = true;
    for (DWORD index = 0; index < count; ++index) {
        CString name;
        DWORD type;
        CShdBinaryBuffer data;
        if (!source.EnumValueName(index, name) || !source.QueryValue(name, type, data) ||
            !target.SetValue(name, type, data))
            complete = false;
    }
    return complete;
}

} // namespace

bool DeleteKeyTree(HKEY parent, const wchar_t* path)
{
    // A root can never be deleted; emptying it on the way would wipe it and still fail.
    if (IsRootKey(parent) && (!path || !*path))
        return false;
    {
        CShdRegKey key(false);
        if (key.Open(parent, path))
            EmptyOpenKey(key);
    }
    Registry().DeleteKey(parent, path ? path : L"");
    Registry().FlushKey(parent);
    CShdRegKey check(false);
    return !check.Open(parent, path);
}

bool DeleteKeyContents(HKEY parent, const wchar_t* path)
{
    CShdRegKey key(true);
    if (!key.Open(parent, path))
        return true;
    EmptyOpenKey(key);
    return HasNoSubKeysOrValues(key);
}

bool DeleteAllValues(HKEY parent, const wchar_t* path)
{
    CShdRegKey key(true);
    if (!key.Open(parent, path))
        return true;
    DeleteValuesOf(key);
    return HasNoValues(key);
}

bool CopyKeyTree(HKEY sourceParent, const wchar_t* sourcePath, HKEY targetParent, const wchar_t* targetPath)
{
    bool complete = true;
    std::vector<SSourceKey> keys;
    if (!ReadSourceBranch(sourceParent, sourcePath, keys, complete))
        return false;
    // The open source and target keys along the current path; a key that fails is skipped with
    // its branch.
    struct SPair
    {
        CShdRegKey source{false};
        CShdRegKey target{false};
    };
    std::vector<std::unique_ptr<SPair>> path;
    for (size_t i = 0; i < keys.size(); ++i) {
        const SSourceKey& key = keys[i];
        path.resize(key.depth);
        auto pair = std::make_unique<SPair>();
        const bool top = key.depth == 0;
        if (!pair->source.Open(top ? sourceParent : path.back()->source.GetHandle(),
                               top ? sourcePath : key.name.c_str()) ||
            !pair->target.Create(top ? targetParent : path.back()->target.GetHandle(),
                                 top ? targetPath : key.name.c_str(), key.keyClass)) {
            if (top)
                return false;
            complete = false;
            while (i + 1 < keys.size() && keys[i + 1].depth > key.depth)
                ++i;
            continue;
        }
        if (!CopyValues(pair->source, key.values, pair->target))
            complete = false;
        path.push_back(std::move(pair));
    }
    // One flush for the whole copy, through its top key.
    path.resize(1);
    path.front()->target.Close(true);
    return complete;
}
