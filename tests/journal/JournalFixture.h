// Fixture for the undo journal: a branch below HKCU on the real or the in-memory registry, a
// journal file of the test's own, the recording back end in force, and a snapshot of the branch.
#pragma once

#include "journal/RecordingRegistryBackend.h"
#include "journal/UndoJournal.h"
#include "registry/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

struct SBranchKey
{
    std::wstring keyClass;
    std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>> values;
    bool operator==(const SBranchKey& other) const
    {
        return keyClass == other.keyClass && values == other.values;
    }
};
// Every key of a branch by its path below the branch ("" for the branch's own key).
using SBranch = std::map<std::wstring, SBranchKey>;

class CJournalTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the journal (reading its file afresh) and the recorder in front of the back end.
    void UseMemory();
    void OpenJournal();
    void CloseJournal();
    // An empty journal file and a new journal reading it.
    void ResetJournal();
    // Bounds for this journal and each one OpenJournal makes.
    void SetLimits(size_t entries, size_t bytes);

    IRegistryBackend& Inner()
    {
        return m_memoryInUse ? static_cast<IRegistryBackend&>(m_memory) : Win32Registry();
    }
    CMemoryRegistryBackend& Memory() { return m_memory; }
    CUndoJournal& Journal() { return *m_journal; }
    const std::wstring& JournalPath() const { return m_journalPath; }
    const std::wstring& BasePath() const { return m_basePath; }

    SBranch Snapshot();
    // A random branch of keys and values of every kind below the base key.
    void Populate(std::mt19937& random, int keys, bool anyBytes);
    std::vector<std::wstring> KeyPaths(); // below the base, "" for the base itself

    static std::wstring RandomName(std::mt19937& random, bool forValue);
    static void RandomData(std::mt19937& random, bool anyBytes, DWORD& type, std::vector<BYTE>& data);

    // Writes through the back end in force (so under the recorder it is journaled).
    void Put(const std::wstring& path, const std::wstring& name, DWORD type, const std::vector<BYTE>& data);

    // Undo each entry newest first, comparing with the snapshots before them, then redo forwards.
    void CheckUndoRedo(const std::vector<SBranch>& snapshots);

private:
    CMemoryRegistryBackend m_memory;
    bool m_memoryInUse = false;
    std::unique_ptr<CUndoJournal> m_journal;
    std::unique_ptr<CRecordingRegistryBackend> m_recorder;
    std::unique_ptr<CScopedRegistryBackend> m_scope;
    std::wstring m_journalPath;
    std::wstring m_basePath;
    size_t m_maxEntries = CUndoJournal::kMaxEntries;
    size_t m_maxBytes = CUndoJournal::kMaxBytes;
};

std::string Describe(const SBranch& branch);
