// The main view's fixture, and the key tree and value list over a real registry branch.
#include "tests/app/MainViewTests.h"

#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

void CTestMainWnd::TrackPopup(HMENU popup, POINT)
{
    m_trackedFirstIds.push_back(GetMenuItemID(popup, 0) == UINT(-1) ? 0 : GetMenuItemID(popup, 0));
}

void DrainMainWindowMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, CMainWnd::kStartupMessage, CMainWnd::kStartupMessage, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void CMainViewTest::SetUp()
{
    CRegistryTest::SetUp();
    m_main = std::make_unique<CTestMainWnd>();
    ASSERT_TRUE(m_main->CreateMain(GetModuleHandleW(nullptr)));
    DrainMainWindowMessages();
}

void CMainViewTest::TearDown()
{
    m_main.reset();
    DrainMainWindowMessages();
    CRegistryTest::TearDown();
}

CString CMainViewTest::Sub(const wchar_t* path) const
{
    return path && *path ? TestPath() + L"\\" + path : TestPath();
}

std::vector<std::wstring> CMainViewTest::Labels(HTREEITEM parent)
{
    std::vector<std::wstring> labels;
    for (HTREEITEM child = TreeView_GetChild(Tree().GetHwnd(), parent); child;
         child = TreeView_GetNextSibling(Tree().GetHwnd(), child)) {
        CString label;
        Tree().GetItemLabel(child, label);
        labels.push_back(label.c_str());
    }
    return labels;
}

int CMainViewTest::Image(HTREEITEM item)
{
    TVITEMW data = {};
    data.mask = TVIF_IMAGE;
    data.hItem = item;
    return TreeView_GetItem(Tree().GetHwnd(), &data) ? data.iImage : -1;
}

std::wstring CMainViewTest::ListText(int row, int column)
{
    wchar_t buffer[1024] = L"";
    ListView_GetItemText(List(), row, column, buffer, 1024);
    return buffer;
}

int CMainViewTest::ListImage(int row)
{
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    return ListView_GetItem(List(), &item) ? item.iImage : -1;
}

void CMainViewTest::CreateKey(const wchar_t* path)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(TestKey(), path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
}

void CMainViewTest::DeleteKey(const wchar_t* path)
{
    ASSERT_TRUE(DeleteTestTree(HKEY_CURRENT_USER, Sub(path)));
}

void CMainViewTest::SetClientSize(int width, int height)
{
    HWND main = m_main->GetHwnd();
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, DWORD(GetWindowLongPtrW(main, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(main, GWL_EXSTYLE)));
    SetWindowPos(main, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client = {};
    GetClientRect(main, &client);
    ASSERT_EQ(width, client.right);
    ASSERT_EQ(height, client.bottom);
}

RECT CMainViewTest::ChildRect(HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, m_main->GetHwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

namespace {

using Names = std::vector<std::wstring>;

using KeyTree = CMainViewTest;
using ValueList = CMainViewTest;

} // namespace

TEST_F(KeyTree, ExpansionReplacesThePlaceholderWithSortedSubkeys)
{
    HTREEITEM registry = Tree().GetRegistryItem();
    EXPECT_EQ(Names({L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE", L"HKEY_USERS"}),
              Labels(registry));
    EXPECT_TRUE(Unloaded(Tree().FindChild(registry, L"hkey_current_user")))
        << "a root is not loaded before its first expansion";
    CreateKey(L"Parent\\b");
    CreateKey(L"Parent\\A");
    CreateKey(L"Parent\\c\\deeper");
    CreateKey(L"Leaf");
    ASSERT_TRUE(Select(L""));
    HTREEITEM test = Item(L"");
    EXPECT_TRUE(Unloaded(test)) << "selecting expands the parents only";
    TreeView_Expand(Tree().GetHwnd(), test, TVE_EXPAND);
    EXPECT_EQ(Names({L"Leaf", L"Parent"}), Labels(test));
    HTREEITEM parent = Item(L"Parent");
    EXPECT_TRUE(Unloaded(parent)) << "a key with subkeys shows an expand button";
    EXPECT_EQ(Names(), Labels(Item(L"Leaf")));
    EXPECT_FALSE(Tree().HasButton(Item(L"Leaf"))) << "a key without subkeys shows none";
    EXPECT_TRUE(Tree().IsFilled(Item(L"Leaf")));
    TreeView_Expand(Tree().GetHwnd(), parent, TVE_EXPAND);
    EXPECT_EQ(Names({L"A", L"b", L"c"}), Labels(parent));
    EXPECT_TRUE(Unloaded(Item(L"Parent\\c")));
}

TEST_F(KeyTree, RefreshFollowsKeysCreatedAndDeletedOutsideAndKeepsExpandedBranches)
{
    CreateKey(L"Parent\\b");
    CreateKey(L"Parent\\d\\inner");
    ASSERT_TRUE(Select(L"Parent\\d\\inner"));
    CreateKey(L"Parent\\a");  // before every child
    CreateKey(L"Parent\\c");  // between two
    CreateKey(L"Parent\\zz"); // after the last child
    CreateKey(L"Parent\\d\\other");
    DeleteKey(L"Parent\\b");
    Tree().Refresh(nullptr);
    HTREEITEM parent = Item(L"Parent");
    EXPECT_EQ(Names({L"a", L"c", L"d", L"zz"}), Labels(parent));
    EXPECT_TRUE(Tree().IsExpanded(Item(L"Parent\\d")));
    EXPECT_EQ(Names({L"inner", L"other"}), Labels(Item(L"Parent\\d")));
    EXPECT_EQ(Item(L"Parent\\d\\inner"), Tree().GetSelection());
    // A collapsed key gets its placeholder back, once, and reloads on the next expansion; a cut
    // mark (matched without regard to case) survives the reload.
    Tree().MarkCut(HKEY_CURRENT_USER, Sub(L"parent\\C"));
    EXPECT_EQ(0, Image(Item(L"Parent\\c")));
    TreeView_Expand(Tree().GetHwnd(), parent, TVE_COLLAPSE);
    CreateKey(L"Parent\\e");
    Tree().Refresh(parent);
    Tree().Refresh(parent);
    EXPECT_TRUE(Unloaded(parent));
    TreeView_Expand(Tree().GetHwnd(), parent, TVE_EXPAND);
    EXPECT_EQ(Names({L"a", L"c", L"d", L"e", L"zz"}), Labels(parent));
    EXPECT_EQ(0, Image(Item(L"Parent\\c")));
    Tree().UnmarkCut();
    EXPECT_EQ(2, Image(Item(L"Parent\\c")));
}

TEST_F(KeyTree, SelectPathMatchesWithoutCaseAndInsertsKeysCreatedLater)
{
    CreateKey(L"Parent\\Middle");
    CString lower = Sub(L"parent\\MIDDLE");
    lower.MakeLower();
    ASSERT_TRUE(Tree().SelectPath(HKEY_CURRENT_USER, lower));
    HKEY root = nullptr;
    CString path;
    ASSERT_TRUE(Tree().GetItemPath(Tree().GetSelection(), root, path));
    EXPECT_EQ(HKEY_CURRENT_USER, root);
    EXPECT_EQ(Sub(L"Parent\\Middle"), path) << "the labels keep the registry's case";

    CreateKey(L"Parent\\Alpha");
    CreateKey(L"Parent\\Zulu");
    ASSERT_TRUE(Select(L"Parent\\zulu"));
    EXPECT_EQ(Names({L"Middle", L"Zulu"}), Labels(Item(L"Parent"))) << "inserted after the last child";
    ASSERT_TRUE(Select(L"Parent\\Alpha"));
    EXPECT_EQ(Names({L"Alpha", L"Middle", L"Zulu"}), Labels(Item(L"Parent")));

    HTREEITEM before = Tree().GetSelection();
    EXPECT_FALSE(Select(L"Parent\\Missing"));
    EXPECT_FALSE(Select(L"Parent\\\\Alpha"));
    EXPECT_FALSE(Tree().SelectPath(nullptr, L"Software"));
    EXPECT_EQ(before, Tree().GetSelection());
    EXPECT_EQ(Names({L"Alpha", L"Middle", L"Zulu"}), Labels(Item(L"Parent")));
}

TEST(KeyTreePaths, SameOrBelowComparesWholeNamesWithoutCase)
{
    EXPECT_TRUE(CRegTree::IsSameOrBelow(HKEY_LOCAL_MACHINE, L"a\\B\\c", HKEY_LOCAL_MACHINE, L"A\\b", false));
    EXPECT_TRUE(CRegTree::IsSameOrBelow(HKEY_LOCAL_MACHINE, L"A\\b", HKEY_LOCAL_MACHINE, L"a\\B", true));
    EXPECT_FALSE(CRegTree::IsSameOrBelow(HKEY_LOCAL_MACHINE, L"A\\b", HKEY_LOCAL_MACHINE, L"A\\b", false));
    EXPECT_FALSE(CRegTree::IsSameOrBelow(HKEY_LOCAL_MACHINE, L"A\\bc", HKEY_LOCAL_MACHINE, L"A\\b", true));
    EXPECT_FALSE(CRegTree::IsSameOrBelow(HKEY_CURRENT_USER, L"A\\b\\c", HKEY_LOCAL_MACHINE, L"A\\b", true));
}

TEST_F(ValueList, TextsIconsAndOrderOfEveryKindOfValue)
{
    CreateKey(L"Values");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(TestKey(), L"Values", 0, KEY_ALL_ACCESS, &key));
    BYTE bytes[129];
    for (int i = 0; i < 129; ++i)
        bytes[i] = BYTE(i + 0xA0);
    DWORD number = 255;
    const wchar_t multi[] = L"one\0two\0";
    const wchar_t expand[] = L"%SystemRoot%\\x";
    RegSetValueExW(key, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"default"), 16);
    RegSetValueExW(key, L"b", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    RegSetValueExW(key, L"A", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"text"), 10);
    RegSetValueExW(key, L"bin128", 0, REG_BINARY, bytes, 128);
    RegSetValueExW(key, L"bin129", 0, REG_BINARY, bytes, 129);
    RegSetValueExW(key, L"big", 0, REG_DWORD_BIG_ENDIAN, bytes, 4);
    RegSetValueExW(key, L"dword3", 0, REG_DWORD, bytes, 3);
    RegSetValueExW(key, L"expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof(expand));
    RegSetValueExW(key, L"multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof(multi));
    RegSetValueExW(key, L"none", 0, REG_NONE, nullptr, 0);
    RegCloseKey(key);
    ASSERT_TRUE(Select(L"Values"));

    std::wstring hex128, hex129;
    for (int i = 0; i < 128; ++i) {
        wchar_t pair[4];
        swprintf(pair, 4, L"%02X", bytes[i]);
        hex128 += (i ? L" " : L"") + std::wstring(pair);
    }
    hex129 = hex128 + L"...";
    struct SRow
    {
        const wchar_t* name;
        std::wstring text;
        int icon;
    };
    const SRow rows[] = {
        {L"", L"default", 7},         {L"A", L"text", 7},      {L"b", L"255 (0x000000FF)", 9},
        {L"big", L"A0 A1 A2 A3", 13}, {L"bin128", hex128, 8},  {L"bin129", hex129, 8},
        {L"dword3", L"", 9},          {L"expand", expand, 11}, {L"multi", L"one...", 10},
        {L"none", L"", 12},
    };
    ASSERT_EQ(int(std::size(rows)), ListView_GetItemCount(List()));
    for (int i = 0; i < int(std::size(rows)); ++i) {
        EXPECT_EQ(std::wstring(rows[i].name), ListText(i, 0)) << i;
        EXPECT_EQ(rows[i].text, ListText(i, 1)) << rows[i].name;
        EXPECT_EQ(rows[i].icon, ListImage(i)) << rows[i].name;
    }
}

TEST_F(ValueList, SelectionByNameKeepsOrDropsAndCutValuesStayGhosted)
{
    WriteString(TestKey(), L"Values", L"First", L"1");
    WriteString(TestKey(), L"Values", L"Second", L"2");
    ASSERT_TRUE(Select(L"Values"));
    EXPECT_TRUE(m_main->SelectValueByName(L"SECOND"));
    int index = -1;
    CString name;
    ASSERT_TRUE(m_main->GetSelectedValue(index, name));
    EXPECT_EQ(CString(L"Second"), name);

    m_main->FillValueList(nullptr, true, nullptr);
    ASSERT_TRUE(m_main->GetSelectedValue(index, name));
    EXPECT_EQ(CString(L"Second"), name) << "kept";
    HKEY key = nullptr;
    RegOpenKeyExW(TestKey(), L"Values", 0, KEY_ALL_ACCESS, &key);
    RegDeleteValueW(key, L"Second");
    RegSetValueExW(key, L"Renamed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"2"), 4);
    RegCloseKey(key);
    m_main->FillValueList(nullptr, true, nullptr);
    EXPECT_FALSE(m_main->GetSelectedValue(index, name)) << "renamed elsewhere: nothing selected";

    m_main->m_clipState = CMainWnd::kClipValueCut;
    m_main->m_clipRoot = HKEY_CURRENT_USER;
    m_main->m_clipKeyPath = Sub(L"VALUES");
    m_main->m_clipValueName = L"first";
    m_main->FillValueList(nullptr, false, L"renamed");
    EXPECT_EQ(0, ListImage(0)) << "the cut value keeps its ghosted icon";
    EXPECT_EQ(7, ListImage(1));
    ASSERT_TRUE(m_main->GetSelectedValue(index, name));
    EXPECT_EQ(CString(L"Renamed"), name);
}
