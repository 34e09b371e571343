// The journal's file: a header and a sequence of records, each with a magic, a kind, a length and
// a checksum, so that a cut, zeroed or foreign file is recognised as damaged.
//   Load(path, records)   reads every record; false when the file exists but is not whole
//   Append(kind, payload) writes one record now; AppendLazy keeps it for the next write
//   Flush()               makes what was written durable (only when something was)
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CJournalFile
{
public:
    struct SRecord
    {
        DWORD kind;
        std::vector<BYTE> payload;
    };

    CJournalFile() = default;
    ~CJournalFile();
    CJournalFile(const CJournalFile&) = delete;
    CJournalFile& operator=(const CJournalFile&) = delete;

    // Reads the file at path. A missing file is an empty journal (true). A damaged one is moved
    // aside under "<path>.damaged" and false is returned; the journal then starts empty.
    bool Load(const std::wstring& path, std::vector<SRecord>& records);
    // Starts the file afresh holding these records (used to drop old entries).
    bool Rewrite(const std::vector<SRecord>& records);

    bool Append(DWORD kind, const std::vector<BYTE>& payload);
    void AppendLazy(DWORD kind, const std::vector<BYTE>& payload);
    // Writes lazily kept records (without flushing).
    bool WritePending();
    bool Flush();
    // Makes the records written ahead of registry writes durable (lazy ones may wait).
    bool FlushWrittenAhead();
    // Bytes in the file, to tell when a rewrite is worth it.
    unsigned long long Size() const { return m_size; }
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }

private:
    static void Encode(std::vector<BYTE>& out, DWORD kind, const std::vector<BYTE>& payload);
    static bool Decode(const std::vector<BYTE>& bytes, std::vector<SRecord>& records);
    bool OpenForAppend();
    bool WriteBytes(const std::vector<BYTE>& bytes);
    void Close();

    std::wstring m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::vector<BYTE> m_pending;
    unsigned long long m_size = 0;
    bool m_dirty = false;
    bool m_aheadDirty = false; // a record written by Append since the last flush
};
