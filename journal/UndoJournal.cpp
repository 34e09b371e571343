// Entries of the undo journal: recording, bounds, the file's records, undo and redo.
#include "journal/UndoJournal.h"

#include "journal/JournalReplay.h"

class CUndoJournal::CLock
{
public:
    explicit CLock(CRITICAL_SECTION& section) : m_section(section) { EnterCriticalSection(&m_section); }
    ~CLock() { LeaveCriticalSection(&m_section); }
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

namespace {

std::vector<BYTE> IdPayload(DWORD id)
{
    std::vector<BYTE> payload;
    PutDword(payload, id);
    return payload;
}

bool IsSameOrBelow(const std::wstring& folded, const std::wstring& base)
{
    return folded.size() >= base.size() && folded.compare(0, base.size(), base) == 0 &&
           (folded.size() == base.size() || folded[base.size()] == L'\\');
}

} // namespace

void CUndoJournal::CKeySet::Insert(const std::wstring& key)
{
    auto inserted = m_keys.insert(key);
    if (inserted.second)
        m_index.insert(*inserted.first);
}

void CUndoJournal::CKeySet::EraseBranch(const std::wstring& key)
{
    auto erase = [this](std::set<std::wstring, std::less<>>::iterator it) {
        m_index.erase(*it); // before the element its view shows goes
        return m_keys.erase(it);
    };
    auto self = m_keys.find(key);
    if (self != m_keys.end())
        erase(self);
    const std::wstring below = key + L'\\';
    for (auto it = m_keys.lower_bound(below); it != m_keys.end() && it->compare(0, below.size(), below) == 0;)
        it = erase(it);
}

void CUndoJournal::CKeySet::Clear()
{
    m_index.clear();
    m_keys.clear();
}

CUndoJournal::CUndoJournal(IRegistryBackend& registry) : m_registry(registry)
{
    InitializeCriticalSection(&m_lock);
}

CUndoJournal::~CUndoJournal()
{
    m_file.Flush(); // marks kept for the next write (dropped entries) are not lost at exit
    DeleteCriticalSection(&m_lock);
}

bool CUndoJournal::Open(const std::wstring& path)
{
    CLock lock(m_lock);
    m_entries.clear();
    m_bytes = 0;
    std::vector<CJournalFile::SRecord> records;
    bool whole = m_file.Load(path, records);
    Replay(records);
    KeepWithinBounds(0);
    CompactIfWorthIt();
    return whole;
}

void CUndoJournal::SetLimits(size_t maxEntries, size_t maxBytes)
{
    CLock lock(m_lock);
    m_maxEntries = maxEntries;
    m_maxBytes = maxBytes;
}

namespace {

SJournalOp Placeholder(SJournalOp::EKind kind)
{
    SJournalOp op;
    op.kind = kind;
    op.placeholder = true;
    return op;
}

} // namespace

void CUndoJournal::SEntry::ShedForwardData()
{
    redoable = false;
    bytes = 0;
    for (SJournalOp& op : ops) {
        if (!op.HasInverse())
            op = Placeholder(op.kind);
        std::vector<BYTE>().swap(op.data);
        op.forwardDropped = op.kind == SJournalOp::SetValue;
        bytes += op.Size();
    }
}

// ---- reading the file back ----

void CUndoJournal::Replay(const std::vector<CJournalFile::SRecord>& records)
{
    for (const CJournalFile::SRecord& record : records)
        ReplayRecord(record);
    m_bytes = 0;
    for (const SEntry& entry : m_entries)
        m_bytes += entry.bytes;
}

void CUndoJournal::ReplayRecord(const CJournalFile::SRecord& record)
{
    const BYTE* cursor = record.payload.data();
    const BYTE* end = cursor + record.payload.size();
    DWORD id = 0;
    if (!GetDword(cursor, end, id))
        return;
    if (id >= m_nextId)
        m_nextId = id + 1;
    SEntry* entry = FindEntry(id);
    if (record.kind == RecBegin) {
        DropUndone();
        m_entries.emplace_back();
        m_entries.back().id = id;
        GetString(cursor, end, m_entries.back().name);
        return;
    }
    if (!entry)
        return;
    SJournalOp op;
    DWORD index = 0;
    switch (record.kind) {
    case RecOp:
        if (op.Deserialize(cursor, end)) {
            entry->bytes += op.Size();
            entry->ops.push_back(std::move(op));
        }
        break;
    case RecFailed:
        if (GetDword(cursor, end, index) && index < entry->ops.size())
            entry->ops[index].failed = true;
        break;
    case RecEnd:
        entry->complete = true;
        break;
    case RecNoRedo:
        entry->ShedForwardData();
        break;
    case RecUndone:
    case RecRedone:
        entry->undone = record.kind == RecUndone;
        break;
    case RecForget:
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].id == id)
                m_entries.erase(m_entries.begin() + i);
        }
        break;
    }
}

CUndoJournal::SEntry* CUndoJournal::FindEntry(DWORD id)
{
    for (size_t i = m_entries.size(); i-- > 0;) {
        if (m_entries[i].id == id)
            return &m_entries[i];
    }
    return nullptr;
}

// ---- bounds and the file ----

void CUndoJournal::DropUndone()
{
    while (!m_entries.empty() && m_entries.back().undone) {
        m_bytes -= m_entries.back().bytes;
        m_entries.pop_back();
    }
}

void CUndoJournal::Forget(size_t index)
{
    WriteMark(RecForget, m_entries[index].id);
    m_bytes -= m_entries[index].bytes;
    m_entries.erase(m_entries.begin() + index);
}

void CUndoJournal::KeepWithinBounds(size_t incoming)
{
    size_t room = incoming ? 1 : 0;
    while (!m_entries.empty() && (m_entries.size() + room > m_maxEntries || m_bytes + incoming > m_maxBytes))
        Forget(0);
}

void CUndoJournal::WriteMark(ERecordKind kind, DWORD id)
{
    m_file.AppendLazy(kind, IdPayload(id));
}

void CUndoJournal::CompactIfWorthIt()
{
    if (m_file.Size() < 2 * (m_bytes + m_current.bytes) + 1024 * 1024)
        return;
    std::vector<CJournalFile::SRecord> records;
    auto add = [&records](DWORD kind, const SEntry& entry, const SJournalOp* op) {
        std::vector<BYTE> payload = IdPayload(entry.id);
        if (kind == RecBegin)
            PutString(payload, entry.name);
        if (op)
            op->Serialize(payload);
        records.push_back({kind, std::move(payload)});
    };
    for (const SEntry& entry : m_entries) {
        add(RecBegin, entry, nullptr);
        if (!entry.redoable)
            add(RecNoRedo, entry, nullptr);
        for (const SJournalOp& op : entry.ops)
            add(RecOp, entry, &op);
        if (entry.complete)
            add(RecEnd, entry, nullptr);
    }
    // Undone marks after every Begin: reading a Begin drops the undone entries before it.
    for (const SEntry& entry : m_entries) {
        if (entry.undone)
            add(RecUndone, entry, nullptr);
    }
    m_file.Rewrite(records);
}

// ---- recording ----

void CUndoJournal::BeginEntry(const std::wstring& name)
{
    CLock lock(m_lock);
    m_recording = true;
    m_started = false;
    m_current = SEntry();
    m_current.name = name;
    m_newKeys.Clear();
    m_existingKeys.Clear();
    m_covered.clear();
    m_snapshot = SJournalOp();
    m_haveSnapshot = false;
    m_capturedAt.clear();
    m_capturedKeys.clear();
}

bool CUndoJournal::IsRecording() const
{
    CLock lock(m_lock);
    return m_recording;
}

void CUndoJournal::EndEntry()
{
    CLock lock(m_lock);
    if (m_recording && m_started) {
        m_current.complete = true;
        WriteMark(RecEnd, m_current.id);
        m_file.Flush();
        m_entries.push_back(std::move(m_current));
        m_bytes += m_entries.back().bytes;
        KeepWithinBounds(0);
        CompactIfWorthIt();
    }
    m_recording = false;
    m_current = SEntry();
}

void CUndoJournal::DropEntry()
{
    CLock lock(m_lock);
    if (m_recording && m_started) {
        WriteMark(RecForget, m_current.id);
        m_file.Flush();
    }
    m_recording = false;
    m_current = SEntry();
}

CUndoJournal::ECapture CUndoJournal::CaptureBranch(HKEY root, const std::wstring& path)
{
    SJournalOp snapshot;
    snapshot.kind = SJournalOp::Snapshot;
    snapshot.root = SJournalOp::RootNumber(root);
    snapshot.path = path;
    size_t size = 0;
    bool whole = ReadBranch(m_registry, root, path, snapshot.branch, size, m_maxBytes);
    CLock lock(m_lock);
    if (!whole)
        return size > m_maxBytes ? TooLarge : Unreadable;
    if (!m_recording)
        return Captured;
    m_covered.push_back(FoldedKey(snapshot.root, path));
    m_capturedAt = FoldedKey(snapshot.root, path);
    m_capturedKeys.clear();
    m_capturedKeys.reserve(snapshot.branch.size());
    for (const SJournalKey& key : snapshot.branch)
        m_capturedKeys.push_back(key.path);
    if (m_started) {
        Record(std::move(snapshot));
        return Captured;
    }
    // Recorded with the entry's first change, so that a command that stops here leaves nothing.
    m_snapshot = std::move(snapshot);
    m_haveSnapshot = true;
    return Captured;
}

std::vector<std::wstring> CUndoJournal::TakeCapturedKeys(HKEY root, const std::wstring& path)
{
    CLock lock(m_lock);
    std::vector<std::wstring> keys;
    if (m_recording && !m_capturedAt.empty() && m_capturedAt == FoldedKey(SJournalOp::RootNumber(root), path))
        keys.swap(m_capturedKeys);
    m_capturedAt.clear();
    m_capturedKeys.clear();
    return keys;
}

void CUndoJournal::StartEntryInFile()
{
    m_started = true;
    m_current.id = m_nextId++;
    DropUndone();
    KeepWithinBounds(1);
    std::vector<BYTE> payload = IdPayload(m_current.id);
    PutString(payload, m_current.name);
    m_file.AppendLazy(RecBegin, payload);
    if (m_haveSnapshot) {
        m_haveSnapshot = false;
        SJournalOp snapshot = std::move(m_snapshot);
        m_recording = true;
        Record(std::move(snapshot));
    }
}

int CUndoJournal::Record(SJournalOp&& op)
{
    CLock lock(m_lock);
    if (!m_recording)
        return -1;
    bool first = !m_started;
    if (first)
        StartEntryInFile();
    if (!m_recording)
        return -1;
    size_t size = op.Size();
    // Past the bound the entry keeps only what undo needs: undoing a large import must not
    // depend on keeping every byte it wrote.
    if (m_current.redoable && m_current.bytes + size > m_maxBytes) {
        m_current.ShedForwardData();
        WriteMark(RecNoRedo, m_current.id);
    }
    if (!m_current.redoable) {
        // What undo does not need is not kept at all (a large import into new keys).
        if (!op.HasInverse()) {
            NoteKeyChange(op);
            return -1;
        }
        size -= op.ForwardSize();
        std::vector<BYTE>().swap(op.data);
        op.forwardDropped = op.kind == SJournalOp::SetValue;
    }
    KeepWithinBounds(m_current.bytes + size);
    if (m_current.bytes + size > m_maxBytes) {
        DropEntry();
        return -1;
    }
    NoteKeyChange(op);
    std::vector<BYTE> payload = IdPayload(m_current.id);
    op.Serialize(payload);
    if (op.HasInverse() || first)
        m_file.Append(RecOp, payload);
    else
        m_file.AppendLazy(RecOp, payload);
    if (first)
        m_file.Flush();
    m_current.bytes += size;
    m_current.ops.push_back(std::move(op));
    return static_cast<int>(m_current.ops.size() - 1);
}

void CUndoJournal::NoteKeyChange(const SJournalOp& op)
{
    std::wstring folded = FoldedKey(op.root, op.path);
    if (op.kind == SJournalOp::CreateKey) {
        m_newKeys.Insert(folded);
        m_existingKeys.Insert(folded);
    } else if (op.kind == SJournalOp::DeleteKey) {
        m_newKeys.EraseBranch(folded);
        m_existingKeys.EraseBranch(folded);
    }
}

void CUndoJournal::MarkFailed(int index)
{
    CLock lock(m_lock);
    if (!m_recording || index < 0 || static_cast<size_t>(index) >= m_current.ops.size())
        return;
    m_current.ops[index].failed = true;
    std::vector<BYTE> payload = IdPayload(m_current.id);
    PutDword(payload, static_cast<DWORD>(index));
    m_file.AppendLazy(RecFailed, payload);
}

void CUndoJournal::FlushForRegistry()
{
    CLock lock(m_lock);
    m_file.FlushWrittenAhead();
}

bool CUndoJournal::IsNewKey(DWORD root, const std::wstring& path) const
{
    CLock lock(m_lock);
    if (m_newKeys.Empty())
        return false;
    const std::wstring folded = FoldedKey(root, path);
    const std::wstring_view view(folded);
    size_t rootEnd = folded.find(L'\\');
    for (size_t end = folded.size(); end != std::wstring::npos && end > rootEnd + 1;
         end = folded.rfind(L'\\', end - 1)) {
        if (m_newKeys.Contains(view.substr(0, end)))
            return true;
    }
    return false;
}

bool CUndoJournal::IsCovered(DWORD root, const std::wstring& path) const
{
    CLock lock(m_lock);
    std::wstring folded = FoldedKey(root, path);
    for (const std::wstring& base : m_covered) {
        if (IsSameOrBelow(folded, base))
            return true;
    }
    return false;
}

bool CUndoJournal::IsKnownKey(DWORD root, const std::wstring& path) const
{
    CLock lock(m_lock);
    return m_existingKeys.Contains(FoldedKey(root, path));
}

bool CUndoJournal::KeyExists(DWORD root, const std::wstring& path)
{
    std::wstring folded = FoldedKey(root, path);
    {
        CLock lock(m_lock);
        if (m_existingKeys.Contains(folded))
            return true;
    }
    HKEY key;
    HKEY rootKey = SJournalOp::RootHandle(root);
    if (m_registry.OpenKey(rootKey, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    m_registry.CloseKey(key);
    CLock lock(m_lock);
    m_existingKeys.Insert(folded);
    return true;
}

// ---- undo and redo ----

int CUndoJournal::LastDone() const
{
    for (size_t i = m_entries.size(); i-- > 0;) {
        if (!m_entries[i].undone)
            return static_cast<int>(i);
    }
    return -1;
}

int CUndoJournal::FirstUndone() const
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].undone)
            return static_cast<int>(i);
    }
    return -1;
}

bool CUndoJournal::CanUndo() const
{
    CLock lock(m_lock);
    return LastDone() >= 0;
}

bool CUndoJournal::CanRedo() const
{
    CLock lock(m_lock);
    int index = FirstUndone();
    return index >= 0 && m_entries[index].redoable;
}

std::wstring CUndoJournal::UndoName() const
{
    CLock lock(m_lock);
    int index = LastDone();
    return index < 0 ? std::wstring() : m_entries[index].name;
}

std::wstring CUndoJournal::RedoName() const
{
    CLock lock(m_lock);
    int index = FirstUndone();
    return index < 0 || !m_entries[index].redoable ? std::wstring() : m_entries[index].name;
}

bool CUndoJournal::UndoUnchanged()
{
    CLock lock(m_lock);
    int index = LastDone();
    return index < 0 || MatchesEndState(m_registry, m_entries[index].ops);
}

bool CUndoJournal::RedoUnchanged()
{
    CLock lock(m_lock);
    int index = FirstUndone();
    return index < 0 || MatchesPriorState(m_registry, m_entries[index].ops);
}

bool CUndoJournal::Undo()
{
    CLock lock(m_lock);
    int index = LastDone();
    if (index < 0)
        return false;
    SEntry& entry = m_entries[index];
    bool ok = ApplyInverse(m_registry, entry.ops);
    entry.undone = true;
    WriteMark(RecUndone, entry.id);
    m_file.Flush();
    return ok;
}

bool CUndoJournal::Redo()
{
    CLock lock(m_lock);
    int index = FirstUndone();
    if (index < 0 || !m_entries[index].redoable)
        return false;
    SEntry& entry = m_entries[index];
    // The mark first: a crash during redo leaves an entry that Undo takes back whole.
    entry.undone = false;
    WriteMark(RecRedone, entry.id);
    m_file.Flush();
    return ApplyForward(m_registry, entry.ops);
}

size_t CUndoJournal::EntryCount() const
{
    CLock lock(m_lock);
    return m_entries.size();
}

size_t CUndoJournal::RecordedBytes() const
{
    CLock lock(m_lock);
    return m_bytes;
}
