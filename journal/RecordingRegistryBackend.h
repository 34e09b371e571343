// A registry back end in front of another that records every change into the undo journal while
// an entry is open (see CJournalCommand), whatever code makes it: it keeps the root and path of
// each open key, and before each change it adds to the entry the prior state the change destroys.
// Outside an entry it only forwards. The program's own configuration keys are never recorded, nor
// the short-lived marker values of the key identity check (registry/KeyIdentity.h).
#pragma once

#include "journal/UndoJournal.h"
#include "registry/RegistryBackend.h"

#include <map>
#include <string>

class CRecordingRegistryBackend : public IRegistryBackend
{
public:
    CRecordingRegistryBackend(IRegistryBackend& inner, CUndoJournal& journal);
    ~CRecordingRegistryBackend() override;
    CRecordingRegistryBackend(const CRecordingRegistryBackend&) = delete;
    CRecordingRegistryBackend& operator=(const CRecordingRegistryBackend&) = delete;

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
    struct SLocation
    {
        DWORD root = 0;
        std::wstring path;
    };

    // Root and path of key (plus subkey), when the key is a root or was opened through here.
    bool Locate(HKEY key, const wchar_t* subkey, SLocation& location);
    // The location when a change there is to be recorded now.
    bool Recorded(HKEY key, const wchar_t* subkey, SLocation& location);
    void Remember(HKEY key, const SLocation& location);
    std::vector<int> RecordCreate(const SLocation& location, const wchar_t* keyClass);
    bool ReadPrior(HKEY key, const wchar_t* name, SJournalOp& op);
    int RecordDeleteKey(HKEY parent, const wchar_t* subkey, const SLocation& location);
    void Finish(int index, LONG rc);

    IRegistryBackend& m_inner;
    CUndoJournal& m_journal;
    CRITICAL_SECTION m_lock;
    std::map<HKEY, SLocation> m_keys;
};
