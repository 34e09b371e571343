// The settings store against the in-memory registry: defaults, reading rules, the three write
// groups and the flush.
#include "settings/Settings.h"

#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

class SettingsTest : public testing::Test
{
protected:
    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};

    static void PutValue(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        CShdRegKey key(false);
        ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, CSettings::kKeyPath));
        ASSERT_TRUE(key.SetValue(name, type, data, size));
    }
    static void PutDword(const wchar_t* name, DWORD value) { PutValue(name, REG_DWORD, &value, 4); }
    static void PutText(const wchar_t* name, DWORD type, const wchar_t* text, DWORD characters)
    {
        PutValue(name, type, text, characters * 2);
    }
    static bool Read(const wchar_t* name, DWORD& type, CShdBinaryBuffer& data)
    {
        CShdRegKey key(false);
        return key.Open(HKEY_LOCAL_MACHINE, CSettings::kKeyPath) && key.QueryValue(name, type, data);
    }
    static DWORD ReadDword(const wchar_t* name)
    {
        CShdRegKey key(false);
        DWORD value = 0xDEAD;
        EXPECT_TRUE(key.Open(HKEY_LOCAL_MACHINE, CSettings::kKeyPath));
        EXPECT_TRUE(key.QueryDword(name, value)) << "missing " << static_cast<int>(name[0]);
        return value;
    }
    static DWORD ValueCount()
    {
        CShdRegKey key(false);
        return key.Open(HKEY_LOCAL_MACHINE, CSettings::kKeyPath) ? key.GetValueCount() : 0;
    }
};

void ExpectDefaults(const CSettings& settings)
{
    SSearchOptions options = settings.GetSearchOptions();
    EXPECT_EQ(CString(L""), options.searchString);
    EXPECT_TRUE(options.keyNames);
    EXPECT_TRUE(options.valueNames);
    EXPECT_TRUE(options.valueData);
    EXPECT_FALSE(options.caseSensitive);
    EXPECT_FALSE(options.wholeStringOnly);
    EXPECT_TRUE(options.strings);
    EXPECT_TRUE(options.multiStrings);
    EXPECT_TRUE(options.dwords);
    EXPECT_TRUE(options.binary);
    DWORD root = 1;
    CString keyPath, valueName;
    bool selected = true;
    settings.GetLastPosition(root, keyPath, valueName, selected);
    EXPECT_EQ(0u, root);
    EXPECT_EQ(CString(L""), keyPath);
    EXPECT_EQ(CString(L""), valueName);
    EXPECT_FALSE(selected);
    EXPECT_TRUE(settings.GetSavePosition());
    EXPECT_TRUE(settings.GetShowSearchToolbar());
    EXPECT_FALSE(settings.GetDoNotCheckImportHeader());
}

TEST_F(SettingsTest, MissingKeyGivesDefaultsAndFirstSaveCreatesIt)
{
    CSettings settings;
    settings.Load();
    ExpectDefaults(settings);
    EXPECT_EQ(0u, ValueCount());

    SSearchOptions options;
    options.searchString = L"needle";
    options.caseSensitive = true;
    options.binary = false;
    settings.SaveSearchOptions(options);
    settings.Flush();
    // Only the search group is written.
    EXPECT_EQ(10u, ValueCount());
    EXPECT_EQ(1u, ReadDword(L"SearchCaseSensitive"));
    EXPECT_EQ(0u, ReadDword(L"SearchTypeBinary"));
    EXPECT_EQ(1u, ReadDword(L"SearchKeyNames"));
    DWORD type = 0;
    CShdBinaryBuffer data;
    ASSERT_TRUE(Read(L"SearchString", type, data));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(14u, data.GetSize()); // with its terminator
}

TEST_F(SettingsTest, WrongTypesAndSizesGiveDefaults)
{
    PutText(L"SearchKeyNames", REG_SZ, L"0", 2);                    // a string: default true
    PutDword(L"SavePosition", 7);                                   // non-zero dword: true
    PutValue(L"ShowSearchToolbar", REG_DWORD, "\0\0", 2);           // short dword: default true
    PutValue(L"DoNotCheckImportHeader", REG_BINARY, "\1\0\0\0", 4); // not a dword: default false
    PutDword(L"SearchCaseSensitive", 0);
    PutValue(L"SearchValueData", REG_DWORD, "\0\0\0\0\0\0\0\0", 8); // long dword: default true
    PutText(L"SearchString", REG_MULTI_SZ, L"first\0second\0", 14); // cut at the first string
    PutText(L"LastPositionKeyName", REG_EXPAND_SZ, L"%x%\\y", 6);
    PutValue(L"LastPositionValueName", REG_BINARY, L"v", 4); // binary is not a string: default ""
    PutText(L"LastPositionRoot", REG_SZ, L"1", 2);           // not a number: 0
    PutDword(L"LastPositionValueSelected", 1);

    CSettings settings;
    settings.Load();
    SSearchOptions options = settings.GetSearchOptions();
    EXPECT_TRUE(options.keyNames);
    EXPECT_TRUE(options.valueData);
    EXPECT_FALSE(options.caseSensitive);
    EXPECT_EQ(CString(L"first"), options.searchString);
    EXPECT_TRUE(settings.GetSavePosition());
    EXPECT_TRUE(settings.GetShowSearchToolbar());
    EXPECT_FALSE(settings.GetDoNotCheckImportHeader());
    DWORD root = 5;
    CString keyPath, valueName;
    bool selected = false;
    settings.GetLastPosition(root, keyPath, valueName, selected);
    EXPECT_EQ(0u, root);
    EXPECT_EQ(CString(L"%x%\\y"), keyPath);
    EXPECT_EQ(CString(L""), valueName);
    EXPECT_TRUE(selected);

    // The options group writes the booleans back as 0 and 1.
    settings.SaveOptions();
    EXPECT_EQ(1u, ReadDword(L"SavePosition"));
    EXPECT_EQ(1u, ReadDword(L"ShowSearchToolbar"));
    EXPECT_EQ(0u, ReadDword(L"DoNotCheckImportHeader"));
}

TEST_F(SettingsTest, GroupsReadBackAndFlushReachesTheKey)
{
    CSettings settings;
    SSearchOptions options;
    options.searchString = L"a;b\\c";
    options.keyNames = false;
    options.wholeStringOnly = true;
    options.multiStrings = false;
    settings.SaveSearchOptions(options);
    settings.SaveLastPosition(0x80000002, L"Software\\Vendor", L"Value", true);
    settings.SetSavePosition(false);
    settings.SetShowSearchToolbar(false);
    settings.SetDoNotCheckImportHeader(true);
    EXPECT_EQ(14u, ValueCount()); // the setters alone write nothing
    settings.SaveOptions();
    m_memory.ResetCounts();
    settings.Flush();
    EXPECT_EQ(1u, m_memory.CallCount(IRegistryBackend::OpFlushKey));

    CSettings loaded;
    loaded.Load();
    SSearchOptions back = loaded.GetSearchOptions();
    EXPECT_EQ(options.searchString, back.searchString);
    EXPECT_FALSE(back.keyNames);
    EXPECT_TRUE(back.wholeStringOnly);
    EXPECT_FALSE(back.multiStrings);
    EXPECT_TRUE(back.dwords);
    DWORD root = 0;
    CString keyPath, valueName;
    bool selected = false;
    loaded.GetLastPosition(root, keyPath, valueName, selected);
    EXPECT_EQ(0x80000002u, root);
    EXPECT_EQ(CString(L"Software\\Vendor"), keyPath);
    EXPECT_EQ(CString(L"Value"), valueName);
    EXPECT_TRUE(selected);
    EXPECT_FALSE(loaded.GetSavePosition());
    EXPECT_FALSE(loaded.GetShowSearchToolbar());
    EXPECT_TRUE(loaded.GetDoNotCheckImportHeader());

    // A cleared position (what an exit with "SavePosition" off stores).
    loaded.SaveLastPosition(0, L"", L"", false);
    EXPECT_EQ(0u, ReadDword(L"LastPositionRoot"));
    EXPECT_EQ(0u, ReadDword(L"LastPositionValueSelected"));
    CSettings cleared;
    cleared.Load();
    cleared.GetLastPosition(root, keyPath, valueName, selected);
    EXPECT_EQ(CString(L""), keyPath);
    EXPECT_EQ(CString(L""), valueName);
}

TEST_F(SettingsTest, FailedWritesKeepTheValueInMemory)
{
    CSettings settings;
    m_memory.FailCall(IRegistryBackend::OpCreateKey, 1);
    SSearchOptions options;
    options.searchString = L"kept";
    settings.SaveSearchOptions(options);
    EXPECT_EQ(CString(L"kept"), settings.GetSearchOptions().searchString);
    EXPECT_EQ(0u, ValueCount());
    settings.Flush(); // nothing to flush, no failure either
    m_memory.FailCall(IRegistryBackend::OpSetValue, 2);
    settings.SaveLastPosition(0x80000001, L"k", L"v", false);
    DWORD root = 0;
    CString keyPath, valueName;
    bool selected = true;
    settings.GetLastPosition(root, keyPath, valueName, selected);
    EXPECT_EQ(CString(L"k"), keyPath);
    EXPECT_EQ(3u, ValueCount());
}

TEST(SettingsSingleton, OneObjectForTheProcess)
{
    EXPECT_EQ(&Settings(), &Settings());
}

} // namespace
