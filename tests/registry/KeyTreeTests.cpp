// Branch delete and copy on both back ends; partial failures and call counts in memory.
#include "tests/registry/BackendTest.h"

#include "registry/KeyTree.h"

#include <map>

namespace {

struct SValueCopy
{
    DWORD type;
    std::vector<BYTE> data;
    bool operator==(const SValueCopy& other) const { return type == other.type && data == other.data; }
};

struct SKeyCopy
{
    CString keyClass;
    std::map<std::wstring, SValueCopy> values;
    std::map<std::wstring, SKeyCopy> children;
    bool operator==(const SKeyCopy& other) const
    {
        return keyClass == other.keyClass && values == other.values && children == other.children;
    }
};

// Reads a whole branch through the raw back end, independent of the code under test.
SKeyCopy Snapshot(HKEY parent, const wchar_t* path)
{
    SKeyCopy copy;
    HKEY key;
    if (Registry().OpenKey(parent, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return copy;
    wchar_t keyClass[300];
    DWORD classLength = 300, subKeys = 0, values = 0;
    Registry().QueryInfoKey(key, keyClass, &classLength, nullptr, &subKeys, nullptr, nullptr, &values,
                            nullptr, nullptr, nullptr, nullptr);
    copy.keyClass = CString(keyClass, static_cast<int>(classLength));
    std::vector<BYTE> data(2 * 1024 * 1024);
    for (DWORD i = 0; i < values; ++i) {
        wchar_t name[400];
        DWORD nameLength = 400, type = 0, size = static_cast<DWORD>(data.size());
        EXPECT_EQ(ERROR_SUCCESS,
                  Registry().EnumValue(key, i, name, &nameLength, nullptr, &type, data.data(), &size));
        copy.values[std::wstring(name, nameLength)] = {type,
                                                       std::vector<BYTE>(data.begin(), data.begin() + size)};
    }
    for (DWORD i = 0; i < subKeys; ++i) {
        wchar_t name[300];
        DWORD nameLength = 300;
        EXPECT_EQ(ERROR_SUCCESS,
                  Registry().EnumKey(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr));
        copy.children[std::wstring(name, nameLength)] = Snapshot(key, name);
    }
    Registry().CloseKey(key);
    return copy;
}

} // namespace

using KeyTree = CBackendTest;

TEST_P(KeyTree, DeletesAThreeLevelTreeAndAMissingKey)
{
    PutString(L"top\\a\\a1\\a11", L"v", L"1");
    PutString(L"top\\a\\a2", L"v", L"2");
    PutString(L"top\\b", L"", L"3");
    PutString(L"top", L"w", L"4");
    EXPECT_TRUE(DeleteKeyTree(Base(), L"top"));
    EXPECT_FALSE(Exists(L"top"));
    EXPECT_TRUE(DeleteKeyTree(Base(), L"never\\there"));
    CShdRegKey base;
    ASSERT_TRUE(base.Open(Base(), L""));
    EXPECT_EQ(0u, base.GetSubKeyCount());
}

TEST_P(KeyTree, DeleteContentsKeepsTheKey)
{
    PutString(L"box\\inner\\deeper", L"v", L"1");
    PutString(L"box", L"a", L"2");
    PutString(L"box", L"b", L"3");
    EXPECT_TRUE(DeleteKeyContents(Base(), L"box"));
    CShdRegKey box;
    ASSERT_TRUE(box.Open(Base(), L"box"));
    EXPECT_EQ(0u, box.GetSubKeyCount());
    EXPECT_EQ(0u, box.GetValueCount());
    EXPECT_TRUE(DeleteAllValues(Base(), L"no such key"));
    EXPECT_TRUE(DeleteKeyContents(Base(), L"no such key"));
}

TEST_P(KeyTree, CopyIsByteIdenticalWithClassTypesAndNesting)
{
    CShdRegKey source;
    ASSERT_TRUE(source.Create(Base(), L"src", L"SourceClass"));
    PutString(L"src", L"", L"default");
    PutString(L"src", L"text",
              L"Gr\x00FC\x00DF"
              L"e \"quoted\" \\ back");
    Put(L"src", L"expand", REG_EXPAND_SZ, Bytes(L"%TEMP%\\x"));
    std::vector<BYTE> multi = Bytes(L"one", true);
    std::vector<BYTE> two = Bytes(L"two", true);
    multi.insert(multi.end(), two.begin(), two.end());
    multi.insert(multi.end(), {0, 0});
    Put(L"src", L"multi", REG_MULTI_SZ, multi);
    Put(L"src", L"dword", REG_DWORD, {0x78, 0x56, 0x34, 0x12});
    Put(L"src", L"binary", REG_BINARY, {0, 1, 2, 0xFF});
    Put(L"src", L"none", REG_NONE, {});
    Put(L"src", L"emptybin", REG_BINARY, {});
    Put(L"src", L"custom", 0x12345, {9, 8, 7});
    std::vector<BYTE> mega(1024 * 1024);
    for (size_t i = 0; i < mega.size(); ++i)
        mega[i] = static_cast<BYTE>(i % 251);
    Put(L"src", L"mega", REG_BINARY, mega);
    ASSERT_TRUE(CShdRegKey().Create(Base(), L"src\\child", L"ChildClass"));
    PutString(L"src\\child\\grandchild", L"deep", L"x");

    ASSERT_TRUE(CopyKeyTree(Base(), L"src", Base(), L"dst"));
    SKeyCopy original = Snapshot(Base(), L"src");
    EXPECT_EQ(10u, original.values.size());
    EXPECT_EQ(CString(L"SourceClass"), original.keyClass);
    EXPECT_TRUE(original == Snapshot(Base(), L"dst"));
    EXPECT_EQ(CString(L"ChildClass"), Snapshot(Base(), L"dst").children[L"child"].keyClass);
}

TEST_P(KeyTree, CopyOntoAnExistingKeyKeepsItsOtherValues)
{
    PutString(L"src", L"shared", L"from source");
    PutString(L"src", L"new", L"added");
    PutString(L"dst", L"shared", L"old");
    PutString(L"dst", L"own", L"kept");
    ASSERT_TRUE(CopyKeyTree(Base(), L"src", Base(), L"dst"));
    CShdRegKey target;
    ASSERT_TRUE(target.Open(Base(), L"dst"));
    EXPECT_EQ(CString(L"from source"), target.GetString(L"shared", L""));
    EXPECT_EQ(CString(L"added"), target.GetString(L"new", L""));
    EXPECT_EQ(CString(L"kept"), target.GetString(L"own", L""));
    EXPECT_FALSE(CopyKeyTree(Base(), L"missing", Base(), L"dst2"));
    EXPECT_FALSE(Exists(L"dst2"));
}

INSTANTIATE_TEST_SUITE_P(Backends, KeyTree, testing::Values(EBackend::Win32, EBackend::Memory), BackendName);

class KeyTreeFaults : public CBackendTest
{
};

TEST_P(KeyTreeFaults, UndeletableValueStaysTheRestGoes)
{
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
        PutString(L"box", name, L"x");
    PutString(L"box\\sub", L"v", L"y");
    CString boxPath = BasePath() + L"\\box";
    Memory().ProtectValue(HKEY_CURRENT_USER, boxPath, L"b");
    EXPECT_FALSE(DeleteKeyContents(Base(), L"box"));
    CShdRegKey box;
    ASSERT_TRUE(box.Open(Base(), L"box"));
    EXPECT_EQ(1u, box.GetValueCount());
    EXPECT_TRUE(box.ValueExists(L"b"));
    EXPECT_EQ(0u, box.GetSubKeyCount());
    Memory().ClearFaults(); // so that the fixture can remove the branch
}

TEST_P(KeyTreeFaults, FailedValueCopyMarksTheCopyIncompleteAndGoesOn)
{
    for (const wchar_t* name : {L"a", L"b", L"c"})
        PutString(L"src", name, name);
    Memory().FailCall(IRegistryBackend::OpSetValue, 2);
    EXPECT_FALSE(CopyKeyTree(Base(), L"src", Base(), L"dst"));
    CShdRegKey target;
    ASSERT_TRUE(target.Open(Base(), L"dst"));
    EXPECT_EQ(2u, target.GetValueCount());
}

// Round trips for a small known tree: a root key with two values and two subkeys, one of
// which has one value. A change that adds calls shows here.
TEST_P(KeyTreeFaults, RegistryCallCountsForCopyAndDelete)
{
    PutString(L"t", L"v1", L"1");
    PutString(L"t", L"v2", L"2");
    PutString(L"t\\s1", L"w", L"3");
    ASSERT_TRUE(CShdRegKey().Create(Base(), L"t\\s2"));
    Registry().ResetCounts();
    ASSERT_TRUE(CopyKeyTree(Base(), L"t", Base(), L"copy"));
    using Op = IRegistryBackend;

    // Each source key is opened twice: once to read the branch's names before anything is
    // written, once to copy its values. One flush, through the top of the copy.
    EXPECT_EQ(6u, Registry().CallCount(Op::OpOpenKey));
    EXPECT_EQ(3u, Registry().CallCount(Op::OpCreateKey));
    EXPECT_EQ(9u, Registry().CallCount(Op::OpCloseKey));
    EXPECT_EQ(1u, Registry().CallCount(Op::OpFlushKey));
    EXPECT_EQ(3u, Registry().CallCount(Op::OpEnumValue));  // one per value
    EXPECT_EQ(6u, Registry().CallCount(Op::OpQueryValue)); // size, then data, per value
    EXPECT_EQ(3u, Registry().CallCount(Op::OpSetValue));
    EXPECT_EQ(2u, Registry().CallCount(Op::OpEnumKey));
    // per key: class, both counts, plus the name hints per value and subkey
    EXPECT_EQ(11u, Registry().CallCount(Op::OpQueryInfoKey));
    EXPECT_EQ(44u, Registry().TotalCalls());

    Registry().ResetCounts();
    ASSERT_TRUE(DeleteKeyTree(Base(), L"copy"));
    EXPECT_EQ(3u, Registry().CallCount(Op::OpDeleteKey));
    EXPECT_EQ(3u, Registry().CallCount(Op::OpDeleteValue));
    // one open per key, relative to its parent, and the check that the top is gone
    EXPECT_EQ(4u, Registry().CallCount(Op::OpOpenKey));
    EXPECT_EQ(3u, Registry().CallCount(Op::OpCloseKey));
    EXPECT_EQ(1u, Registry().CallCount(Op::OpFlushKey)); // the top's parent, once
    // per key: subkey count, value count, plus the name hints
    EXPECT_EQ(11u, Registry().CallCount(Op::OpQueryInfoKey));
    EXPECT_EQ(30u, Registry().TotalCalls());
    EXPECT_EQ(1u, Memory().OpenHandleCount()); // only the fixture's base key stays open
}

TEST_P(KeyTreeFaults, CountsThatCannotBeReadAreNotAnEmptyKey)
{
    PutString(L"src", L"a", L"1");
    // The copy's second RegQueryInfoKeyW (after the class) reads the counts.
    Memory().FailCall(IRegistryBackend::OpQueryInfoKey, 2);
    EXPECT_FALSE(CopyKeyTree(Base(), L"src", Base(), L"dst"));

    // Count, name hint, then the final check that no value is left.
    Memory().FailCall(IRegistryBackend::OpQueryInfoKey, 3);
    EXPECT_FALSE(DeleteAllValues(Base(), L"src"));
    CShdRegKey src;
    ASSERT_TRUE(src.Open(Base(), L"src"));
    EXPECT_EQ(0u, src.GetValueCount());
}

TEST_P(KeyTreeFaults, RootIsNeverEmptiedByDeleteKeyTree)
{
    PutString(L"keep", L"v", L"x");
    EXPECT_FALSE(DeleteKeyTree(HKEY_CURRENT_USER, L""));
    EXPECT_FALSE(DeleteKeyTree(HKEY_CURRENT_USER, nullptr));
    EXPECT_TRUE(Exists(L"keep"));
    EXPECT_EQ(0u, Registry().CallCount(IRegistryBackend::OpDeleteValue));
    EXPECT_EQ(0u, Registry().CallCount(IRegistryBackend::OpDeleteKey));
}

TEST_P(KeyTreeFaults, SeveralPlannedFailuresOfOneOperationEachFireOnTheirCall)
{
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
        PutString(L"src", name, name);
    Memory().FailCall(IRegistryBackend::OpSetValue, 1);
    Memory().FailCall(IRegistryBackend::OpSetValue, 3);
    EXPECT_FALSE(CopyKeyTree(Base(), L"src", Base(), L"dst"));
    CShdRegKey target;
    ASSERT_TRUE(target.Open(Base(), L"dst"));
    EXPECT_FALSE(target.ValueExists(L"a"));
    EXPECT_TRUE(target.ValueExists(L"b"));
    EXPECT_FALSE(target.ValueExists(L"c"));
    EXPECT_TRUE(target.ValueExists(L"d"));
}

TEST_P(KeyTreeFaults, UndeletableKeyStaysItsSiblingsGo)
{
    PutString(L"t\\keep", L"v", L"x");
    PutString(L"t\\keep\\below", L"w", L"y");
    PutString(L"t\\other", L"v", L"z");
    Memory().ProtectKey(HKEY_CURRENT_USER, BasePath() + L"\\t\\keep");
    EXPECT_FALSE(DeleteKeyTree(Base(), L"t"));
    EXPECT_TRUE(Exists(L"t\\keep"));
    EXPECT_FALSE(Exists(L"t\\keep\\below"));
    EXPECT_FALSE(Exists(L"t\\other"));
    Memory().ClearFaults(); // so that the fixture can remove the branch
}

// Desktop Windows enumerates values in insertion order; the branch operations must not care.
TEST_P(KeyTreeFaults, InsertionOrderGivesTheSameResults)
{
    Memory().SetInsertionOrder(true);
    for (const wchar_t* name : {L"zeta", L"Alpha", L"mid", L""})
        PutString(L"src", name, name);
    CShdRegKey src;
    ASSERT_TRUE(src.Open(Base(), L"src"));
    CString order, name;
    for (DWORD i = 0; src.EnumValueName(i, name); ++i)
        order += name + L",";
    EXPECT_EQ(CString(L"zeta,Alpha,mid,,"), order);

    ASSERT_TRUE(CopyKeyTree(Base(), L"src", Base(), L"dst"));
    Memory().SetInsertionOrder(false);
    SKeyCopy copied = Snapshot(Base(), L"dst");
    EXPECT_TRUE(Snapshot(Base(), L"src") == copied);
    EXPECT_EQ(4u, copied.values.size());

    Memory().SetInsertionOrder(true);
    Memory().ProtectValue(HKEY_CURRENT_USER, BasePath() + L"\\src", L"mid");
    EXPECT_FALSE(DeleteAllValues(Base(), L"src"));
    EXPECT_EQ(1u, src.GetValueCount());
    EXPECT_TRUE(src.ValueExists(L"mid"));
    Memory().ClearFaults();
}

INSTANTIATE_TEST_SUITE_P(Memory, KeyTreeFaults, testing::Values(EBackend::Memory), BackendName);
