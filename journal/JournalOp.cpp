// Binary form of journal ops: every field with its length, so any name, type and data survive.
#include "journal/JournalOp.h"

#include <cstring>

void PutDword(std::vector<BYTE>& out, DWORD value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<BYTE>(value >> shift));
}

void PutString(std::vector<BYTE>& out, const std::wstring& text)
{
    PutDword(out, static_cast<DWORD>(text.size()));
    for (wchar_t ch : text) {
        out.push_back(static_cast<BYTE>(ch));
        out.push_back(static_cast<BYTE>(ch >> 8));
    }
}

void PutBytes(std::vector<BYTE>& out, const std::vector<BYTE>& bytes)
{
    PutDword(out, static_cast<DWORD>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

bool GetDword(const BYTE*& cursor, const BYTE* end, DWORD& value)
{
    if (end - cursor < 4)
        return false;
    value = cursor[0] | (cursor[1] << 8) | (cursor[2] << 16) | (static_cast<DWORD>(cursor[3]) << 24);
    cursor += 4;
    return true;
}

bool GetString(const BYTE*& cursor, const BYTE* end, std::wstring& text)
{
    DWORD length;
    if (!GetDword(cursor, end, length) || static_cast<size_t>(end - cursor) / 2 < length)
        return false;
    text.resize(length);
    for (DWORD i = 0; i < length; ++i, cursor += 2)
        text[i] = static_cast<wchar_t>(cursor[0] | (cursor[1] << 8));
    return true;
}

bool GetBytes(const BYTE*& cursor, const BYTE* end, std::vector<BYTE>& bytes)
{
    DWORD length;
    if (!GetDword(cursor, end, length) || static_cast<size_t>(end - cursor) < length)
        return false;
    bytes.assign(cursor, cursor + length);
    cursor += length;
    return true;
}

namespace {

void PutValues(std::vector<BYTE>& out, const std::vector<SJournalValue>& values)
{
    PutDword(out, static_cast<DWORD>(values.size()));
    for (const SJournalValue& value : values) {
        PutString(out, value.name);
        PutDword(out, value.type);
        PutBytes(out, value.data);
    }
}

bool GetValues(const BYTE*& cursor, const BYTE* end, std::vector<SJournalValue>& values)
{
    DWORD count;
    // Each value takes at least 12 bytes: a count beyond the record's size is damage.
    if (!GetDword(cursor, end, count) || static_cast<size_t>(end - cursor) / 12 < count)
        return false;
    values.resize(count);
    for (SJournalValue& value : values) {
        if (!GetString(cursor, end, value.name) || !GetDword(cursor, end, value.type) ||
            !GetBytes(cursor, end, value.data))
            return false;
    }
    return true;
}

size_t ValuesSize(const std::vector<SJournalValue>& values)
{
    size_t size = 0;
    for (const SJournalValue& value : values)
        size += 12 + value.name.size() * 2 + value.data.size();
    return size;
}

} // namespace

size_t SJournalOp::Size() const
{
    size_t size = 64 + (path.size() + name.size() + keyClass.size()) * 2 + data.size() + priorData.size() +
                  ValuesSize(priorValues);
    for (const SJournalKey& key : branch)
        size += 16 + (key.path.size() + key.keyClass.size()) * 2 + ValuesSize(key.values);
    return size;
}

void SJournalOp::Serialize(std::vector<BYTE>& out) const
{
    PutDword(out, kind);
    PutDword(out, root);
    PutString(out, path);
    PutString(out, name);
    PutDword(out, type);
    PutBytes(out, data);
    PutDword(out, (hasPrior ? 1 : 0) | (priorExists ? 2 : 0) | (failed ? 4 : 0) | (insideNewKey ? 8 : 0) |
                      (forwardDropped ? 16 : 0) | (placeholder ? 32 : 0));
    PutDword(out, priorType);
    PutBytes(out, priorData);
    PutString(out, keyClass);
    PutValues(out, priorValues);
    PutDword(out, static_cast<DWORD>(branch.size()));
    for (const SJournalKey& key : branch) {
        PutString(out, key.path);
        PutString(out, key.keyClass);
        PutValues(out, key.values);
    }
}

bool SJournalOp::Deserialize(const BYTE*& cursor, const BYTE* end)
{
    DWORD kindNumber, flags, keys;
    if (!GetDword(cursor, end, kindNumber) || kindNumber < SetValue || kindNumber > Snapshot)
        return false;
    kind = static_cast<EKind>(kindNumber);
    if (!GetDword(cursor, end, root) || !GetString(cursor, end, path) || !GetString(cursor, end, name) ||
        !GetDword(cursor, end, type) || !GetBytes(cursor, end, data) || !GetDword(cursor, end, flags) ||
        !GetDword(cursor, end, priorType) || !GetBytes(cursor, end, priorData) ||
        !GetString(cursor, end, keyClass) || !GetValues(cursor, end, priorValues) ||
        !GetDword(cursor, end, keys) || static_cast<size_t>(end - cursor) / 12 < keys)
        return false;
    hasPrior = (flags & 1) != 0;
    priorExists = (flags & 2) != 0;
    failed = (flags & 4) != 0;
    insideNewKey = (flags & 8) != 0;
    forwardDropped = (flags & 16) != 0;
    placeholder = (flags & 32) != 0;
    branch.resize(keys);
    for (SJournalKey& key : branch) {
        if (!GetString(cursor, end, key.path) || !GetString(cursor, end, key.keyClass) ||
            !GetValues(cursor, end, key.values))
            return false;
    }
    return true;
}
