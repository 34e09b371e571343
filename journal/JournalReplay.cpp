// Undo and redo of recorded ops, the change check before them, and the branch reader.
#include "journal/JournalReplay.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>

namespace {

// Keeps the last key used open, as consecutive ops mostly touch the same key.
class CKeyCursor
{
public:
    explicit CKeyCursor(IRegistryBackend& registry) : m_registry(registry) {}
    ~CKeyCursor() { Close(); }

    HKEY Open(DWORD root, const std::wstring& path, bool create, const wchar_t* keyClass = nullptr)
    {
        if (m_key && m_root == root && m_path == path && (!create || m_created))
            return m_key;
        Close();
        HKEY rootKey = SJournalOp::RootHandle(root);
        LONG rc = create ? m_registry.CreateKey(rootKey, path.c_str(), 0, const_cast<wchar_t*>(keyClass), 0,
                                                KEY_ALL_ACCESS, nullptr, &m_key, nullptr)
                         : m_registry.OpenKey(rootKey, path.c_str(), 0, KEY_ALL_ACCESS, &m_key);
        if (rc != ERROR_SUCCESS) {
            m_key = nullptr;
            return nullptr;
        }
        m_root = root;
        m_path = path;
        m_created = create;
        return m_key;
    }

    void Close()
    {
        if (m_key)
            m_registry.CloseKey(m_key);
        m_key = nullptr;
    }

private:
    IRegistryBackend& m_registry;
    HKEY m_key = nullptr;
    DWORD m_root = 0;
    std::wstring m_path;
    bool m_created = false;
};

bool Succeeded(LONG rc)
{
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool SetValue(CKeyCursor& cursor, DWORD root, const std::wstring& path, const SJournalValue& value,
              IRegistryBackend& registry)
{
    HKEY key = cursor.Open(root, path, true);
    return key && registry.SetValue(key, value.name.c_str(), 0, value.type, value.data.data(),
                                    static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool DeleteValue(CKeyCursor& cursor, DWORD root, const std::wstring& path, const std::wstring& name,
                 IRegistryBackend& registry)
{
    HKEY key = cursor.Open(root, path, false);
    return !key || Succeeded(registry.DeleteValue(key, name.c_str()));
}

bool DeleteTree(IRegistryBackend& registry, HKEY parent, const std::wstring& path)
{
    if (Succeeded(registry.DeleteKey(parent, path.c_str())))
        return true;
    HKEY key;
    if (registry.OpenKey(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    std::vector<std::wstring> children;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (registry.EnumKey(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, length);
    }
    for (const std::wstring& child : children)
        DeleteTree(registry, key, child);
    registry.CloseKey(key);
    return Succeeded(registry.DeleteKey(parent, path.c_str()));
}

bool RestoreKey(CKeyCursor& cursor, DWORD root, const SJournalKey& key, IRegistryBackend& registry)
{
    bool ok = cursor.Open(root, key.path, true, key.keyClass.empty() ? nullptr : key.keyClass.c_str());
    for (const SJournalValue& value : key.values)
        ok = SetValue(cursor, root, key.path, value, registry) && ok;
    return ok;
}

bool Inverse(IRegistryBackend& registry, CKeyCursor& cursor, const SJournalOp& op)
{
    if (op.placeholder)
        return true;
    switch (op.kind) {
    case SJournalOp::SetValue:
    case SJournalOp::DeleteValue:
        if (!op.hasPrior)
            return true;
        if (op.priorExists)
            return SetValue(cursor, op.root, op.path, {op.name, op.priorType, op.priorData}, registry);
        return DeleteValue(cursor, op.root, op.path, op.name, registry);
    case SJournalOp::CreateKey:
        // A create that failed or found the key there after all made nothing to take back.
        if (op.failed)
            return true;
        cursor.Close();
        return DeleteTree(registry, op.RootKey(), op.path);
    case SJournalOp::DeleteKey:
        return !op.hasPrior || RestoreKey(cursor, op.root, {op.path, op.keyClass, op.priorValues}, registry);
    case SJournalOp::Snapshot: {
        bool ok = true;
        for (const SJournalKey& key : op.branch)
            ok = RestoreKey(cursor, op.root, key, registry) && ok;
        return ok;
    }
    }
    return false;
}

bool Forward(IRegistryBackend& registry, CKeyCursor& cursor, const SJournalOp& op)
{
    if (op.placeholder)
        return true;
    switch (op.kind) {
    case SJournalOp::SetValue:
        return SetValue(cursor, op.root, op.path, {op.name, op.type, op.data}, registry);
    case SJournalOp::DeleteValue:
        return DeleteValue(cursor, op.root, op.path, op.name, registry);
    case SJournalOp::CreateKey:
        return cursor.Open(op.root, op.path, true, op.keyClass.empty() ? nullptr : op.keyClass.c_str());
    case SJournalOp::DeleteKey:
        cursor.Close();
        return Succeeded(registry.DeleteKey(op.RootKey(), op.path.c_str()));
    case SJournalOp::Snapshot:
        return true;
    }
    return false;
}

// What the check expects of each touched key and value.
struct SExpected
{
    struct SKey
    {
        DWORD root;
        std::wstring path;
        bool exists;
    };
    struct SValue
    {
        DWORD root;
        std::wstring path;
        SJournalValue value;
        bool exists;
    };
    std::map<std::wstring, SKey> keys;
    std::map<std::pair<std::wstring, std::wstring>, SValue> values;

    static std::wstring Fold(const std::wstring& text)
    {
        std::wstring folded(text);
        for (wchar_t& ch : folded) {
            if (ch >= L'a' && ch <= L'z')
                ch = static_cast<wchar_t>(ch - L'a' + L'A');
            else if (ch >= 0x80)
                ch = static_cast<wchar_t>(towupper(ch));
        }
        return folded;
    }
    void SetKey(const SJournalOp& op, const std::wstring& path, bool exists, bool overwrite)
    {
        SKey key{op.root, path, exists};
        std::wstring folded = FoldedKey(op.root, path);
        if (overwrite)
            keys[folded] = key;
        else
            keys.emplace(folded, key);
        if (overwrite && !exists) {
            auto first = values.lower_bound({folded, std::wstring()});
            auto last = first;
            while (last != values.end() && last->first.first == folded)
                ++last;
            values.erase(first, last);
        }
    }
    void SetValue(const SJournalOp& op, const std::wstring& path, const SJournalValue& value, bool exists,
                  bool overwrite)
    {
        std::pair<std::wstring, std::wstring> location{FoldedKey(op.root, path), Fold(value.name)};
        SValue expected{op.root, path, value, exists};
        if (overwrite)
            values[location] = expected;
        else
            values.emplace(location, expected);
    }
};

SExpected EndState(const std::vector<SJournalOp>& ops)
{
    SExpected expected;
    for (const SJournalOp& op : ops) {
        if (op.failed || op.placeholder)
            continue;
        switch (op.kind) {
        case SJournalOp::SetValue:
            expected.SetKey(op, op.path, true, true);
            if (op.forwardDropped) // written data not kept: the value is not checked
                expected.values.erase({FoldedKey(op.root, op.path), SExpected::Fold(op.name)});
            else
                expected.SetValue(op, op.path, {op.name, op.type, op.data}, true, true);
            break;
        case SJournalOp::DeleteValue:
            expected.SetValue(op, op.path, {op.name, 0, {}}, false, true);
            break;
        case SJournalOp::CreateKey:
            expected.SetKey(op, op.path, true, true);
            break;
        case SJournalOp::DeleteKey:
            expected.SetKey(op, op.path, false, true);
            break;
        case SJournalOp::Snapshot:
            break;
        }
    }
    return expected;
}

void AddPriorKey(SExpected& expected, const SJournalOp& op, const SJournalKey& key)
{
    expected.SetKey(op, key.path, true, false);
    for (const SJournalValue& value : key.values)
        expected.SetValue(op, key.path, value, true, false);
}

SExpected PriorState(const std::vector<SJournalOp>& ops)
{
    SExpected expected;
    for (const SJournalOp& op : ops) {
        if (op.placeholder)
            continue;
        switch (op.kind) {
        case SJournalOp::SetValue:
        case SJournalOp::DeleteValue:
            if (op.hasPrior) {
                expected.SetKey(op, op.path, true, false);
                expected.SetValue(op, op.path, {op.name, op.priorType, op.priorData}, op.priorExists, false);
            }
            break;
        case SJournalOp::CreateKey:
            expected.SetKey(op, op.path, false, false);
            break;
        case SJournalOp::DeleteKey:
            if (op.hasPrior)
                AddPriorKey(expected, op, {op.path, op.keyClass, op.priorValues});
            break;
        case SJournalOp::Snapshot:
            for (const SJournalKey& key : op.branch)
                AddPriorKey(expected, op, key);
            break;
        }
    }
    return expected;
}

// True when the key or one of its parents is expected to be gone: nothing below it needs a look.
bool BelowAbsent(const std::set<std::wstring>& absent, const std::wstring& folded, bool includeSelf)
{
    if (absent.empty())
        return false;
    if (includeSelf && absent.count(folded))
        return true;
    for (size_t slash = folded.find(L'\\'); slash != std::wstring::npos;
         slash = folded.find(L'\\', slash + 1)) {
        if (absent.count(folded.substr(0, slash)))
            return true;
    }
    return false;
}

bool Matches(IRegistryBackend& registry, const SExpected& expected)
{
    std::set<std::wstring> absent;
    for (const auto& key : expected.keys) {
        if (!key.second.exists)
            absent.insert(key.first);
    }
    CKeyCursor cursor(registry);
    for (const auto& key : expected.keys) {
        if (BelowAbsent(absent, key.first, false))
            continue;
        if ((cursor.Open(key.second.root, key.second.path, false) != nullptr) != key.second.exists)
            return false;
    }
    DWORD type;
    std::vector<BYTE> data;
    for (const auto& value : expected.values) {
        if (BelowAbsent(absent, value.first.first, true))
            continue;
        HKEY key = cursor.Open(value.second.root, value.second.path, false);
        LONG rc = key ? QueryWholeValue(registry, key, value.second.value.name.c_str(), type, data)
                      : ERROR_FILE_NOT_FOUND;
        if ((rc == ERROR_SUCCESS) != value.second.exists)
            return false;
        if (rc == ERROR_SUCCESS && (type != value.second.value.type || data != value.second.value.data))
            return false;
    }
    return true;
}

} // namespace

std::wstring FoldedKey(DWORD root, const std::wstring& path)
{
    std::wstring folded(9 + path.size(), L'\\');
    for (int digit = 0; digit < 8; ++digit)
        folded[digit] = L"0123456789abcdef"[(root >> (28 - 4 * digit)) & 15];
    std::wstring upper = SExpected::Fold(path);
    std::copy(upper.begin(), upper.end(), folded.begin() + 9);
    return folded;
}

std::wstring JoinPath(const std::wstring& path, const std::wstring& child)
{
    if (path.empty())
        return child;
    if (child.empty())
        return path;
    return path + L'\\' + child;
}

LONG QueryWholeValue(IRegistryBackend& registry, HKEY key, const wchar_t* name, DWORD& type,
                     std::vector<BYTE>& data)
{
    if (data.size() < 1024)
        data.resize(1024);
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        LONG rc = registry.QueryValue(key, name, nullptr, &type, data.data(), &size);
        if (rc == ERROR_MORE_DATA && size > data.size()) {
            data.resize(size);
            continue;
        }
        if (rc == ERROR_MORE_DATA)
            data.resize(data.size() * 2);
        else {
            data.resize(rc == ERROR_SUCCESS ? size : 0);
            return rc;
        }
    }
}

bool ApplyInverse(IRegistryBackend& registry, const std::vector<SJournalOp>& ops)
{
    CKeyCursor cursor(registry);
    bool ok = true;
    for (size_t index = ops.size(); index-- > 0;)
        ok = Inverse(registry, cursor, ops[index]) && ok;
    return ok;
}

bool ApplyForward(IRegistryBackend& registry, const std::vector<SJournalOp>& ops)
{
    CKeyCursor cursor(registry);
    bool ok = true;
    for (const SJournalOp& op : ops) {
        if (!op.failed)
            ok = Forward(registry, cursor, op) && ok;
    }
    return ok;
}

bool MatchesEndState(IRegistryBackend& registry, const std::vector<SJournalOp>& ops)
{
    return Matches(registry, EndState(ops));
}

bool MatchesPriorState(IRegistryBackend& registry, const std::vector<SJournalOp>& ops)
{
    return Matches(registry, PriorState(ops));
}

bool ReadKeyContents(IRegistryBackend& registry, HKEY key, SJournalKey& out,
                     std::vector<std::wstring>& children, size_t& size)
{
    wchar_t classText[1024];
    DWORD classLength = 1024, subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxData = 0;
    if (registry.QueryInfoKey(key, classText, &classLength, nullptr, &subKeys, &maxSubKey, nullptr, &values,
                              &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    out.keyClass.assign(classText, classLength);
    std::vector<wchar_t> name(maxName + 2 > maxSubKey + 2 ? maxName + 2 : maxSubKey + 2);
    std::vector<BYTE> data(maxData + 1);
    for (DWORD index = 0; index < values;) {
        DWORD nameLength = static_cast<DWORD>(name.size()), type = 0,
              dataSize = static_cast<DWORD>(data.size());
        LONG rc =
            registry.EnumValue(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
        if (rc == ERROR_MORE_DATA) { // grew since the figures were read
            name.resize(name.size() * 2);
            data.resize(dataSize > data.size() ? dataSize : data.size() * 2);
            continue;
        }
        if (rc != ERROR_SUCCESS)
            return false;
        out.values.push_back({std::wstring(name.data(), nameLength), type,
                              std::vector<BYTE>(data.begin(), data.begin() + dataSize)});
        size += 12 + nameLength * 2 + dataSize;
        ++index;
    }
    for (DWORD index = 0; index < subKeys; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (registry.EnumKey(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return false;
        children.emplace_back(name.data(), nameLength);
    }
    return true;
}

bool ReadBranch(IRegistryBackend& registry, HKEY root, const std::wstring& path,
                std::vector<SJournalKey>& keys, size_t& size, size_t limit)
{
    HKEY key;
    if (registry.OpenKey(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return true;
    SJournalKey read;
    read.path = path;
    std::vector<std::wstring> children;
    bool ok = ReadKeyContents(registry, key, read, children, size);
    registry.CloseKey(key);
    size += 16 + (path.size() + read.keyClass.size()) * 2;
    keys.push_back(std::move(read));
    if (!ok || size > limit)
        return false;
    for (const std::wstring& child : children) {
        if (!ReadBranch(registry, root, JoinPath(path, child), keys, size, limit))
            return false;
    }
    return true;
}
