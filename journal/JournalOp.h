// One recorded registry change of a journal entry: the forward operation and the prior state it
// destroys, with its binary form for the journal file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct SJournalValue
{
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct SJournalKey
{
    std::wstring path; // below the op's root
    std::wstring keyClass;
    std::vector<SJournalValue> values;
};

struct SJournalOp
{
    enum EKind : DWORD
    {
        SetValue = 1,
        DeleteValue,
        CreateKey, // a key that did not exist before
        DeleteKey,
        Snapshot // a branch read whole before the command deletes inside it
    };

    EKind kind = SetValue;
    DWORD root = 0;    // the root key handle's number (0x80000000 and up)
    std::wstring path; // key path below the root, without leading or trailing backslash
    std::wstring name; // value name (SetValue, DeleteValue)
    DWORD type = 0;    // SetValue: what is written
    std::vector<BYTE> data;
    // The prior state. Without it the op needs no inverse: it lies in a key this entry created,
    // or in a branch a Snapshot op of the entry holds.
    bool hasPrior = false;
    bool priorExists = false; // SetValue: the value existed; DeleteKey: always
    DWORD priorType = 0;
    std::vector<BYTE> priorData;
    std::wstring keyClass;                  // CreateKey: class given; DeleteKey: the key's class
    std::vector<SJournalValue> priorValues; // DeleteKey: values still in the key
    std::vector<SJournalKey> branch;        // Snapshot: the branch's keys, parents first
    bool failed = false;                    // the forward call failed (kept for the inverse)
    // CreateKey below a key the same entry created: undoing the parent's create removes it too.
    bool insideNewKey = false;
    // The written data was not kept (an entry too large to be redone keeps only what undo needs).
    bool forwardDropped = false;
    // Kept only as a place (its index): an entry too large to be redone needs nothing of it.
    bool placeholder = false;

    HKEY RootKey() const { return RootHandle(root); }
    // Root handles are sign-extended 32-bit numbers.
    static HKEY RootHandle(DWORD root)
    {
        return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
    }
    static DWORD RootNumber(HKEY root) { return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(root)); }
    // Whether undoing needs this op: only such ops must be on storage before their write.
    bool HasInverse() const { return hasPrior || (kind == CreateKey && !insideNewKey) || kind == Snapshot; }
    // Bytes this op holds, for the journal's bound.
    size_t Size() const;
    // Bytes of the written data alone, which only redo needs.
    size_t ForwardSize() const { return data.size(); }

    void Serialize(std::vector<BYTE>& out) const;
    // False when the bytes do not hold a whole op.
    bool Deserialize(const BYTE*& cursor, const BYTE* end);
};

// Little-endian field writer and reader shared by the journal's records.
void PutDword(std::vector<BYTE>& out, DWORD value);
void PutString(std::vector<BYTE>& out, const std::wstring& text);
void PutBytes(std::vector<BYTE>& out, const std::vector<BYTE>& bytes);
bool GetDword(const BYTE*& cursor, const BYTE* end, DWORD& value);
bool GetString(const BYTE*& cursor, const BYTE* end, std::wstring& text);
bool GetBytes(const BYTE*& cursor, const BYTE* end, std::vector<BYTE>& bytes);
