// One key reached through two roots (HKEY_CURRENT_USER and HKEY_USERS\<sid>) or through a
// registry link: the identity test, and the branch copy and delete that must survive it.
#include "tests/registry/BackendTest.h"

#include "registry/KeyIdentity.h"
#include "registry/KeyTree.h"
#include "tests/support/RegistryTest.h"

namespace {

using Op = IRegistryBackend;

DWORD ValueCount(HKEY parent, const wchar_t* path)
{
    CShdRegKey key(false);
    return key.Open(parent, path) ? key.GetValueCount() : DWORD(-1);
}

} // namespace

using KeyIdentity = CBackendTest;

TEST_P(KeyIdentity, EqualSpellingsDecideWithoutTheRegistry)
{
    const CString path = BasePath() + L"\\A";
    EXPECT_TRUE(IsSameKey(HKEY_CURRENT_USER, path, HKEY_CURRENT_USER, BasePath() + L"\\a"));
    EXPECT_TRUE(IsSameOrBelowKey(HKEY_CURRENT_USER, path + L"\\B\\C", HKEY_CURRENT_USER, path));
    EXPECT_EQ(0u, Registry().TotalCalls());
    // Different spellings of different keys: not one key, and no marker left behind.
    PutString(L"A\\B", L"v", L"1");
    PutString(L"AB", L"v", L"2");
    EXPECT_FALSE(IsSameKey(HKEY_CURRENT_USER, path, HKEY_CURRENT_USER, path + L"\\B"));
    EXPECT_FALSE(IsSameOrBelowKey(HKEY_CURRENT_USER, BasePath() + L"\\AB", HKEY_CURRENT_USER, path));
    EXPECT_FALSE(IsSameOrBelowKey(HKEY_CURRENT_USER, path, HKEY_CURRENT_USER, path + L"\\B"));
    EXPECT_EQ(1u, ValueCount(Base(), L"A\\B"));
    EXPECT_EQ(0u, ValueCount(Base(), L"A"));
    // A key that cannot be written or is missing leaves the spelling to decide.
    EXPECT_FALSE(IsSameKey(HKEY_CURRENT_USER, path, HKEY_CURRENT_USER, path + L"\\missing"));
    EXPECT_TRUE(IsKeyIdentityMarker(L"Hivelet.KeyIdentity.1.2.3"));
    EXPECT_FALSE(IsKeyIdentityMarker(L"Hivelet.KeyIdentit"));
}

// A copy whose target lies inside its own source copies the branch as it stood, once.
TEST_P(KeyIdentity, CopyIntoItsOwnBranchCopiesTheBranchOnce)
{
    PutString(L"src", L"top", L"1");
    PutString(L"src\\c", L"mid", L"2");
    PutString(L"src\\c\\d", L"low", L"3");
    EXPECT_TRUE(CopyKeyTree(Base(), L"src", Base(), L"src\\c\\copy"));
    for (const wchar_t* key : {L"src\\c\\copy", L"src\\c\\copy\\c", L"src\\c\\copy\\c\\d"})
        EXPECT_EQ(1u, ValueCount(Base(), key)) << key;
    CShdRegKey copy(false);
    ASSERT_TRUE(copy.Open(Base(), L"src\\c\\copy\\c"));
    EXPECT_EQ(1u, copy.GetSubKeyCount()) << "the new key is not copied into itself";
}

// Full paths of this depth are far beyond what the registry takes in one name, so the branch is
// made and deleted through handles relative to each level.
TEST_P(KeyIdentity, DeletesABranchTwoThousandLevelsDeep)
{
    const wchar_t* name = L"a level name of thirty letters";
    {
        CShdRegKey level(false);
        ASSERT_TRUE(level.Create(Base(), L"deep"));
        for (int i = 0; i < 2000; ++i) {
            CShdRegKey next(false);
            ASSERT_TRUE(next.Create(level.GetHandle(), name)) << i;
            ASSERT_TRUE(next.SetDword(L"depth", DWORD(i)));
            level.Close(false);
            ASSERT_TRUE(level.Open(next.GetHandle(), L""));
        }
    }
    EXPECT_TRUE(DeleteKeyTree(Base(), L"deep"));
    EXPECT_FALSE(Exists(L"deep"));
}

INSTANTIATE_TEST_SUITE_P(Backends, KeyIdentity, testing::Values(EBackend::Win32, EBackend::Memory),
                         BackendName);

class TwoRoots : public CBackendTest
{
protected:
    void SetUp() override
    {
        CBackendTest::SetUp();
        m_users = CurrentUserKeyUnderUsers();
        ASSERT_FALSE(m_users.IsEmpty());
        m_users += L"\\" + BasePath();
        ASSERT_TRUE(CShdRegKey(false).Open(HKEY_USERS, m_users)) << "HKEY_CURRENT_USER is below HKEY_USERS";
    }
    CString User(const wchar_t* path) const { return BasePath() + L"\\" + path; }
    CString Users(const wchar_t* path) const { return m_users + L"\\" + path; }

    CString m_users;
};

TEST_P(TwoRoots, OneKeyIsKnownThroughBothRoots)
{
    PutString(L"X\\K\\L", L"keep", L"1");
    EXPECT_TRUE(IsSameKey(HKEY_CURRENT_USER, User(L"X"), HKEY_USERS, Users(L"X")));
    EXPECT_TRUE(IsSameKey(HKEY_USERS, Users(L"X\\K"), HKEY_CURRENT_USER, User(L"x\\k")));
    EXPECT_FALSE(IsSameKey(HKEY_CURRENT_USER, User(L"X"), HKEY_USERS, Users(L"X\\K")));
    EXPECT_TRUE(IsSameOrBelowKey(HKEY_USERS, Users(L"X\\K\\L"), HKEY_CURRENT_USER, User(L"X")));
    EXPECT_TRUE(IsSameOrBelowKey(HKEY_CURRENT_USER, User(L"X\\K"), HKEY_USERS, Users(L"X\\K")));
    EXPECT_FALSE(IsSameOrBelowKey(HKEY_CURRENT_USER, User(L"X"), HKEY_USERS, Users(L"X\\K")));
    for (const wchar_t* key : {L"X", L"X\\K"})
        EXPECT_EQ(0u, ValueCount(Base(), key)) << "no marker is left in " << key;

    // Copied into itself through the other root: the branch as it stood, once.
    EXPECT_TRUE(CopyKeyTree(HKEY_USERS, Users(L"X\\K"), HKEY_CURRENT_USER, User(L"X\\K\\L\\K")));
    CShdRegKey copy(false);
    ASSERT_TRUE(copy.Open(Base(), L"X\\K\\L\\K\\L"));
    EXPECT_EQ(0u, copy.GetSubKeyCount());
    EXPECT_EQ(1u, copy.GetValueCount());
}

namespace {

// Removes the link key itself: opening it by name would follow it to its target.
void DeleteLink(HKEY parent, const wchar_t* name)
{
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    auto deleteKey = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
    HKEY link = nullptr;
    if (deleteKey && RegOpenKeyExW(parent, name, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS | DELETE, &link) == 0) {
        deleteKey(link);
        RegCloseKey(link);
    }
}

} // namespace

// Two paths of one root that meet through a registry link, where the registry lets a test make one.
TEST_P(TwoRoots, OneKeyIsKnownThroughALink)
{
    PutString(L"target", L"v", L"1");
    HKEY link = nullptr;
    if (RegCreateKeyExW(Base(), L"link", 0, nullptr, REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS, nullptr, &link, nullptr) != ERROR_SUCCESS)
        GTEST_SKIP() << "the registry makes no links here";
    const CString target = L"\\Registry\\User\\" + CurrentUserKeyUnderUsers() + L"\\" + User(L"target");
    RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.c_str()),
                   DWORD(target.GetLength() * sizeof(wchar_t)));
    RegCloseKey(link);
    const bool leads = ValueCount(Base(), L"link") == 1u;
    const bool same = IsSameKey(HKEY_CURRENT_USER, User(L"link"), HKEY_CURRENT_USER, User(L"target"));
    const bool below =
        IsSameOrBelowKey(HKEY_CURRENT_USER, User(L"link\\below"), HKEY_CURRENT_USER, User(L"target"));
    DeleteLink(Base(), L"link");
    EXPECT_EQ(1u, ValueCount(Base(), L"target"));
    if (!leads)
        GTEST_SKIP() << "the link does not lead to its target here";
    EXPECT_TRUE(same);
    EXPECT_TRUE(below);
}

INSTANTIATE_TEST_SUITE_P(Win32, TwoRoots, testing::Values(EBackend::Win32), BackendName);
