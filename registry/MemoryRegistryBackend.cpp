// In-memory registry with fault injection.
#include "registry/MemoryRegistryBackend.h"

#include "shd/CriticalSectionLock.h"

#include <algorithm>
#include <cstring>

namespace {

int RootIndex(HKEY key)
{
    ULONG_PTR offset = reinterpret_cast<ULONG_PTR>(key) - reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT);
    return offset < 4 ? static_cast<int>(offset) : -1;
}

bool Less(const CString& a, const CString& b)
{
    return _wcsicmp(a, b) < 0;
}

} // namespace

CMemoryRegistryBackend::CMemoryRegistryBackend()
{
    InitializeCriticalSection(&m_lock);
    for (auto& root : m_roots)
        root = std::make_shared<SNode>();
}

CMemoryRegistryBackend::~CMemoryRegistryBackend()
{
    DeleteCriticalSection(&m_lock);
}

void CMemoryRegistryBackend::FailCall(EOperation op, int nth, LONG code)
{
    CCriticalSectionLock lock(m_lock);
    m_faults.push_back({op, nth, code});
}

void CMemoryRegistryBackend::AnswerMoreData(EOperation op, DWORD requiredNameLength, DWORD requiredDataSize)
{
    CCriticalSectionLock lock(m_lock);
    m_moreData.push_back({op, requiredNameLength, requiredDataSize});
}

void CMemoryRegistryBackend::ProtectKey(HKEY root, const wchar_t* path)
{
    CCriticalSectionLock lock(m_lock);
    if (auto node = Walk(Resolve(root), path, false, nullptr, nullptr))
        node->isProtected = true;
}

void CMemoryRegistryBackend::ProtectValue(HKEY root, const wchar_t* path, const wchar_t* name)
{
    CCriticalSectionLock lock(m_lock);
    if (auto node = Walk(Resolve(root), path, false, nullptr, nullptr)) {
        if (SValue* value = FindValue(*node, name))
            value->isProtected = true;
    }
}

void CMemoryRegistryBackend::ClearFaults()
{
    CCriticalSectionLock lock(m_lock);
    m_faults.clear();
    m_moreData.clear();
    for (auto& root : m_roots)
        Unprotect(*root);
}

void CMemoryRegistryBackend::Unprotect(SNode& node)
{
    node.isProtected = false;
    for (SValue& value : node.values)
        value.isProtected = false;
    for (auto& child : node.children)
        Unprotect(*child);
}

// Every planned failure of op counts this call, so several planned for the same operation
// each fire at their own call.
bool CMemoryRegistryBackend::Inject(EOperation op, LONG& code)
{
    for (SFault& fault : m_faults) {
        if (fault.op == op && fault.remaining > 0)
            --fault.remaining;
    }
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->op == op && it->remaining <= 0) {
            code = it->code;
            m_faults.erase(it);
            return true;
        }
    }
    return false;
}

bool CMemoryRegistryBackend::InjectMoreData(EOperation op, DWORD* nameLength, DWORD* size)
{
    for (auto it = m_moreData.begin(); it != m_moreData.end(); ++it) {
        if (it->op != op)
            continue;
        if (nameLength && it->nameLength)
            *nameLength = it->nameLength;
        if (size && it->dataSize)
            *size = it->dataSize;
        m_moreData.erase(it);
        return true;
    }
    return false;
}

void CMemoryRegistryBackend::Log(EOperation op, DWORD nameCapacity, DWORD dataCapacity)
{
    m_log.push_back({op, nameCapacity, dataCapacity});
}

std::shared_ptr<CMemoryRegistryBackend::SNode> CMemoryRegistryBackend::Resolve(HKEY key) const
{
    int root = RootIndex(key);
    if (root >= 0)
        return m_roots[root];
    auto it = m_handles.find(key);
    return it == m_handles.end() ? nullptr : it->second;
}

std::shared_ptr<CMemoryRegistryBackend::SNode>
CMemoryRegistryBackend::FindChild(const SNode& node, const CString& name, size_t* position)
{
    auto it = std::lower_bound(
        node.children.begin(), node.children.end(), name,
        [](const std::shared_ptr<SNode>& child, const CString& n) { return Less(child->name, n); });
    if (position)
        *position = static_cast<size_t>(it - node.children.begin());
    if (it != node.children.end() && (*it)->name.CompareNoCase(name) == 0)
        return *it;
    return nullptr;
}

// Follows a backslash-separated path as Wine's registry does: a leading backslash is refused,
// empty components after the first are skipped ("a\\b\" is "a\b"), names hold up to 256
// characters.
std::shared_ptr<CMemoryRegistryBackend::SNode> CMemoryRegistryBackend::Walk(std::shared_ptr<SNode> node,
                                                                            const wchar_t* path, bool create,
                                                                            bool* created,
                                                                            const wchar_t* keyClass)
{
    if (created)
        *created = false;
    if (!node || node->deleted)
        return nullptr;
    const wchar_t* p = path ? path : L"";
    if (*p == L'\\')
        return nullptr;
    while (*p) {
        const wchar_t* end = wcschr(p, L'\\');
        int length = end ? static_cast<int>(end - p) : static_cast<int>(wcslen(p));
        if (length == 0) {
            ++p;
            continue;
        }
        if (length > 256)
            return nullptr;
        CString name(p, length);
        size_t position = 0;
        std::shared_ptr<SNode> child = FindChild(*node, name, &position);
        if (!child) {
            if (!create)
                return nullptr;
            child = std::make_shared<SNode>();
            child->name = name;
            child->parent = node.get();
            child->serial = m_nextKeySerial++;
            node->children.insert(node->children.begin() + static_cast<long>(position), child);
            node->infoValid = false;
            if (created)
                *created = true;
        }
        node = child;
        p = end ? end + 1 : p + length;
    }
    if (created && *created && keyClass)
        node->keyClass = keyClass;
    return node;
}

CMemoryRegistryBackend::SValue* CMemoryRegistryBackend::FindValue(SNode& node, const wchar_t* name)
{
    const wchar_t* key = name ? name : L"";
    auto it =
        std::lower_bound(node.values.begin(), node.values.end(), key,
                         [](const SValue& value, const wchar_t* n) { return _wcsicmp(value.name, n) < 0; });
    return (it != node.values.end() && _wcsicmp(it->name, key) == 0) ? &*it : nullptr;
}

const std::vector<const CMemoryRegistryBackend::SValue*>&
CMemoryRegistryBackend::OrderedValues(SNode& node) const
{
    if (node.orderValid && node.orderByInsertion == m_insertionOrder)
        return node.order;
    node.order.clear();
    for (const SValue& value : node.values)
        node.order.push_back(&value);
    if (m_insertionOrder)
        std::sort(node.order.begin(), node.order.end(),
                  [](const SValue* a, const SValue* b) { return a->serial < b->serial; });
    node.orderValid = true;
    node.orderByInsertion = m_insertionOrder;
    return node.order;
}

const CMemoryRegistryBackend::SNode& CMemoryRegistryBackend::ChildAt(const SNode& node, size_t index) const
{
    if (!m_keyInsertionOrder)
        return *node.children[index];
    std::vector<const SNode*> order;
    for (const auto& child : node.children)
        order.push_back(child.get());
    std::sort(order.begin(), order.end(),
              [](const SNode* a, const SNode* b) { return a->serial < b->serial; });
    return *order[index];
}

HKEY CMemoryRegistryBackend::NewHandle(const std::shared_ptr<SNode>& node)
{
    HKEY handle = reinterpret_cast<HKEY>(m_nextHandle);
    m_nextHandle += 4;
    m_handles[handle] = node;
    return handle;
}

// Under the lock: a planned failure of the operation, else the live key behind the handle.
LONG CMemoryRegistryBackend::LiveNode(EOperation op, HKEY key, std::shared_ptr<SNode>& node)
{
    LONG code;
    if (Inject(op, code))
        return code;
    node = Resolve(key);
    if (!node)
        return ERROR_INVALID_HANDLE;
    return node->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

LONG CMemoryRegistryBackend::DoOpenKey(HKEY parent, const wchar_t* subkey, HKEY* result)
{
    Hook(OpOpenKey);
    CCriticalSectionLock lock(m_lock);
    std::shared_ptr<SNode> base;
    LONG code = LiveNode(OpOpenKey, parent, base);
    if (code != ERROR_SUCCESS)
        return code;
    std::shared_ptr<SNode> node = Walk(base, subkey, false, nullptr, nullptr);
    if (!node)
        return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(node);
    return ERROR_SUCCESS;
}

LONG CMemoryRegistryBackend::DoCreateKey(HKEY parent, const wchar_t* subkey, const wchar_t* keyClass,
                                         HKEY* result, DWORD* disposition)
{
    Hook(OpCreateKey);
    CCriticalSectionLock lock(m_lock);
    std::shared_ptr<SNode> base;
    LONG code = LiveNode(OpCreateKey, parent, base);
    if (code != ERROR_SUCCESS)
        return code;
    bool created = false;
    std::shared_ptr<SNode> node = Walk(base, subkey, true, &created, keyClass);
    if (!node)
        return ERROR_INVALID_PARAMETER;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(node);
    return ERROR_SUCCESS;
}

LONG CMemoryRegistryBackend::DoCloseKey(HKEY key)
{
    Hook(OpCloseKey);
    CCriticalSectionLock lock(m_lock);
    LONG code;
    if (Inject(OpCloseKey, code))
        return code;
    if (RootIndex(key) >= 0)
        return ERROR_SUCCESS;
    return m_handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG CMemoryRegistryBackend::DoFlushKey(HKEY key)
{
    Hook(OpFlushKey);
    CCriticalSectionLock lock(m_lock);
    std::shared_ptr<SNode> node;
    return LiveNode(OpFlushKey, key, node);
}

LONG CMemoryRegistryBackend::CopyData(const std::vector<BYTE>& data, DWORD* type, DWORD valueType,
                                      BYTE* buffer, DWORD* size)
{
    if (type)
        *type = valueType;
    DWORD needed = static_cast<DWORD>(data.size());
    if (!size)
        return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (buffer && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (buffer && needed)
        memcpy(buffer, data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG CMemoryRegistryBackend::DoQueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size)
{
    Hook(OpQueryValue);
    CCriticalSectionLock lock(m_lock);
    Log(OpQueryValue, 0, (data && size) ? *size : 0);
    std::shared_ptr<SNode> node;
    LONG code = LiveNode(OpQueryValue, key, node);
    if (code != ERROR_SUCCESS)
        return code;
    SValue* value = FindValue(*node, name);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (data && InjectMoreData(OpQueryValue, nullptr, size))
        return ERROR_MORE_DATA;
    return CopyData(value->data, type, value->type, data, size);
}

LONG CMemoryRegistryBackend::DoSetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data,
                                        DWORD size)
{
    Hook(OpSetValue);
    CCriticalSectionLock lock(m_lock);
    std::shared_ptr<SNode> node;
    LONG code = LiveNode(OpSetValue, key, node);
    if (code != ERROR_SUCCESS)
        return code;
    if (!data && size)
        return ERROR_NOACCESS;
    SValue* value = FindValue(*node, name);
    if (!value) {
        CString valueName(name ? name : L"");
        auto position = std::lower_bound(node->values.begin(), node->values.end(), valueName,
                                         [](const SValue& v, const CString& n) { return Less(v.name, n); });
        value = &*node->values.insert(position, {valueName, type, {}, false, node->nextSerial++});
        node->orderValid = false;
    }
    value->type = type;
    value->data.assign(data, data + size);
    node->infoValid = false;
    return ERROR_SUCCESS;
}

LONG CMemoryRegistryBackend::DoDeleteValue(HKEY key, const wchar_t* name)
{
    Hook(OpDeleteValue);
    CCriticalSectionLock lock(m_lock);
    std::shared_ptr<SNode> node;
    LONG code = LiveNode(OpDeleteValue, key, node);
    if (code != ERROR_SUCCESS)
        return code;
    SValue* value = FindValue(*node, name);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (value->isProtected)
        return ERROR_ACCESS_DENIED;
    node->values.erase(node->values.begin() + (value - node->values.data()));
    node->orderValid = false;
    node->infoValid = false;
    return ERROR_SUCCESS;
}

LONG CMemoryRegistryBackend::DoDeleteKey(HKEY parent, const wchar_t* subkey)
{
    Hook(OpDeleteKey);
    CCriticalSectionLock lock(m_lock);
    LONG code;
    if (Inject(OpDeleteKey, code))
        return code;
    std::shared_ptr<SNode> base = Resolve(parent);
    if (!base)
        return ERROR_INVALID_HANDLE;
    std::shared_ptr<SNode> node = Walk(base, subkey, false, nullptr, nullptr);
    if (!node)
        return base->deleted ? ERROR_KEY_DELETED : ERROR_FILE_NOT_FOUND;
    if (!node->parent)
        return ERROR_ACCESS_DENIED; // a root
    if (!node->children.empty() || node->isProtected)
        return ERROR_ACCESS_DENIED;
    SNode* owner = node->parent;
    size_t position = 0;
    FindChild(*owner, node->name, &position);
    owner->children.erase(owner->children.begin() + static_cast<long>(position));
    owner->infoValid = false;
    node->deleted = true;
    node->parent = nullptr;
    return ERROR_SUCCESS;
}

LONG CMemoryRegistryBackend::DoEnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength)
{
    Hook(OpEnumKey);
    CCriticalSectionLock lock(m_lock);
    Log(OpEnumKey, nameLength ? *nameLength : 0, 0);
    std::shared_ptr<SNode> node;
    LONG code = LiveNode(OpEnumKey, key, node);
    if (code != ERROR_SUCCESS)
        return code;
    if (index >= node->children.size())
        return ERROR_NO_MORE_ITEMS;
    if (InjectMoreData(OpEnumKey, nameLength, nullptr))
        return ERROR_MORE_DATA;
    const CString& childName = ChildAt(*node, index).name;
    DWORD length = static_cast<DWORD>(childName.GetLength());
    if (!nameLength || length >= *nameLength) {
        if (nameLength)
            *nameLength = length;
        return ERROR_MORE_DATA;
    }
    wmemcpy(name, childName.c_str(), length + 1);
    *nameLength = length;
    return ERROR_SUCCESS;
}

LONG CMemoryRegistryBackend::DoEnumValue(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength, DWORD* type,
                                         BYTE* data, DWORD* size)
{
    Hook(OpEnumValue);
    CCriticalSectionLock lock(m_lock);
    Log(OpEnumValue, nameLength ? *nameLength : 0, (data && size) ? *size : 0);
    std::shared_ptr<SNode> node;
    LONG code = LiveNode(OpEnumValue, key, node);
    if (code != ERROR_SUCCESS)
        return code;
    const std::vector<const SValue*>& values = OrderedValues(*node);
    if (index >= values.size())
        return ERROR_NO_MORE_ITEMS;
    if (InjectMoreData(OpEnumValue, nameLength, data ? size : nullptr))
        return ERROR_MORE_DATA;
    const SValue& value = *values[index];
    DWORD length = static_cast<DWORD>(value.name.GetLength());
    bool nameFits = nameLength && length < *nameLength;
    bool dataFits = !data || (size && *size >= value.data.size());
    if (nameLength)
        *nameLength = length;
    if (!nameFits || !dataFits) {
        if (size)
            *size = static_cast<DWORD>(value.data.size());
        return ERROR_MORE_DATA;
    }
    wmemcpy(name, value.name.c_str(), length + 1);
    return CopyData(value.data, type, value.type, data, size);
}

LONG CMemoryRegistryBackend::DoQueryInfoKey(HKEY key, wchar_t* keyClass, DWORD* classLength, SKeyInfo& info)
{
    Hook(OpQueryInfoKey);
    CCriticalSectionLock lock(m_lock);
    std::shared_ptr<SNode> node;
    LONG code = LiveNode(OpQueryInfoKey, key, node);
    if (code != ERROR_SUCCESS)
        return code;
    if (keyClass || classLength) {
        DWORD length = static_cast<DWORD>(node->keyClass.GetLength());
        if (keyClass && classLength) {
            if (length >= *classLength) {
                *classLength = length;
                return ERROR_MORE_DATA;
            }
            wmemcpy(keyClass, node->keyClass.c_str(), length + 1);
        }
        if (classLength)
            *classLength = length;
    }
    if (!node->infoValid) {
        SKeyInfo& figures = node->info;
        figures = SKeyInfo();
        figures.subKeys = static_cast<DWORD>(node->children.size());
        for (const auto& child : node->children) {
            figures.maxSubKeyLength = std::max<DWORD>(figures.maxSubKeyLength, child->name.GetLength());
            figures.maxClassLength = std::max<DWORD>(figures.maxClassLength, child->keyClass.GetLength());
        }
        figures.values = static_cast<DWORD>(node->values.size());
        for (const SValue& value : node->values) {
            figures.maxValueNameLength = std::max<DWORD>(figures.maxValueNameLength, value.name.GetLength());
            figures.maxValueLength =
                std::max<DWORD>(figures.maxValueLength, static_cast<DWORD>(value.data.size()));
        }
        node->infoValid = true;
    }
    info = node->info;
    return ERROR_SUCCESS;
}
