// One command's journal entry, open for the lifetime of this object: every registry change made
// through the recording back end meanwhile becomes part of the entry. A null journal records nothing
// (silent command-line runs, tests without a journal).
#pragma once

#include "journal/UndoJournal.h"
#include "registry/KeyTree.h"
#include "registry/RegistryBackend.h"

class CJournalCommand
{
public:
    CJournalCommand(CUndoJournal* journal, const wchar_t* name) : m_journal(journal)
    {
        if (m_journal)
            m_journal->BeginEntry(name);
    }
    ~CJournalCommand()
    {
        if (m_journal)
            m_journal->EndEntry();
    }
    CJournalCommand(const CJournalCommand&) = delete;
    CJournalCommand& operator=(const CJournalCommand&) = delete;

    // Reads a branch the command is about to delete inside. TooLarge: the command must ask before
    // it goes on; going on, it calls Drop().
    CUndoJournal::ECapture CaptureBranch(HKEY root, const wchar_t* path)
    {
        return m_journal ? m_journal->CaptureBranch(root, path) : CUndoJournal::Captured;
    }
    // Deletes a branch as DeleteKeyTree does. When this command captured it, the keys it read are
    // deleted first, deepest first, one call each (a key goes with its values), so the walk that
    // follows finds little or nothing left: the capture's reading is not paid for twice.
    bool DeleteBranch(HKEY root, const wchar_t* path)
    {
        if (m_journal) {
            const std::vector<std::wstring> keys = m_journal->TakeCapturedKeys(root, path);
            for (auto key = keys.rbegin(); key != keys.rend(); ++key)
                Registry().DeleteKey(root, key->c_str());
        }
        return DeleteKeyTree(root, path);
    }
    void Drop()
    {
        if (m_journal)
            m_journal->DropEntry();
    }

private:
    CUndoJournal* m_journal;
};
