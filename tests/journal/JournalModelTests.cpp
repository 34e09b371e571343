// Randomized model test of the undo journal: a seeded sequence of commands of every journaled kind
// (some failing through injected faults), a snapshot after each, then Undo back to the start and
// Redo to the end, comparing the branch byte for byte after every step.
#include "tests/journal/JournalFixture.h"

#include "journal/JournalCommand.h"
#include "journal/JournalReplay.h"
#include "regfile/RegImporter.h"
#include "registry/KeyTree.h"
#include "registry/ShdRegKey.h"
#include "tests/support/TestFiles.h"

namespace {

class CJournalModel : public CJournalTest
{
protected:
    std::wstring Full(const std::wstring& path) const
    {
        return path.empty() ? BasePath() : BasePath() + L'\\' + path;
    }
    std::wstring PickKey(std::mt19937& random, bool allowBase)
    {
        std::vector<std::wstring> paths = KeyPaths();
        if (!allowBase && !paths.empty())
            paths.erase(paths.begin());
        return paths.empty() ? std::wstring(L"\x1") : paths[random() % paths.size()];
    }

    void NewKey(std::mt19937& random);
    void WriteValue(std::mt19937& random, bool anyBytes);
    void DeleteValue(std::mt19937& random);
    void DeleteKey(std::mt19937& random, CJournalCommand& command);
    void RenameValue(std::mt19937& random);
    void CopyKey(std::mt19937& random, CJournalCommand& command, bool move);
    void Import(std::mt19937& random);
    void RunCommand(std::mt19937& random, bool anyBytes);
    void Run(unsigned seed, int commands, int keys, bool anyBytes);
};

void CJournalModel::NewKey(std::mt19937& random)
{
    CShdRegKey key(true);
    key.Create(HKEY_CURRENT_USER, (Full(PickKey(random, true)) + L'\\' + RandomName(random, false)).c_str());
}

void CJournalModel::WriteValue(std::mt19937& random, bool anyBytes)
{
    std::wstring path = PickKey(random, true);
    SBranch branch = Snapshot();
    std::wstring name = RandomName(random, true);
    const auto& values = branch[path].values;
    if (!values.empty() && random() % 2) {
        auto it = values.begin();
        std::advance(it, random() % values.size());
        name = it->first;
    }
    DWORD type;
    std::vector<BYTE> data;
    RandomData(random, anyBytes, type, data);
    CShdRegKey key(true);
    if (key.Open(HKEY_CURRENT_USER, Full(path).c_str()))
        key.SetValue(name.c_str(), type, data.data(), static_cast<DWORD>(data.size()));
}

void CJournalModel::DeleteValue(std::mt19937& random)
{
    std::wstring path = PickKey(random, true);
    SBranch branch = Snapshot();
    const auto& values = branch[path].values;
    if (values.empty())
        return;
    auto it = values.begin();
    std::advance(it, random() % values.size());
    CShdRegKey key(true);
    if (key.Open(HKEY_CURRENT_USER, Full(path).c_str()))
        key.DeleteValue(it->first.c_str());
}

void CJournalModel::DeleteKey(std::mt19937& random, CJournalCommand& command)
{
    std::wstring path = Full(PickKey(random, false));
    if (random() % 2)
        command.CaptureBranch(HKEY_CURRENT_USER, path.c_str());
    command.DeleteBranch(HKEY_CURRENT_USER, path.c_str());
}

void CJournalModel::RenameValue(std::mt19937& random)
{
    std::wstring path = PickKey(random, true);
    SBranch branch = Snapshot();
    const auto& values = branch[path].values;
    if (values.empty())
        return;
    auto it = values.begin();
    std::advance(it, random() % values.size());
    std::wstring newName = RandomName(random, true);
    CShdRegKey key(true);
    if (!key.Open(HKEY_CURRENT_USER, Full(path).c_str()) || key.ValueExists(newName.c_str()))
        return;
    const std::vector<BYTE>& data = it->second.second;
    if (key.SetValue(newName.c_str(), it->second.first, data.data(), static_cast<DWORD>(data.size())))
        key.DeleteValue(it->first.c_str());
}

void CJournalModel::CopyKey(std::mt19937& random, CJournalCommand& command, bool move)
{
    std::wstring source = PickKey(random, false), target = PickKey(random, true);
    if (target == source || target.compare(0, source.size() + 1, source + L'\\') == 0)
        return;
    std::wstring name =
        source.substr(source.rfind(L'\\') == std::wstring::npos ? 0 : source.rfind(L'\\') + 1);
    std::wstring to = Full(target) + L'\\' + name + L" " + std::to_wstring(random() % 100);
    CShdRegKey existing(false);
    if (existing.Open(HKEY_CURRENT_USER, to.c_str()))
        return;
    if (!CopyKeyTree(HKEY_CURRENT_USER, Full(source).c_str(), HKEY_CURRENT_USER, to.c_str()) || !move)
        return;
    command.CaptureBranch(HKEY_CURRENT_USER, Full(source).c_str());
    command.DeleteBranch(HKEY_CURRENT_USER, Full(source).c_str());
}

void CJournalModel::Import(std::mt19937& random)
{
    std::wstring text = L"Windows Registry Editor Version 5.00\r\n\r\n";
    for (int i = random() % 4 + 1; i-- > 0;) {
        if (random() % 5 == 0) {
            std::wstring path = L"HKEY_CURRENT_USER\\" + Full(PickKey(random, false));
            text += L"[-" + path + L"]\r\n\r\n";
            continue;
        }
        std::wstring path = L"HKEY_CURRENT_USER\\" + Full(PickKey(random, true));
        if (random() % 2)
            path += L"\\Imported" + std::to_wstring(random() % 5);
        text += L"[" + path + L"]\r\n";
        for (int v = random() % 4; v-- > 0;) {
            std::wstring name = L"\"Imp" + std::to_wstring(random() % 6) + L"\"=";
            switch (random() % 4) {
            case 0:
                text += name + L"\"text " + std::to_wstring(random()) + L"\"\r\n";
                break;
            case 1:
                text += name + L"dword:0000" + std::to_wstring(random() % 9000 + 1000) + L"\r\n";
                break;
            case 2:
                text += name + L"hex(7):61,00,00,00,62,00,00,00,00,00\r\n";
                break;
            default:
                text += name + L"-\r\n";
                break;
            }
        }
        text += L"\r\n";
    }
    std::wstring file = JournalPath() + L".reg";
    ASSERT_TRUE(WriteFileBytes(file.c_str(), UnicodeBytes(text)));
    CRegImporter importer;
    CString error;
    importer.Import(file.c_str(), error);
    DeleteFileW(file.c_str());
}

void CJournalModel::RunCommand(std::mt19937& random, bool anyBytes)
{
    CJournalCommand command(&Journal(), L"Command");
    switch (random() % 9) {
    case 0:
        return NewKey(random);
    case 1:
    case 2:
        return WriteValue(random, anyBytes);
    case 3:
        return DeleteValue(random);
    case 4:
        return DeleteKey(random, command);
    case 5:
        return RenameValue(random);
    case 6:
    case 7:
        return CopyKey(random, command, random() % 2 == 0);
    default:
        return Import(random);
    }
}

void CJournalModel::Run(unsigned seed, int commands, int keys, bool anyBytes)
{
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    SetLimits(100000, 1u << 30);
    Populate(random, keys, anyBytes);
    std::vector<SBranch> snapshots{Snapshot()};
    for (int i = 0; i < commands; ++i) {
        size_t before = Journal().EntryCount();
        bool faulty = &Inner() == &Memory() && random() % 5 == 0;
        if (faulty) {
            static const IRegistryBackend::EOperation writes[] = {
                IRegistryBackend::OpSetValue, IRegistryBackend::OpDeleteValue, IRegistryBackend::OpCreateKey,
                IRegistryBackend::OpDeleteKey};
            Memory().FailCall(writes[random() % 4], 1 + random() % 6);
        }
        RunCommand(random, anyBytes);
        Memory().ClearFaults();
        if (HasFatalFailure())
            return;
        SBranch now = Snapshot();
        if (Journal().EntryCount() == before + 1)
            snapshots.push_back(now);
        else
            ASSERT_TRUE(now == snapshots.back()) << "command " << i << " changed the registry unrecorded";
    }
    // A new journal object reads the file afresh: undo and redo must not depend on memory.
    OpenJournal();
    CheckUndoRedo(snapshots);
}

} // namespace

TEST_F(CJournalModel, MemoryRegistryRoundTripsEverySeed)
{
    UseMemory();
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
        Run(seed, 600, 40, true);
        if (HasFatalFailure())
            return;
        DeleteKeyTree(HKEY_CURRENT_USER, BasePath().c_str());
        ResetJournal();
        CShdRegKey base(true);
        ASSERT_TRUE(base.Create(HKEY_CURRENT_USER, BasePath().c_str()));
    }
}

TEST_F(CJournalModel, WineRegistryRoundTrips)
{
    Run(7, 150, 15, false);
}
