// The journal after a crash: a key delete of a deep branch and an import, each interrupted at
// every registry write (the journal file as it stood then is read by a new journal object), and
// Undo restoring the branch exactly. Also the bound on entries and bytes.
#include "tests/journal/JournalFixture.h"

#include "journal/JournalCommand.h"
#include "regfile/RegImporter.h"
#include "registry/KeyTree.h"
#include "registry/ShdRegKey.h"
#include "tests/support/TestFiles.h"

#include <functional>

namespace {

bool IsWrite(IRegistryBackend::EOperation op)
{
    return op == IRegistryBackend::OpSetValue || op == IRegistryBackend::OpDeleteValue ||
           op == IRegistryBackend::OpCreateKey || op == IRegistryBackend::OpDeleteKey;
}

class CJournalCrash : public CJournalTest
{
protected:
    void SetUp() override
    {
        CJournalTest::SetUp();
        UseMemory();
    }
    std::wstring Full(const std::wstring& path) const { return BasePath() + L'\\' + path; }

    void DeepBranch()
    {
        std::mt19937 random(11);
        std::wstring path = L"Deep";
        for (int level = 0; level < 6; ++level) {
            for (int sibling = 0; sibling < 2; ++sibling) {
                DWORD type;
                std::vector<BYTE> data;
                RandomData(random, true, type, data);
                Put(path + L"\\S" + std::to_wstring(sibling), L"v" + std::to_wstring(level), type, data);
            }
            Put(path, L"", REG_SZ, {'x', 0, 0, 0});
            path += L"\\Level" + std::to_wstring(level);
        }
        CShdRegKey keyWithClass(false);
        keyWithClass.Create(HKEY_CURRENT_USER, Full(L"Deep\\Classy").c_str(), L"SomeClass");
    }

    // Runs the command once to count its writes, then again from the same start once per write,
    // stopping the "process" at that write, and checks that Undo from the file restores the start.
    void CrashAtEveryWrite(const std::function<void(CJournalCommand&)>& command)
    {
        SBranch before = Snapshot();
        int writes = 0;
        Memory().SetCallHook([&writes](IRegistryBackend::EOperation op) { writes += IsWrite(op); });
        {
            CJournalCommand run(&Journal(), L"Command");
            command(run);
        }
        Memory().SetCallHook(nullptr);
        ASSERT_GT(writes, 5);
        ASSERT_TRUE(Journal().Undo());
        ASSERT_TRUE(Snapshot() == before);
        std::wstring crashed = JournalPath() + L".crash";
        for (int stop = 1; stop <= writes; ++stop) {
            SCOPED_TRACE(stop);
            ResetJournal();
            int seen = 0;
            CMemoryRegistryBackend& memory = Memory();
            memory.SetCallHook([&, stop](IRegistryBackend::EOperation op) {
                if (!IsWrite(op) || ++seen < stop)
                    return;
                if (seen == stop)
                    WriteFileBytes(crashed.c_str(), ReadFileBytes(JournalPath().c_str()));
                memory.FailCall(op, 1); // the process is gone: nothing more reaches the registry
            });
            {
                CJournalCommand run(&Journal(), L"Command");
                command(run);
            }
            memory.SetCallHook(nullptr);
            CloseJournal();
            ASSERT_TRUE(CopyFileW(crashed.c_str(), JournalPath().c_str(), FALSE));
            OpenJournal();
            // A write that changed nothing (a create that opened an existing key) needs no entry.
            if (Journal().CanUndo())
                Journal().Undo();
            ASSERT_TRUE(Snapshot() == before) << Describe(Snapshot());
        }
        DeleteFileW(crashed.c_str());
    }
};

} // namespace

TEST_F(CJournalCrash, DeleteOfDeepBranchIsUndoneAfterACrashAtEveryWrite)
{
    DeepBranch();
    for (bool capture : {true, false}) {
        SCOPED_TRACE(capture);
        CrashAtEveryWrite([this, capture](CJournalCommand& command) {
            if (capture)
                command.CaptureBranch(HKEY_CURRENT_USER, Full(L"Deep").c_str());
            command.DeleteBranch(HKEY_CURRENT_USER, Full(L"Deep").c_str());
        });
    }
}

TEST_F(CJournalCrash, ImportIsUndoneAfterACrashAtEveryWrite)
{
    DeepBranch();
    std::wstring root = L"HKEY_CURRENT_USER\\" + BasePath();
    std::wstring text = L"Windows Registry Editor Version 5.00\r\n\r\n[" + root +
                        L"\\Deep]\r\n@=\"replaced\"\r\n"
                        L"\"new\"=dword:00000007\r\n\r\n[-" +
                        root + L"\\Deep\\Level0\\Level1]\r\n\r\n[" + root +
                        L"\\Fresh\\Sub]\r\n\"a\"=hex:01,02,03\r\n\"b\"=\"text\"\r\n\r\n[" + root +
                        L"\\Deep\\S0]\r\n\"v0\"=-\r\n";
    std::wstring file = JournalPath() + L".reg";
    ASSERT_TRUE(WriteFileBytes(file.c_str(), UnicodeBytes(text)));
    CrashAtEveryWrite([&file](CJournalCommand&) {
        CRegImporter importer;
        CString error;
        importer.Import(file.c_str(), error);
    });
    DeleteFileW(file.c_str());
}

TEST_F(CJournalCrash, OldestEntriesGoFirstAndAnOversizeBranchIsRefusedUnchanged)
{
    for (int i = 0; i < static_cast<int>(CUndoJournal::kMaxEntries) + 5; ++i) {
        CJournalCommand command(&Journal(), (L"Set " + std::to_wstring(i)).c_str());
        Put(L"", L"v", REG_DWORD, {BYTE(i), 0, 0, 0});
    }
    EXPECT_EQ(CUndoJournal::kMaxEntries, Journal().EntryCount());
    EXPECT_EQ(L"Set 54", Journal().UndoName());
    // Bytes: entries of 3 MiB each keep two within 8 MiB.
    std::vector<BYTE> big(3 * 1024 * 1024, 0x5a);
    for (int i = 0; i < 4; ++i) {
        CJournalCommand command(&Journal(), L"Big");
        Put(L"Big" + std::to_wstring(i), L"v", REG_BINARY, big);
        Put(L"Big" + std::to_wstring(i), L"v", REG_BINARY, {1});
    }
    EXPECT_LE(Journal().RecordedBytes(), CUndoJournal::kMaxBytes);
    EXPECT_EQ(2u, Journal().EntryCount());
    // A branch over the bound: the capture says so before anything changes.
    Put(L"Huge\\A", L"v", REG_BINARY, std::vector<BYTE>(5 * 1024 * 1024, 1));
    Put(L"Huge\\B", L"v", REG_BINARY, std::vector<BYTE>(4 * 1024 * 1024, 2));
    SBranch before = Snapshot();
    {
        CJournalCommand command(&Journal(), L"Delete Key");
        EXPECT_EQ(CUndoJournal::TooLarge, command.CaptureBranch(HKEY_CURRENT_USER, Full(L"Huge").c_str()));
        command.Drop(); // the user answers No
    }
    EXPECT_TRUE(Snapshot() == before);
    EXPECT_EQ(L"Big", Journal().UndoName());
}

TEST_F(CJournalCrash, AnEntryPastTheBoundKeepsWhatUndoNeedsAndCannotBeRedone)
{
    SetLimits(CUndoJournal::kMaxEntries, 64 * 1024);
    Put(L"Old", L"v", REG_SZ, {'o', 0, 0, 0});
    SBranch before = Snapshot();
    {
        CJournalCommand command(&Journal(), L"Import");
        for (int i = 0; i < 40; ++i)
            Put(L"New\\K" + std::to_wstring(i), L"v", REG_BINARY, std::vector<BYTE>(4096, BYTE(i)));
        Put(L"Old", L"v", REG_SZ, {'n', 0, 0, 0});
    }
    EXPECT_LE(Journal().RecordedBytes(), 64u * 1024);
    OpenJournal();
    ASSERT_TRUE(Journal().CanUndo());
    EXPECT_TRUE(Journal().UndoUnchanged());
    Journal().Undo();
    EXPECT_TRUE(Snapshot() == before);
    EXPECT_FALSE(Journal().CanRedo());
    EXPECT_EQ(L"", Journal().RedoName());
}
