// Reading, appending and rewriting the journal's file.
#include "journal/JournalFile.h"

#include "journal/JournalOp.h"

namespace {

const DWORD kRecordMagic = 0x524A5648; // "HVJR"
const BYTE kFileMagic[8] = {'H', 'V', 'L', 'T', 'J', 'R', 'N', '1'};

DWORD Checksum(DWORD kind, const BYTE* payload, size_t length)
{
    DWORD hash = 2166136261u ^ kind;
    hash = (hash ^ static_cast<DWORD>(length)) * 16777619u;
    for (size_t i = 0; i < length; ++i)
        hash = (hash ^ payload[i]) * 16777619u;
    return hash;
}

bool ReadWholeFile(HANDLE file, std::vector<BYTE>& bytes)
{
    DWORD high = 0, low = GetFileSize(file, &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > 0x40000000)
        return false;
    bytes.resize(low);
    DWORD read = 0;
    return low == 0 || (ReadFile(file, bytes.data(), low, &read, nullptr) && read == low);
}

} // namespace

CJournalFile::~CJournalFile()
{
    Close();
}

void CJournalFile::Close()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
}

void CJournalFile::Encode(std::vector<BYTE>& out, DWORD kind, const std::vector<BYTE>& payload)
{
    PutDword(out, kRecordMagic);
    PutDword(out, kind);
    PutDword(out, static_cast<DWORD>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    PutDword(out, Checksum(kind, payload.data(), payload.size()));
}

bool CJournalFile::Decode(const std::vector<BYTE>& bytes, std::vector<SRecord>& records)
{
    if (bytes.size() < sizeof kFileMagic || memcmp(bytes.data(), kFileMagic, sizeof kFileMagic) != 0)
        return false;
    const BYTE* cursor = bytes.data() + sizeof kFileMagic;
    const BYTE* end = bytes.data() + bytes.size();
    while (cursor != end) {
        DWORD magic, kind, length, checksum;
        if (!GetDword(cursor, end, magic) || magic != kRecordMagic || !GetDword(cursor, end, kind) ||
            !GetDword(cursor, end, length) || static_cast<size_t>(end - cursor) < length + 4ull)
            return false;
        const BYTE* payload = cursor;
        cursor += length;
        if (!GetDword(cursor, end, checksum) || checksum != Checksum(kind, payload, length))
            return false;
        records.push_back({kind, std::vector<BYTE>(payload, payload + length)});
    }
    return true;
}

bool CJournalFile::Load(const std::wstring& path, std::vector<SRecord>& records)
{
    Close();
    m_path = path;
    records.clear();
    std::wstring rewritten = path + L".new";
    // A rewrite stopped between removing the old file and renaming the new one left only the new.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetFileAttributesW(rewritten.c_str()) != INVALID_FILE_ATTRIBUTES)
        MoveFileW(rewritten.c_str(), path.c_str());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    bool whole = true;
    if (file != INVALID_HANDLE_VALUE) {
        std::vector<BYTE> bytes;
        whole = ReadWholeFile(file, bytes) && Decode(bytes, records);
        CloseHandle(file);
        if (!whole) {
            records.clear();
            std::wstring aside = path + L".damaged";
            DeleteFileW(aside.c_str());
            if (!MoveFileW(path.c_str(), aside.c_str()))
                DeleteFileW(path.c_str());
        }
    }
    if (!OpenForAppend())
        Close();
    return whole;
}

bool CJournalFile::OpenForAppend()
{
    m_file = CreateFileW(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    DWORD low = GetFileSize(m_file, &high);
    m_size = (static_cast<unsigned long long>(high) << 32) | low;
    if (m_size == 0) {
        if (!WriteBytes(std::vector<BYTE>(kFileMagic, kFileMagic + sizeof kFileMagic)))
            return false;
        return Flush();
    }
    LONG highMove = 0;
    return SetFilePointer(m_file, 0, &highMove, FILE_END) != INVALID_SET_FILE_POINTER ||
           GetLastError() == NO_ERROR;
}

bool CJournalFile::Rewrite(const std::vector<SRecord>& records)
{
    std::wstring rewritten = m_path + L".new";
    std::vector<BYTE> bytes(kFileMagic, kFileMagic + sizeof kFileMagic);
    for (const SRecord& record : records)
        Encode(bytes, record.kind, record.payload);
    HANDLE file = CreateFileW(rewritten.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok)
        return false;
    Close();
    m_pending.clear();
    DeleteFileW(m_path.c_str());
    ok = MoveFileW(rewritten.c_str(), m_path.c_str()) != FALSE;
    return OpenForAppend() && ok;
}

bool CJournalFile::WriteBytes(const std::vector<BYTE>& bytes)
{
    if (m_file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    if (!WriteFile(m_file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        return false;
    m_size += written;
    m_dirty = true;
    return true;
}

void CJournalFile::AppendLazy(DWORD kind, const std::vector<BYTE>& payload)
{
    Encode(m_pending, kind, payload);
}

bool CJournalFile::Append(DWORD kind, const std::vector<BYTE>& payload)
{
    Encode(m_pending, kind, payload);
    m_aheadDirty = true;
    return WritePending();
}

bool CJournalFile::FlushWrittenAhead()
{
    if (!m_aheadDirty)
        return true;
    m_aheadDirty = false;
    m_dirty = false;
    return FlushFileBuffers(m_file) != FALSE;
}

bool CJournalFile::WritePending()
{
    if (m_pending.empty())
        return true;
    bool ok = WriteBytes(m_pending);
    m_pending.clear();
    return ok;
}

bool CJournalFile::Flush()
{
    if (!WritePending())
        return false;
    if (!m_dirty)
        return true;
    m_dirty = m_aheadDirty = false;
    return FlushFileBuffers(m_file) != FALSE;
}
