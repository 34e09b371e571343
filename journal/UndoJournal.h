// The undo journal: one entry per command holding what the command changed, kept in a file so that
// it survives a restart and a crash, with Undo and Redo over the entries, newest first.
//   Open(path)                      reads the file; false when it was damaged and has been reset
//   BeginEntry / EndEntry           around one command (CJournalCommand does this)
//   CaptureBranch(root, path)       reads a branch the command will delete inside, before it
//   CanUndo, UndoName, UndoUnchanged, Undo (and the same for Redo)
// Recording calls may come from a worker thread (the importer); Undo and Redo from the window's.
#pragma once

#include "journal/JournalFile.h"
#include "journal/JournalOp.h"
#include "registry/RegistryBackend.h"

#include <deque>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class CUndoJournal
{
public:
    static constexpr size_t kMaxEntries = 50;
    static constexpr size_t kMaxBytes = 8 * 1024 * 1024;

    enum ECapture
    {
        Captured,
        TooLarge,  // the branch alone passes the bound
        Unreadable // the entry records the deletes one by one instead
    };

    // registry: the back end that undo, redo and the journal's own reads go to (not a recorder).
    explicit CUndoJournal(IRegistryBackend& registry);
    ~CUndoJournal();
    CUndoJournal(const CUndoJournal&) = delete;
    CUndoJournal& operator=(const CUndoJournal&) = delete;

    bool Open(const std::wstring& path);
    void SetLimits(size_t maxEntries, size_t maxBytes);
    size_t MaxBytes() const { return m_maxBytes; }
    IRegistryBackend& Target() { return m_registry; }

    // ---- recording (the recording back end and CJournalCommand) ----
    void BeginEntry(const std::wstring& name);
    void EndEntry();
    // Forgets what the entry recorded and records nothing more of it (the user chose to go on
    // without undo, or the command changed its mind before writing).
    void DropEntry();
    bool IsRecording() const;
    ECapture CaptureBranch(HKEY root, const std::wstring& path);
    // The keys of the branch this entry captured at exactly (root, path), parents first, handed
    // over once (the command deletes through them); empty when that branch was not captured.
    std::vector<std::wstring> TakeCapturedKeys(HKEY root, const std::wstring& path);
    // Adds an op; writes it to the file first when undo needs it. Returns its index, or -1 when
    // the entry is not recorded.
    int Record(SJournalOp&& op);
    void MarkFailed(int index);
    // Makes the file durable before the registry is (called before each RegFlushKey).
    void FlushForRegistry();
    // Knowledge of the entry under way, so that the recorder reads only what it must.
    bool IsNewKey(DWORD root, const std::wstring& path) const;
    bool IsCovered(DWORD root, const std::wstring& path) const;
    bool KeyExists(DWORD root, const std::wstring& path);
    // Created, or found to exist, during the entry (no registry call).
    bool IsKnownKey(DWORD root, const std::wstring& path) const;

    // ---- undo and redo ----
    bool CanUndo() const;
    bool CanRedo() const;
    std::wstring UndoName() const;
    std::wstring RedoName() const;
    // Whether the registry still holds what the entry left (undo) or what undo left (redo).
    bool UndoUnchanged();
    bool RedoUnchanged();
    bool Undo();
    bool Redo();

    size_t EntryCount() const;
    size_t RecordedBytes() const;

private:
    enum ERecordKind : DWORD
    {
        RecBegin = 1,
        RecOp,
        RecFailed,
        RecEnd,
        RecUndone,
        RecRedone,
        RecForget,
        RecNoRedo // the entry keeps only what undo needs
    };
    struct SEntry
    {
        DWORD id = 0;
        std::wstring name;
        std::vector<SJournalOp> ops;
        size_t bytes = 0;
        bool undone = false;
        bool complete = false;
        bool redoable = true;
        // Drops the written data of every op, which only redo needs.
        void ShedForwardData();
    };

    class CLock;

    // Folded key paths: ordered, so that a branch can be removed, and hashed, for the lookups
    // that each of a command's writes makes.
    class CKeySet
    {
    public:
        bool Contains(std::wstring_view key) const { return m_index.count(key) != 0; }
        bool Empty() const { return m_keys.empty(); }
        void Insert(const std::wstring& key);
        void EraseBranch(const std::wstring& key);
        void Clear();

    private:
        std::set<std::wstring, std::less<>> m_keys;
        std::unordered_set<std::wstring_view> m_index; // views of m_keys' elements
    };

    void Replay(const std::vector<CJournalFile::SRecord>& records);
    void ReplayRecord(const CJournalFile::SRecord& record);
    SEntry* FindEntry(DWORD id);
    void StartEntryInFile();
    void DropUndone();
    void Forget(size_t index);
    void KeepWithinBounds(size_t incoming);
    void WriteMark(ERecordKind kind, DWORD id);
    void CompactIfWorthIt();
    int LastDone() const;
    int FirstUndone() const;
    void NoteKeyChange(const SJournalOp& op);

    IRegistryBackend& m_registry;
    CJournalFile m_file;
    mutable CRITICAL_SECTION m_lock;
    std::deque<SEntry> m_entries;
    size_t m_bytes = 0; // sum over m_entries
    size_t m_maxEntries = kMaxEntries;
    size_t m_maxBytes = kMaxBytes;
    DWORD m_nextId = 1;
    // The entry under way.
    bool m_recording = false;
    bool m_started = false; // its first op is in the file
    SEntry m_current;
    CKeySet m_newKeys;
    CKeySet m_existingKeys;
    std::vector<std::wstring> m_covered;
    SJournalOp m_snapshot; // read by CaptureBranch, recorded with the first op
    bool m_haveSnapshot = false;
    // The names CaptureBranch read, for TakeCapturedKeys.
    std::wstring m_capturedAt;
    std::vector<std::wstring> m_capturedKeys;
};
