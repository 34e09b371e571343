// Root names, handle numbers and key-path splitting.
#include "registry/RootKeys.h"

#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

TEST(RootKeys, NamesBothWays)
{
    EXPECT_EQ(HKEY_LOCAL_MACHINE, ParseRootKeyName(L"hklm"));
    EXPECT_EQ(HKEY_USERS, ParseRootKeyName(L"HKEY_users"));
    EXPECT_EQ(HKEY_CLASSES_ROOT, ParseRootKeyName(L"HKCR"));
    EXPECT_EQ(nullptr, ParseRootKeyName(L"HKLM "));
    EXPECT_EQ(nullptr, ParseRootKeyName(nullptr));
    EXPECT_EQ(nullptr, ParseRootKeyLongName(L"HKLM"));
    EXPECT_EQ(HKEY_CURRENT_USER, ParseRootKeyLongName(L"hkey_current_user"));
    EXPECT_STREQ(L"HKEY_USERS", RootKeyLongName(HKEY_USERS));
    EXPECT_STREQ(L"HKU", RootKeyShortName(HKEY_USERS));
    EXPECT_EQ(nullptr, RootKeyLongName(HKEY_CURRENT_CONFIG));
    EXPECT_STREQ(L"", RootKeyShortName(nullptr));
}

TEST(RootKeys, HandleNumbers)
{
    EXPECT_EQ(0x80000000u, RootKeyValue(HKEY_CLASSES_ROOT));
    EXPECT_EQ(0x80000003u, RootKeyValue(HKEY_USERS));
    EXPECT_EQ(0u, RootKeyValue(nullptr));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, RootKeyFromValue(0x80000002u));
    EXPECT_EQ(nullptr, RootKeyFromValue(0x80000004u));
    EXPECT_EQ(nullptr, RootKeyFromValue(0));
    for (HKEY root : kRootKeys)
        EXPECT_EQ(root, RootKeyFromValue(RootKeyValue(root)));
}

TEST(RootKeys, SplitKeyPathKeepsThePathAsWritten)
{
    CString path = L"stale";
    EXPECT_EQ(HKEY_CURRENT_USER, SplitKeyPath(L"HKCU", path));
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_EQ(HKEY_CURRENT_USER, SplitKeyPath(L"HKCU\\A\\B\\", path));
    EXPECT_EQ(CString(L"A\\B\\"), path);
    EXPECT_EQ(HKEY_LOCAL_MACHINE, SplitKeyPath(L"HKEY_LOCAL_MACHINE\\\\x", path));
    EXPECT_EQ(CString(L"\\x"), path);
    EXPECT_EQ(nullptr, SplitKeyPath(L"HKCU\\A", path, true));
    EXPECT_EQ(nullptr, SplitKeyPath(L"Nowhere\\A", path));
    EXPECT_EQ(nullptr, SplitKeyPath(L"", path));
    EXPECT_EQ(CString(L"HKEY_USERS\\.DEFAULT"), FullKeyPath(HKEY_USERS, L".DEFAULT"));
    EXPECT_EQ(CString(L"HKEY_USERS"), FullKeyPath(HKEY_USERS, L""));
}
