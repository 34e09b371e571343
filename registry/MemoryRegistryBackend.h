// An in-memory registry for tests and benchmarks that behaves like the platform's where the
// program relies on it: case-insensitive names, ERROR_MORE_DATA with the required size,
// subkeys in case-insensitive name order, values in name order (or insertion order), deleting a
// key with subkeys refused, handles of deleted keys answering ERROR_KEY_DELETED.
// Fault injection:
//   FailCall(op, n, code)           the n-th call of op from now on returns code
//   AnswerMoreData(op, name, data)  the next call of op returns ERROR_MORE_DATA and writes these
//                                   required lengths (0 leaves a length as the caller gave it)
//   ProtectKey / ProtectValue       deleting that key or value returns ERROR_ACCESS_DENIED
//   CallLog()                       capacities (name characters, data bytes) each call was given
#pragma once

#include "registry/RegistryBackend.h"
#include "shd/String.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class CMemoryRegistryBackend : public IRegistryBackend
{
public:
    struct SCallRecord
    {
        EOperation op;
        DWORD nameCapacity; // characters given for a name (EnumKey, EnumValue), else 0
        DWORD dataCapacity; // bytes given for data (QueryValue, EnumValue; 0 when no buffer)
    };

    CMemoryRegistryBackend();
    ~CMemoryRegistryBackend() override;

    void SetInsertionOrder(bool insertionOrder) { m_insertionOrder = insertionOrder; }
    // Subkeys enumerated in the order they were created instead of name order (no platform
    // promises name order; this shows what relies on it).
    void SetKeyInsertionOrder(bool insertionOrder) { m_keyInsertionOrder = insertionOrder; }
    void FailCall(EOperation op, int nth, LONG code = ERROR_ACCESS_DENIED);
    void AnswerMoreData(EOperation op, DWORD requiredNameLength, DWORD requiredDataSize);
    void ProtectKey(HKEY root, const wchar_t* path);
    void ProtectValue(HKEY root, const wchar_t* path, const wchar_t* name);
    // Called on the calling thread before every operation, outside the back end's lock
    // (for tests that must hold a worker at a known point).
    void SetCallHook(std::function<void(EOperation)> hook) { m_hook = std::move(hook); }
    // Forgets every planned failure and protection.
    void ClearFaults();
    const std::vector<SCallRecord>& CallLog() const { return m_log; }
    void ClearCallLog() { m_log.clear(); }
    // Keys currently open (handles not yet closed), for leak checks.
    size_t OpenHandleCount() const { return m_handles.size(); }

protected:
    LONG DoOpenKey(HKEY parent, const wchar_t* subkey, HKEY* result) override;
    LONG DoCreateKey(HKEY parent, const wchar_t* subkey, const wchar_t* keyClass, HKEY* result,
                     DWORD* disposition) override;
    LONG DoCloseKey(HKEY key) override;
    LONG DoFlushKey(HKEY key) override;
    LONG DoQueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG DoSetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG DoDeleteValue(HKEY key, const wchar_t* name) override;
    LONG DoDeleteKey(HKEY parent, const wchar_t* subkey) override;
    LONG DoEnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength) override;
    LONG DoEnumValue(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength, DWORD* type, BYTE* data,
                     DWORD* size) override;
    LONG DoQueryInfoKey(HKEY key, wchar_t* keyClass, DWORD* classLength, SKeyInfo& info) override;

private:
    struct SValue
    {
        CString name;
        DWORD type;
        std::vector<BYTE> data;
        bool isProtected;
        unsigned long serial; // creation order, for the insertion-order enumeration
    };
    struct SNode
    {
        CString name;
        CString keyClass;
        SNode* parent = nullptr;
        bool deleted = false;
        unsigned long serial = 0; // creation order, for the insertion-order enumeration
        bool isProtected = false;
        std::vector<std::shared_ptr<SNode>> children; // sorted by _wcsicmp
        std::vector<SValue> values;                   // sorted by _wcsicmp
        std::vector<const SValue*> order;             // enumeration order, rebuilt after changes
        bool orderValid = false;
        bool orderByInsertion = false;
        unsigned long nextSerial = 0;
        // RegQueryInfoKeyW's figures, rebuilt after a change: enumerating with name hints asks
        // for them once per item.
        SKeyInfo info;
        bool infoValid = false;
    };
    struct SFault
    {
        EOperation op;
        int remaining;
        LONG code;
    };
    struct SMoreData
    {
        EOperation op;
        DWORD nameLength;
        DWORD dataSize;
    };

    static void Unprotect(SNode& node);
    std::shared_ptr<SNode> Resolve(HKEY key) const;
    std::shared_ptr<SNode> Walk(std::shared_ptr<SNode> node, const wchar_t* path, bool create, bool* created,
                                const wchar_t* keyClass);
    static std::shared_ptr<SNode> FindChild(const SNode& node, const CString& name, size_t* position);
    static SValue* FindValue(SNode& node, const wchar_t* name);
    const std::vector<const SValue*>& OrderedValues(SNode& node) const;
    const SNode& ChildAt(const SNode& node, size_t index) const;
    HKEY NewHandle(const std::shared_ptr<SNode>& node);
    bool Inject(EOperation op, LONG& code);
    LONG LiveNode(EOperation op, HKEY key, std::shared_ptr<SNode>& node);
    void Hook(EOperation op)
    {
        if (m_hook)
            m_hook(op);
    }
    bool InjectMoreData(EOperation op, DWORD* nameLength, DWORD* size);
    void Log(EOperation op, DWORD nameCapacity, DWORD dataCapacity);
    static LONG CopyData(const std::vector<BYTE>& data, DWORD* type, DWORD valueType, BYTE* buffer,
                         DWORD* size);

    CRITICAL_SECTION m_lock;
    std::shared_ptr<SNode> m_roots[4];
    std::map<HKEY, std::shared_ptr<SNode>> m_handles;
    ULONG_PTR m_nextHandle = 0x1000;
    bool m_insertionOrder = false;
    bool m_keyInsertionOrder = false;
    unsigned long m_nextKeySerial = 0;
    std::vector<SFault> m_faults;
    std::vector<SMoreData> m_moreData;
    std::vector<SCallRecord> m_log;
    std::function<void(EOperation)> m_hook;
};
