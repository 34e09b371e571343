// Recording of registry changes into the undo journal, in front of the real back end.
#include "journal/RecordingRegistryBackend.h"

#include "journal/JournalReplay.h"
#include "registry/KeyIdentity.h"

namespace {

bool IsRootHandle(HKEY key)
{
    LONG_PTR value = reinterpret_cast<LONG_PTR>(key);
    return value >= static_cast<LONG>(0x80000000) && value <= static_cast<LONG>(0x80000006);
}

std::wstring TrimmedPath(const wchar_t* subkey)
{
    std::wstring path(subkey ? subkey : L"");
    size_t first = path.find_first_not_of(L'\\');
    if (first == std::wstring::npos)
        return std::wstring();
    size_t last = path.find_last_not_of(L'\\');
    return path.substr(first, last - first + 1);
}

// The program's settings and bookmarks are its configuration, not the user's changes.
bool IsConfiguration(const std::wstring& folded)
{
    static const std::wstring bases[] = {FoldedKey(0x80000002, L"SOFTWARE\\Ordwyn\\Keyhaven\\Settings"),
                                         FoldedKey(0x80000002, L"SOFTWARE\\Ordwyn\\Keyhaven\\Bookmarks")};
    for (const std::wstring& base : bases) {
        if (folded.compare(0, base.size(), base) == 0 &&
            (folded.size() == base.size() || folded[base.size()] == L'\\'))
            return true;
    }
    return false;
}

} // namespace

CRecordingRegistryBackend::CRecordingRegistryBackend(IRegistryBackend& inner, CUndoJournal& journal)
    : m_inner(inner), m_journal(journal)
{
    InitializeCriticalSection(&m_lock);
}

CRecordingRegistryBackend::~CRecordingRegistryBackend()
{
    DeleteCriticalSection(&m_lock);
}

bool CRecordingRegistryBackend::Locate(HKEY key, const wchar_t* subkey, SLocation& location)
{
    if (IsRootHandle(key)) {
        location.root = SJournalOp::RootNumber(key);
        location.path = TrimmedPath(subkey);
        return true;
    }
    EnterCriticalSection(&m_lock);
    auto found = m_keys.find(key);
    bool known = found != m_keys.end();
    if (known)
        location = found->second;
    LeaveCriticalSection(&m_lock);
    if (known && subkey)
        location.path = JoinPath(location.path, TrimmedPath(subkey));
    return known;
}

void CRecordingRegistryBackend::Remember(HKEY key, const SLocation& location)
{
    EnterCriticalSection(&m_lock);
    m_keys[key] = location;
    LeaveCriticalSection(&m_lock);
}

bool CRecordingRegistryBackend::Recorded(HKEY key, const wchar_t* subkey, SLocation& location)
{
    if (!m_journal.IsRecording())
        return false;
    if (!Locate(key, subkey, location)) {
        // A key opened before the command: its changes cannot be placed, so the entry cannot be
        // taken back exactly and is not kept.
        m_journal.DropEntry();
        return false;
    }
    return location.root != 0x80000002 || !IsConfiguration(FoldedKey(location.root, location.path));
}

void CRecordingRegistryBackend::Finish(int index, LONG rc)
{
    if (index >= 0 && rc != ERROR_SUCCESS)
        m_journal.MarkFailed(index);
}

LONG CRecordingRegistryBackend::DoOpenKey(HKEY parent, const wchar_t* subkey, HKEY* result)
{
    LONG rc = m_inner.OpenKey(parent, subkey, 0, KEY_ALL_ACCESS, result);
    SLocation location;
    if (rc == ERROR_SUCCESS && Locate(parent, subkey, location))
        Remember(*result, location);
    return rc;
}

// Records a CreateKey op for each level of the path that does not exist yet, parents first.
std::vector<int> CRecordingRegistryBackend::RecordCreate(const SLocation& location, const wchar_t* keyClass)
{
    std::vector<std::wstring> missing;
    for (std::wstring path = location.path; !path.empty();) {
        // A key below one this entry created cannot exist unless the entry created it too.
        if (m_journal.IsKnownKey(location.root, path) ||
            (!m_journal.IsNewKey(location.root, path) && m_journal.KeyExists(location.root, path)))
            break;
        missing.push_back(path);
        size_t slash = path.rfind(L'\\');
        path = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    }
    std::vector<int> indexes;
    for (size_t i = missing.size(); i-- > 0;) {
        SJournalOp op;
        op.kind = SJournalOp::CreateKey;
        op.root = location.root;
        op.path = missing[i];
        op.insideNewKey = m_journal.IsNewKey(location.root, op.path);
        if (i == 0 && keyClass)
            op.keyClass = keyClass;
        indexes.push_back(m_journal.Record(std::move(op)));
    }
    return indexes;
}

LONG CRecordingRegistryBackend::DoCreateKey(HKEY parent, const wchar_t* subkey, const wchar_t* keyClass,
                                            HKEY* result, DWORD* disposition)
{
    SLocation location;
    std::vector<int> created;
    if (Recorded(parent, subkey, location))
        created = RecordCreate(location, keyClass);
    DWORD how = 0;
    LONG rc = m_inner.CreateKey(parent, subkey, 0, const_cast<wchar_t*>(keyClass), 0, KEY_ALL_ACCESS, nullptr,
                                result, &how);
    if (disposition)
        *disposition = how;
    // Found there after all (another program made it meanwhile): nothing of ours to take back.
    LONG outcome = rc == ERROR_SUCCESS && how == REG_OPENED_EXISTING_KEY ? ERROR_ALREADY_EXISTS : rc;
    for (int index : created)
        Finish(index, outcome);
    if (rc == ERROR_SUCCESS && (Locate(parent, subkey, location)))
        Remember(*result, location);
    return rc;
}

LONG CRecordingRegistryBackend::DoCloseKey(HKEY key)
{
    EnterCriticalSection(&m_lock);
    m_keys.erase(key);
    LeaveCriticalSection(&m_lock);
    return m_inner.CloseKey(key);
}

LONG CRecordingRegistryBackend::DoFlushKey(HKEY key)
{
    m_journal.FlushForRegistry();
    return m_inner.FlushKey(key);
}

LONG CRecordingRegistryBackend::DoQueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data,
                                             DWORD* size)
{
    return m_inner.QueryValue(key, name, nullptr, type, data, size);
}

// The value's state before the change; false when it cannot be read (the entry is then dropped).
bool CRecordingRegistryBackend::ReadPrior(HKEY key, const wchar_t* name, SJournalOp& op)
{
    LONG rc = QueryWholeValue(m_inner, key, name, op.priorType, op.priorData);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
        m_journal.DropEntry();
        return false;
    }
    op.hasPrior = true;
    op.priorExists = rc == ERROR_SUCCESS;
    return true;
}

LONG CRecordingRegistryBackend::DoSetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data,
                                           DWORD size)
{
    SLocation location;
    int index = -1;
    if (!IsKeyIdentityMarker(name) && Recorded(key, nullptr, location)) {
        SJournalOp op;
        op.kind = SJournalOp::SetValue;
        op.root = location.root;
        op.path = location.path;
        op.name = name ? name : L"";
        op.type = type;
        op.data.assign(data, data + (data ? size : 0));
        if (m_journal.IsNewKey(location.root, location.path) || ReadPrior(key, name, op))
            index = m_journal.Record(std::move(op));
    }
    LONG rc = m_inner.SetValue(key, name, 0, type, data, size);
    Finish(index, rc);
    return rc;
}

LONG CRecordingRegistryBackend::DoDeleteValue(HKEY key, const wchar_t* name)
{
    SLocation location;
    int index = -1;
    if (!IsKeyIdentityMarker(name) && Recorded(key, nullptr, location)) {
        SJournalOp op;
        op.kind = SJournalOp::DeleteValue;
        op.root = location.root;
        op.path = location.path;
        op.name = name ? name : L"";
        if (m_journal.IsNewKey(location.root, location.path) ||
            m_journal.IsCovered(location.root, location.path) || ReadPrior(key, name, op))
            index = m_journal.Record(std::move(op));
    }
    LONG rc = m_inner.DeleteValue(key, name);
    Finish(index, rc);
    return rc;
}

int CRecordingRegistryBackend::RecordDeleteKey(HKEY parent, const wchar_t* subkey, const SLocation& location)
{
    SJournalOp op;
    op.kind = SJournalOp::DeleteKey;
    op.root = location.root;
    op.path = location.path;
    if (!m_journal.IsNewKey(location.root, location.path) &&
        !m_journal.IsCovered(location.root, location.path)) {
        HKEY key;
        if (m_inner.OpenKey(parent, subkey ? subkey : L"", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return -1; // nothing there to delete
        SJournalKey prior;
        std::vector<std::wstring> children;
        size_t size = 0;
        bool read = ReadKeyContents(m_inner, key, prior, children, size);
        m_inner.CloseKey(key);
        if (!read) {
            m_journal.DropEntry();
            return -1;
        }
        op.hasPrior = op.priorExists = true;
        op.keyClass = std::move(prior.keyClass);
        op.priorValues = std::move(prior.values);
    }
    return m_journal.Record(std::move(op));
}

LONG CRecordingRegistryBackend::DoDeleteKey(HKEY parent, const wchar_t* subkey)
{
    SLocation location;
    int index = -1;
    if (Recorded(parent, subkey, location) && !location.path.empty())
        index = RecordDeleteKey(parent, subkey, location);
    LONG rc = m_inner.DeleteKey(parent, subkey);
    Finish(index, rc);
    return rc;
}

LONG CRecordingRegistryBackend::DoEnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength)
{
    return m_inner.EnumKey(key, index, name, nameLength, nullptr, nullptr, nullptr, nullptr);
}

LONG CRecordingRegistryBackend::DoEnumValue(HKEY key, DWORD index, wchar_t* name, DWORD* nameLength,
                                            DWORD* type, BYTE* data, DWORD* size)
{
    return m_inner.EnumValue(key, index, name, nameLength, nullptr, type, data, size);
}

LONG CRecordingRegistryBackend::DoQueryInfoKey(HKEY key, wchar_t* keyClass, DWORD* classLength,
                                               SKeyInfo& info)
{
    return m_inner.QueryInfoKey(key, keyClass, classLength, nullptr, &info.subKeys, &info.maxSubKeyLength,
                                &info.maxClassLength, &info.values, &info.maxValueNameLength,
                                &info.maxValueLength, nullptr, nullptr);
}
