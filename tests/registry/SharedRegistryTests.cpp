// Behaviours the program relies on, shown on the real registry and on the in-memory one alike.
#include "tests/registry/BackendTest.h"

#include <algorithm>

using Shared = CBackendTest;

TEST_P(Shared, NamesAreCaseInsensitiveAndSubkeysComeInNameOrder)
{
    for (const wchar_t* name : {L"beta", L"Alpha", L"gamma2", L"GAMMA10", L"delta"})
        ASSERT_TRUE(CShdRegKey().Create(Base(), name));
    EXPECT_TRUE(Exists(L"ALPHA"));
    EXPECT_TRUE(Exists(L"Gamma2"));
    CShdRegKey key;
    ASSERT_TRUE(key.Open(Base(), L""));
    ASSERT_EQ(5u, key.GetSubKeyCount());
    const wchar_t* expected[] = {L"Alpha", L"beta", L"delta", L"GAMMA10", L"gamma2"};
    for (DWORD i = 0; i < 5; ++i) {
        CString name;
        ASSERT_TRUE(key.EnumKey(i, name));
        EXPECT_EQ(CString(expected[i]), name) << i; // the stored spelling comes back
    }
    CString name;
    EXPECT_FALSE(key.EnumKey(5, name));
    EXPECT_TRUE(name.IsEmpty());
}

TEST_P(Shared, ValuesComeInNameOrderWithTheirSpelling)
{
    PutString(L"", L"zeta", L"1");
    PutString(L"", L"Alpha", L"2");
    PutString(L"", L"mid", L"3");
    PutString(L"", L"ALPHA", L"4"); // same value, rewritten
    CShdRegKey key;
    ASSERT_TRUE(key.Open(Base(), L""));
    ASSERT_EQ(3u, key.GetValueCount());
    CString names[3];
    for (DWORD i = 0; i < 3; ++i)
        ASSERT_TRUE(key.EnumValueName(i, names[i]));
    EXPECT_EQ(CString(L"Alpha"), names[0]);
    EXPECT_EQ(CString(L"mid"), names[1]);
    EXPECT_EQ(CString(L"zeta"), names[2]);
    EXPECT_EQ(CString(L"4"), key.GetString(L"alpha", L""));
}

TEST_P(Shared, MoreDataAnswersWithTheRequiredSize)
{
    Put(L"", L"blob", REG_BINARY, std::vector<BYTE>(100, 7));
    CShdRegKey key;
    ASSERT_TRUE(key.Open(Base(), L""));
    BYTE buffer[10];
    DWORD type = 0, size = sizeof(buffer);
    EXPECT_EQ(ERROR_MORE_DATA,
              Registry().QueryValue(key.GetHandle(), L"blob", nullptr, &type, buffer, &size));
    EXPECT_EQ(100u, size);
    size = 0;
    EXPECT_EQ(ERROR_SUCCESS, Registry().QueryValue(key.GetHandle(), L"blob", nullptr, &type, nullptr, &size));
    EXPECT_EQ(100u, size);
    EXPECT_EQ(DWORD(REG_BINARY), type);
    wchar_t name[3];
    DWORD nameLength = 3, dataSize = sizeof(buffer);
    EXPECT_EQ(ERROR_MORE_DATA,
              Registry().EnumValue(key.GetHandle(), 0, name, &nameLength, nullptr, &type, buffer, &dataSize));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              Registry().QueryValue(key.GetHandle(), L"missing", nullptr, &type, nullptr, &size));
}

TEST_P(Shared, KeyWithSubkeysCannotBeDeletedDirectly)
{
    ASSERT_TRUE(CShdRegKey().Create(Base(), L"parent\\child"));
    EXPECT_NE(ERROR_SUCCESS, Registry().DeleteKey(Base(), L"parent"));
    EXPECT_TRUE(Exists(L"parent\\child"));
    EXPECT_EQ(ERROR_SUCCESS, Registry().DeleteKey(Base(), L"parent\\child"));
    EXPECT_EQ(ERROR_SUCCESS, Registry().DeleteKey(Base(), L"PARENT"));
    EXPECT_FALSE(Exists(L"parent"));
    EXPECT_NE(ERROR_SUCCESS, Registry().DeleteKey(Base(), L"parent"));
}

TEST_P(Shared, ClassStringsAndDefaultValues)
{
    CShdRegKey key;
    ASSERT_TRUE(key.Create(Base(), L"classy", L"MyClass"));
    EXPECT_EQ(CString(L"MyClass"), key.GetClass());
    ASSERT_TRUE(key.Open(Base(), L"classy"));
    EXPECT_EQ(CString(L"MyClass"), key.GetClass());
    ASSERT_TRUE(key.Create(Base(), L"plain"));
    EXPECT_EQ(CString(), key.GetClass());

    EXPECT_FALSE(key.ValueExists(L""));
    ASSERT_TRUE(key.SetString(L"", L"default text"));
    EXPECT_TRUE(key.ValueExists(nullptr));
    EXPECT_EQ(CString(L"default text"), key.GetString(nullptr, L"?"));
    CString name;
    ASSERT_TRUE(key.EnumValueName(0, name));
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_TRUE(key.DeleteValue(L""));
    EXPECT_EQ(0u, key.GetValueCount());
}

TEST_P(Shared, EmptySubkeyPathMeansTheKeyItself)
{
    PutString(L"", L"here", L"x");
    CShdRegKey same;
    ASSERT_TRUE(same.Open(Base(), L""));
    EXPECT_TRUE(same.ValueExists(L"here"));
    CShdRegKey created;
    ASSERT_TRUE(created.Create(Base(), L""));
    EXPECT_TRUE(created.ValueExists(L"here"));
    EXPECT_EQ(0u, created.GetSubKeyCount());
}

// Paths reach the platform as written; both back ends must agree on the spellings callers can
// produce from user input or .reg files.
TEST_P(Shared, PathSpellingsAgreeWithThePlatform)
{
    ASSERT_TRUE(CShdRegKey().Create(Base(), L"a\\b"));
    CShdRegKey key;
    // Empty components after the first are skipped, a leading backslash is refused.
    EXPECT_TRUE(key.Open(Base(), L"A\\B\\"));
    EXPECT_TRUE(key.Open(Base(), L"a\\\\b\\\\"));
    EXPECT_FALSE(key.Open(Base(), L"\\a"));
    EXPECT_FALSE(key.Create(Base(), L"\\lead"));
    EXPECT_TRUE(key.Create(Base(), L"a\\\\c"));
    EXPECT_TRUE(Exists(L"a\\c"));
    EXPECT_FALSE(key.Open(Base(), L"missing\\"));
    // Key names up to 256 characters.
    EXPECT_TRUE(key.Create(Base(), CString(L'k', 256)));
    EXPECT_FALSE(key.Create(Base(), CString(L'k', 257)));
    EXPECT_FALSE(key.Open(Base(), CString(L'k', 257)));
}

TEST_P(Shared, TypedReadsRefuseOtherTypesAndSizes)
{
    DWORD four = 0x01020304;
    std::vector<BYTE> fourBytes(reinterpret_cast<BYTE*>(&four), reinterpret_cast<BYTE*>(&four) + 4);
    Put(L"", L"bin4", REG_BINARY, fourBytes);
    Put(L"", L"dword8", REG_DWORD, std::vector<BYTE>(8, 1));
    Put(L"", L"dword", REG_DWORD, fourBytes);
    std::vector<BYTE> multi = Bytes(L"a\0b\0", false);
    multi.insert(multi.end(), {0, 0});
    Put(L"", L"multi", REG_MULTI_SZ, multi);
    CShdRegKey key;
    ASSERT_TRUE(key.Open(Base(), L""));
    DWORD number = 5;
    EXPECT_FALSE(key.QueryDword(L"bin4", number));
    EXPECT_EQ(0u, number);
    EXPECT_FALSE(key.QueryDword(L"dword8", number));
    EXPECT_TRUE(key.QueryDword(L"dword", number));
    EXPECT_EQ(four, number);
    EXPECT_TRUE(key.GetBool(L"dword", false));
    EXPECT_EQ(77u, key.GetDword(L"bin4", 77));
    CString text = L"stale";
    EXPECT_TRUE(key.QueryString(L"multi", text));
    EXPECT_EQ(CString(L"a"), text);
    EXPECT_FALSE(key.QueryString(L"dword", text));
    EXPECT_TRUE(text.IsEmpty());
}

TEST_P(Shared, LongNamesAndLargeDataReadWhole)
{
    CString longName(L'n', 300);
    std::vector<BYTE> big(2000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<BYTE>(i * 7);
    Put(L"", longName, REG_BINARY, big);
    Put(L"", L"exact", REG_BINARY, std::vector<BYTE>(1025, 3));
    ASSERT_TRUE(CShdRegKey().Create(Base(), CString(L'k', 255)));
    CShdRegKey key;
    ASSERT_TRUE(key.Open(Base(), L""));
    for (DWORD i = 0; i < 2; ++i) {
        CString name;
        DWORD type;
        CShdBinaryBuffer data;
        ASSERT_TRUE(key.EnumValue(i, name, type, data)) << i;
        if (name == longName) {
            ASSERT_EQ(2000u, data.GetSize());
            EXPECT_TRUE(std::equal(big.begin(), big.end(), data.GetData()));
        } else {
            EXPECT_EQ(CString(L"exact"), name);
            EXPECT_EQ(1025u, data.GetSize());
        }
    }
    CString name;
    EXPECT_TRUE(key.EnumValueName260(1, name));
    EXPECT_EQ(CString(L'n', 300), name);
    EXPECT_TRUE(key.EnumKey260(0, name));
    EXPECT_EQ(255, name.GetLength());
}

TEST_P(Shared, ClosedKeyFailsWithoutCallingTheRegistry)
{
    CShdRegKey key;
    EXPECT_FALSE(key.Open(Base(), L"missing\\key"));
    Registry().ResetCounts();
    CString text;
    DWORD type = 9;
    CShdBinaryBuffer data;
    EXPECT_FALSE(key.QueryString(L"x", text));
    EXPECT_FALSE(key.SetString(L"x", L"y"));
    EXPECT_FALSE(key.QueryValue(L"x", type, data));
    EXPECT_EQ(0u, type);
    EXPECT_EQ(0u, key.GetValueCount());
    EXPECT_EQ(CString(), key.GetClass());
    EXPECT_FALSE(key.EnumKey(0, text));
    EXPECT_EQ(0u, Registry().TotalCalls());
}

INSTANTIATE_TEST_SUITE_P(Backends, Shared, testing::Values(EBackend::Win32, EBackend::Memory), BackendName);
