// The journal file: damaged in several ways it is set aside and the journal starts empty and works;
// values the .reg text cannot carry survive a restart; the change check before undo and redo.
#include "tests/journal/JournalFixture.h"

#include "journal/JournalCommand.h"
#include "registry/KeyTree.h"
#include "registry/ShdRegKey.h"
#include "tests/support/TestFiles.h"

namespace {

class CJournalFileTest : public CJournalTest
{
protected:
    void SetUp() override
    {
        CJournalTest::SetUp();
        UseMemory();
    }
    void SetOne(const std::wstring& name, DWORD type, const std::vector<BYTE>& data)
    {
        CJournalCommand command(&Journal(), L"Edit Value");
        Put(L"K", name, type, data);
    }
};

} // namespace

TEST_F(CJournalFileTest, DamagedFileIsSetAsideAndTheJournalStillWorks)
{
    SetOne(L"v", REG_DWORD, {1, 0, 0, 0});
    SetOne(L"v", REG_DWORD, {2, 0, 0, 0});
    CloseJournal();
    std::string whole = ReadFileBytes(JournalPath().c_str());
    ASSERT_GT(whole.size(), 40u);
    std::mt19937 random(3);
    std::string noise(whole.size(), '\0');
    for (char& ch : noise)
        ch = static_cast<char>(random());
    std::string flipped = whole;
    flipped[whole.size() / 2] ^= 0x40;
    const std::string damaged[] = {whole.substr(0, whole.size() - 3),
                                   std::string(whole.size(), '\0'),
                                   noise,
                                   flipped,
                                   "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\x]\r\n",
                                   whole.substr(0, 5)};
    for (const std::string& bytes : damaged) {
        ASSERT_TRUE(WriteFileBytes(JournalPath().c_str(), bytes));
        CUndoJournal journal(Inner());
        EXPECT_FALSE(journal.Open(JournalPath()));
        EXPECT_FALSE(journal.CanUndo());
        EXPECT_EQ(bytes, ReadFileBytes((JournalPath() + L".damaged").c_str()));
        CUndoJournal again(Inner());
        EXPECT_TRUE(again.Open(JournalPath())) << "told once: the reset file reads back whole";
    }
    OpenJournal();
    SBranch before = Snapshot();
    SetOne(L"after", REG_SZ, {'a', 0, 0, 0});
    OpenJournal();
    ASSERT_TRUE(Journal().CanUndo());
    Journal().Undo();
    EXPECT_TRUE(Snapshot() == before);
}

TEST_F(CJournalFileTest, ValuesTextCannotCarrySurviveARestartByteForByte)
{
    std::vector<BYTE> megabytes(3 * 1024 * 1024 + 1);
    for (size_t i = 0; i < megabytes.size(); ++i)
        megabytes[i] = static_cast<BYTE>(i * 7);
    const std::wstring longName(2000, L'n');
    Put(L"K", L"line\nbreak\r\nname", REG_SZ, {'o', 0, 'd'});
    Put(L"K", longName, 0xfffffff0, {});
    Put(L"K", L"big", REG_BINARY, megabytes);
    std::vector<SBranch> snapshots{Snapshot()};
    SetOne(L"line\nbreak\r\nname", REG_MULTI_SZ, {});
    snapshots.push_back(Snapshot());
    SetOne(longName, 7, {1, 2, 3});
    snapshots.push_back(Snapshot());
    {
        CJournalCommand command(&Journal(), L"Delete Key");
        command.CaptureBranch(HKEY_CURRENT_USER, (BasePath() + L"\\K").c_str());
        DeleteKeyTree(HKEY_CURRENT_USER, (BasePath() + L"\\K").c_str());
    }
    snapshots.push_back(Snapshot());
    OpenJournal();
    EXPECT_EQ(L"Delete Key", Journal().UndoName());
    CheckUndoRedo(snapshots);
}

TEST_F(CJournalFileTest, ChangeCheckSeesWhatChangedSinceTheCommand)
{
    SetOne(L"v", REG_DWORD, {1, 0, 0, 0});
    EXPECT_TRUE(Journal().UndoUnchanged());
    Put(L"K", L"v", REG_DWORD, {9, 0, 0, 0}); // outside any command
    EXPECT_FALSE(Journal().UndoUnchanged());
    Put(L"K", L"v", REG_DWORD, {1, 0, 0, 0});
    EXPECT_TRUE(Journal().UndoUnchanged());
    Journal().Undo();
    EXPECT_TRUE(Journal().RedoUnchanged());
    Put(L"K", L"v", REG_DWORD, {5, 0, 0, 0});
    EXPECT_FALSE(Journal().RedoUnchanged());
    // A new command drops what could be redone.
    SetOne(L"w", REG_DWORD, {2, 0, 0, 0});
    EXPECT_FALSE(Journal().CanRedo());
    OpenJournal();
    EXPECT_FALSE(Journal().CanRedo());
    EXPECT_TRUE(Journal().CanUndo());
}
