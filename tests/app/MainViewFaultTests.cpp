// The key tree and the value list over the in-memory registry told to fail chosen calls: items
// that cannot be read are stepped over, keys that cannot be opened are leaves, unreadable data
// leaves its "Value" column empty.
#include "tests/app/KeyCommandTests.h"

#include "registry/KeyTree.h"
#include "registry/ShdRegKey.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using Names = std::vector<std::wstring>;
using Op = IRegistryBackend::EOperation;

class MainViewFaults : public CKeyCommandFaultTest
{
public:
    struct SRow;

protected:
    std::vector<SRow> Rows();
    void Remove(const wchar_t* path) { ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, Sub(path))); }
};

} // namespace

TEST_F(MainViewFaults, ASubkeyThatCannotBeReadIsSteppedOver)
{
    MakeKey(L"P\\A");
    MakeKey(L"P\\B");
    MakeKey(L"P\\C");
    MakeKey(L"P\\D");
    ASSERT_TRUE(Select(L"P"));
    m_memory.FailCall(IRegistryBackend::OpEnumKey, 2); // "B"
    TreeView_Expand(Tree().GetHwnd(), Item(L"P"), TVE_EXPAND);
    EXPECT_EQ(Names({L"A", L"C", L"D"}), Labels(Item(L"P"))) << "the names after it are read";

    m_memory.FailCall(IRegistryBackend::OpEnumKey, 3); // "C"
    Tree().Refresh(Item(L"P"));
    EXPECT_EQ(Names({L"A", L"B", L"C", L"D"}), Labels(Item(L"P"))) << "a child already shown stays";
}

namespace {

// A row of the list as the user sees it.
struct MainViewFaults::SRow
{
    std::wstring name, text;
    int icon;
    bool operator==(const SRow& other) const
    {
        return name == other.name && text == other.text && icon == other.icon;
    }
};

using SRow = MainViewFaults::SRow;

void PrintTo(const SRow& row, std::ostream* out)
{
    *out << testing::PrintToString(row.name) << " " << testing::PrintToString(row.text) << " " << row.icon;
}

int Icon(DWORD type)
{
    switch (type) {
    case REG_SZ:
        return 7;
    case REG_BINARY:
        return 8;
    case REG_DWORD:
        return 9;
    case REG_MULTI_SZ:
        return 10;
    case REG_EXPAND_SZ:
        return 11;
    case REG_NONE:
        return 12;
    }
    return 13;
}

std::wstring TypedReadText(const CShdRegKey& key, const CString& name, DWORD type)
{
    CString text;
    DWORD number = 0;
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        key.QueryString(name, text);
        return text.c_str();
    case REG_MULTI_SZ:
        return key.QueryString(name, text) ? std::wstring(text.c_str()) + L"..." : L"";
    case REG_DWORD:
        if (!key.QueryDword(name, number))
            return L"";
        text.Format(L"%lu (0x%08X)", number, number);
        return text.c_str();
    }
    CShdBinaryBuffer data;
    DWORD readType = 0;
    std::wstring hex;
    if (!key.QueryValue(name, readType, data))
        return hex;
    for (DWORD i = 0; i < data.GetSize() && i < 128; ++i) {
        wchar_t pair[4];
        swprintf(pair, 4, i ? L" %02X" : L"%02X", data.GetData()[i]);
        hex += pair;
    }
    return data.GetSize() > 128 ? hex + L"..." : hex;
}

// The rows as the list read them before it enumerated each value once: the type, then the
// data by the typed read the type asks for.
std::vector<SRow> TypedReadRows(const wchar_t* path)
{
    CShdRegKey key(false);
    std::vector<SRow> rows;
    if (!key.Open(HKEY_CURRENT_USER, path))
        return rows;
    CString name;
    std::vector<CString> names;
    for (DWORD index = 0; key.EnumValueName260(index, name); ++index)
        names.push_back(name);
    std::sort(names.begin(), names.end(),
              [](const CString& a, const CString& b) { return _wcsicmp(a, b) < 0; });
    for (const CString& each : names) {
        DWORD type = 0;
        if (key.QueryValueType(each, type))
            rows.push_back({each.c_str(), TypedReadText(key, each, type), Icon(type)});
    }
    return rows;
}

} // namespace

std::vector<SRow> MainViewFaults::Rows()
{
    std::vector<SRow> rows;
    for (int row = 0; row < ListView_GetItemCount(List()); ++row)
        rows.push_back({ListText(row, 0), ListText(row, 1), ListImage(row)});
    return rows;
}

TEST_F(MainViewFaults, ListRowsAreTheTypedReadsOfEveryKindOfValue)
{
    // Random values of every type, size and shape (odd sizes, no terminator, inner NULs, more
    // than 128 bytes, names of up to 300 characters), in both enumeration orders.
    std::mt19937 random(23);
    for (int round = 0; round < 6; ++round) {
        m_memory.SetInsertionOrder(round % 2 == 1);
        CString path;
        path.Format(L"V%d", round);
        const DWORD types[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ,
                               5,        11,     0x12345};
        for (int i = 0; i < 40; ++i) {
            std::wstring name(random() % 8 == 0 ? 270 + random() % 30 : random() % 12, L'n');
            for (wchar_t& c : name)
                c = wchar_t(L'A' + random() % 52);
            if (i == 0)
                name.clear(); // the default value
            std::vector<BYTE> data(random() % 4 == 0 ? 120 + random() % 20 : random() % 12);
            for (BYTE& b : data)
                b = random() % 3 == 0 ? 0 : BYTE(0x20 + random() % 90);
            PutValue(path, name.c_str(), types[random() % std::size(types)], data);
        }
        ASSERT_TRUE(Select(path));
        const std::vector<SRow> expected = TypedReadRows(Sub(path));
        EXPECT_EQ(expected, Rows()) << round;
    }
}

TEST_F(MainViewFaults, UnreadableDataLeavesTheValueColumnEmptyAndAnUnreadableValueIsLeftOut)
{
    PutString(L"K", L"a", L"one");
    PutValue(L"K", L"b", REG_BINARY, {1, 2});
    PutValue(L"K", L"c", REG_DWORD, {5, 0, 0, 0});
    PutString(L"K", L"d", L"four");
    m_memory.FailCall(IRegistryBackend::OpEnumValue, 2); // b's data
    ASSERT_TRUE(Select(L"K"));
    const SRow a = {L"a", L"one", 7}, b = {L"b", L"", 8}, d = {L"d", L"four", 7};
    EXPECT_EQ((std::vector<SRow>{a, b, {L"c", L"5 (0x00000005)", 9}, d}), Rows());

    m_memory.FailCall(IRegistryBackend::OpEnumValue, 3); // c's data
    m_memory.FailCall(IRegistryBackend::OpEnumValue, 4); // c's name and type
    m_main->FillValueList(nullptr, false, L"d");
    EXPECT_EQ((std::vector<SRow>{a, {L"b", L"01 02", 8}, d}), Rows()) << "the values after it are listed";
    EXPECT_EQ(L"d", SelectedValue());
}

TEST_F(MainViewFaults, AKeyThatCannotBeOpenedHasNoButtonAndAnEmptyList)
{
    PutString(L"Locked\\Inner", L"v", L"1");
    PutString(L"Locked", L"v", L"1");
    MakeKey(L"Open\\Inner");
    ASSERT_TRUE(Select(L""));
    TreeView_Expand(Tree().GetHwnd(), Item(L""), TVE_EXPAND);
    m_memory.FailCall(IRegistryBackend::OpOpenKey, 1);
    EXPECT_FALSE(Tree().HasButton(Item(L"Locked"))) << "counted when first asked for";
    EXPECT_TRUE(Tree().HasButton(Item(L"Open")));
    m_memory.FailCall(IRegistryBackend::OpOpenKey, 1);
    ASSERT_TRUE(Select(L"Locked"));
    EXPECT_EQ(0, ListView_GetItemCount(List()));
}

TEST_F(MainViewFaults, SubkeysThatAppearOrVanishBetweenExpansions)
{
    MakeKey(L"Grows");
    MakeKey(L"Shrinks\\Only");
    ASSERT_TRUE(Select(L""));
    HWND tree = Tree().GetHwnd();
    TreeView_Expand(tree, Item(L""), TVE_EXPAND);
    EXPECT_FALSE(Tree().HasButton(Item(L"Grows")));
    EXPECT_TRUE(Unloaded(Item(L"Shrinks")));

    // Changed outside after the buttons were decided: the buttons stay as they were until the
    // key is expanded or refreshed, as a loaded key's children do.
    MakeKey(L"Grows\\New");
    Remove(L"Shrinks\\Only");
    EXPECT_FALSE(Tree().HasButton(Item(L"Grows")));
    TreeView_Expand(tree, Item(L"Shrinks"), TVE_EXPAND);
    EXPECT_EQ(Names(), Labels(Item(L"Shrinks")));
    EXPECT_FALSE(Tree().HasButton(Item(L"Shrinks"))) << "expanded and found empty";
    Tree().Refresh(Item(L""));
    EXPECT_TRUE(Unloaded(Item(L"Grows")));
    EXPECT_FALSE(Tree().HasButton(Item(L"Shrinks")));
    TreeView_Expand(tree, Item(L"Grows"), TVE_EXPAND);
    EXPECT_EQ(Names({L"New"}), Labels(Item(L"Grows")));

    // Loaded, collapsed, changed, expanded again: loaded again only after a refresh.
    MakeKey(L"Shrinks\\Back");
    TreeView_Expand(tree, Item(L"Grows"), TVE_COLLAPSE);
    Remove(L"Grows\\New");
    TreeView_Expand(tree, Item(L"Grows"), TVE_EXPAND);
    EXPECT_EQ(Names({L"New"}), Labels(Item(L"Grows")));
    Tree().Refresh(Item(L""));
    EXPECT_EQ(Names(), Labels(Item(L"Grows"))) << "an expanded key is loaded again";
    EXPECT_FALSE(Tree().HasButton(Item(L"Grows")));
    EXPECT_TRUE(Unloaded(Item(L"Shrinks")));
    TreeView_Expand(tree, Item(L"Shrinks"), TVE_EXPAND);
    EXPECT_EQ(Names({L"Back"}), Labels(Item(L"Shrinks")));
}
