// The journal fixture: set-up, snapshots and random branch contents.
#include "tests/journal/JournalFixture.h"

#include "registry/KeyTree.h"
#include "registry/ShdRegKey.h"

#include <sstream>

void CJournalTest::SetUp()
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name;
    for (const char* p = info->name(); *p; ++p)
        name += static_cast<wchar_t>(*p == '/' ? '_' : *p);
    m_basePath = L"Software\\HiveletTests\\Journal\\" + name;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_journalPath = std::wstring(temp) + L"hivelet-journal-" + name + L".bin";
    DeleteFileW(m_journalPath.c_str());
    DeleteFileW((m_journalPath + L".damaged").c_str());
    DeleteKeyTree(HKEY_CURRENT_USER, m_basePath.c_str());
    OpenJournal();
    CShdRegKey base(true);
    ASSERT_TRUE(base.Create(HKEY_CURRENT_USER, m_basePath.c_str()));
}

void CJournalTest::TearDown()
{
    CloseJournal();
    if (!m_memoryInUse)
        DeleteKeyTree(HKEY_CURRENT_USER, m_basePath.c_str());
    DeleteFileW(m_journalPath.c_str());
    DeleteFileW((m_journalPath + L".damaged").c_str());
}

void CJournalTest::UseMemory()
{
    CloseJournal();
    m_memoryInUse = true;
    DeleteFileW(m_journalPath.c_str());
    OpenJournal();
    CShdRegKey base(true);
    ASSERT_TRUE(base.Create(HKEY_CURRENT_USER, m_basePath.c_str()));
}

void CJournalTest::OpenJournal()
{
    CloseJournal();
    m_journal = std::make_unique<CUndoJournal>(Inner());
    m_journal->SetLimits(m_maxEntries, m_maxBytes);
    m_journal->Open(m_journalPath);
    m_recorder = std::make_unique<CRecordingRegistryBackend>(Inner(), *m_journal);
    m_scope = std::make_unique<CScopedRegistryBackend>(*m_recorder);
}

void CJournalTest::SetLimits(size_t entries, size_t bytes)
{
    m_maxEntries = entries;
    m_maxBytes = bytes;
    m_journal->SetLimits(entries, bytes);
}

void CJournalTest::ResetJournal()
{
    CloseJournal();
    DeleteFileW(m_journalPath.c_str());
    OpenJournal();
}

void CJournalTest::CloseJournal()
{
    m_scope.reset();
    m_recorder.reset();
    m_journal.reset();
}

namespace {

void ReadInto(SBranch& branch, HKEY parent, const std::wstring& path, const std::wstring& relative)
{
    HKEY key;
    if (Registry().OpenKey(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    SBranchKey& copy = branch[relative];
    wchar_t keyClass[300];
    DWORD classLength = 300, subKeys = 0, values = 0;
    Registry().QueryInfoKey(key, keyClass, &classLength, nullptr, &subKeys, nullptr, nullptr, &values,
                            nullptr, nullptr, nullptr, nullptr);
    copy.keyClass.assign(keyClass, classLength);
    std::vector<BYTE> data(64 * 1024);
    for (DWORD i = 0; i < values;) {
        wchar_t name[4000];
        DWORD nameLength = 4000, type = 0, size = static_cast<DWORD>(data.size());
        LONG rc = Registry().EnumValue(key, i, name, &nameLength, nullptr, &type, data.data(), &size);
        if (rc == ERROR_MORE_DATA && size > data.size()) {
            data.resize(size);
            continue;
        }
        EXPECT_EQ(ERROR_SUCCESS, rc);
        if (rc == ERROR_SUCCESS)
            copy.values[std::wstring(name, nameLength)] = {
                type, std::vector<BYTE>(data.begin(), data.begin() + size)};
        ++i;
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0; i < subKeys; ++i) {
        wchar_t name[300];
        DWORD nameLength = 300;
        if (Registry().EnumKey(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            children.emplace_back(name, nameLength);
    }
    for (const std::wstring& child : children)
        ReadInto(branch, key, child, relative.empty() ? child : relative + L'\\' + child);
    Registry().CloseKey(key);
}

} // namespace

SBranch CJournalTest::Snapshot()
{
    SBranch branch;
    ReadInto(branch, HKEY_CURRENT_USER, m_basePath, L"");
    return branch;
}

std::vector<std::wstring> CJournalTest::KeyPaths()
{
    std::vector<std::wstring> paths;
    for (const auto& key : Snapshot())
        paths.push_back(key.first);
    return paths;
}

std::wstring CJournalTest::RandomName(std::mt19937& random, bool forValue)
{
    static const wchar_t* const pool[] = {L"Alpha",   L"alpha",        L"Beta", L"G\u00e4mma",
                                          L"Delta 4", L"\u6f22\u5b57", L"Zed",  L"x"};
    switch (random() % 8) {
    case 0:
        return forValue ? L"" : L"Key";
    case 1:
        return forValue ? L"line\r\nbreak" : L"dots.and spaces";
    case 2:
        return std::wstring(forValue ? 300 + random() % 400 : 100 + random() % 150, L'a' + random() % 26);
    default:
        return pool[random() % 8] + std::to_wstring(random() % 4);
    }
}

void CJournalTest::RandomData(std::mt19937& random, bool anyBytes, DWORD& type, std::vector<BYTE>& data)
{
    static const DWORD types[] = {REG_SZ,     REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD,
                                  REG_BINARY, REG_NONE,      0x12345678,   11};
    type = types[random() % 8];
    size_t size = random() % 5 == 0 ? 0 : random() % 64;
    if (random() % 40 == 0)
        size = 70000 + random() % 1000;
    bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    if (text && !anyBytes)
        size = (size / 2) * 2 + 2; // Wine keeps text whole only with its terminator
    data.resize(size);
    for (BYTE& byte : data)
        byte = static_cast<BYTE>(random());
    if (text && !anyBytes) {
        for (size_t i = 0; i + 1 < size; i += 2)
            data[i + 1] = data[i] == 0 ? 0 : data[i + 1] % 0x20; // no surrogates, no NULs inside
        for (size_t i = 0; i + 1 < size; i += 2) {
            if (data[i] == 0 && data[i + 1] == 0)
                data[i] = 'n';
        }
        data[size - 2] = data[size - 1] = 0;
    }
}

void CJournalTest::Put(const std::wstring& path, const std::wstring& name, DWORD type,
                       const std::vector<BYTE>& data)
{
    CShdRegKey key(false);
    std::wstring full = path.empty() ? m_basePath : m_basePath + L'\\' + path;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, full.c_str()));
    ASSERT_TRUE(key.SetValue(name.c_str(), type, data.data(), static_cast<DWORD>(data.size())));
}

void CJournalTest::Populate(std::mt19937& random, int keys, bool anyBytes)
{
    std::vector<std::wstring> paths{L""};
    for (int i = 0; i < keys; ++i) {
        std::wstring parent = paths[random() % paths.size()];
        std::wstring path = (parent.empty() ? L"" : parent + L'\\') + RandomName(random, false);
        if (std::count(path.begin(), path.end(), L'\\') > 6)
            continue;
        paths.push_back(path);
        for (unsigned n = random() % 4; n-- > 0;) {
            DWORD type;
            std::vector<BYTE> data;
            RandomData(random, anyBytes, type, data);
            Put(path, RandomName(random, true), type, data);
        }
        CShdRegKey key(false);
        key.Create(HKEY_CURRENT_USER, (m_basePath + L'\\' + path).c_str());
    }
}

void CJournalTest::CheckUndoRedo(const std::vector<SBranch>& snapshots)
{
    size_t entries = snapshots.size() - 1;
    for (size_t i = entries; i-- > 0;) {
        ASSERT_TRUE(Journal().CanUndo()) << "entry " << i;
        ASSERT_TRUE(Journal().UndoUnchanged()) << "entry " << i;
        Journal().Undo();
        SBranch now = Snapshot();
        ASSERT_TRUE(now == snapshots[i]) << "after undoing entry " << i << "\n"
                                         << Describe(now) << "\nexpected\n"
                                         << Describe(snapshots[i]);
    }
    EXPECT_FALSE(Journal().CanUndo());
    for (size_t i = 0; i < entries; ++i) {
        ASSERT_TRUE(Journal().CanRedo()) << "entry " << i;
        ASSERT_TRUE(Journal().RedoUnchanged()) << "entry " << i;
        Journal().Redo();
        ASSERT_TRUE(Snapshot() == snapshots[i + 1]) << "after redoing entry " << i;
    }
    EXPECT_FALSE(Journal().CanRedo());
}

std::string Describe(const SBranch& branch)
{
    std::ostringstream out;
    for (const auto& key : branch) {
        out << "[" << std::string(key.first.begin(), key.first.end()).substr(0, 60) << "] "
            << key.second.values.size() << " values\n";
        for (const auto& value : key.second.values)
            out << "  " << std::string(value.first.begin(), value.first.end()).substr(0, 30) << " type "
                << value.second.first << " " << value.second.second.size() << " bytes\n";
    }
    return out.str();
}
