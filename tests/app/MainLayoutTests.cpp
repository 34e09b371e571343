// The main window around the tree and list: layout in both orientations and the splitter's
// limits, the key name bar's cut, the menus' enabling rules, context menus and focus, and the
// registry calls that expanding a key and filling the list cost.
#include "tests/app/MainViewTests.h"

#include "settings/Settings.h"
#include "platform/PlatformInfo.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/ScreenScale.h"
#include "shd/ShdFontsManager.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

class MainLayout : public CMainViewTest
{
protected:
    void SetUp() override
    {
        OverrideLogPixels(96, 96);
        CMainViewTest::SetUp();
    }
    void TearDown() override
    {
        CMainViewTest::TearDown();
        OverrideLogPixels(0, 0);
    }
    bool Stacked() { return m_main->GetSplitter().IsHorizontal(); }
    void DragSplitter(int dx, int dy)
    {
        SendMessageW(m_main->GetHwnd(), CMainWnd::kSplitterMessage, CSplitterWnd::kEnd,
                     MAKELPARAM(WORD(short(dx)), WORD(short(dy))));
    }
};

#define EXPECT_RECT(l, t, r, b, rect)                                                                        \
    EXPECT_EQ((std::vector<long>{l, t, r, b}),                                                               \
              (std::vector<long>{(rect).left, (rect).top, (rect).right, (rect).bottom}))

} // namespace

TEST_F(MainLayout, PortraitStacksLandscapeSitsSideBySideAndHeight180IsStacked)
{
    SetClientSize(240, 268);
    EXPECT_TRUE(Stacked());
    RECT tree = ChildRect(Tree().GetHwnd()), bar = ChildRect(m_main->GetSplitter().GetHwnd());
    EXPECT_RECT(0, 0, 240, tree.bottom, tree);
    EXPECT_RECT(0, tree.bottom, 240, tree.bottom + 6, bar);
    EXPECT_RECT(0, tree.bottom + 6, 240, 251, ChildRect(List()));
    EXPECT_RECT(0, 251, 240, 268, ChildRect(m_main->GetKeyNameBar().GetHwnd()));

    SetClientSize(320, 160);
    EXPECT_FALSE(Stacked());
    tree = ChildRect(Tree().GetHwnd());
    EXPECT_RECT(0, 0, tree.right, 143, tree);
    EXPECT_RECT(tree.right, 0, tree.right + 6, 143, ChildRect(m_main->GetSplitter().GetHwnd()));
    EXPECT_RECT(tree.right + 6, 0, 320, 143, ChildRect(List()));
    EXPECT_RECT(0, 143, 320, 160, ChildRect(m_main->GetKeyNameBar().GetHwnd()));

    SetClientSize(320, 180);
    EXPECT_TRUE(Stacked()) << "the full client height counts, before the bar is taken off";
    SetClientSize(320, 179);
    EXPECT_FALSE(Stacked());
}

TEST_F(MainLayout, SplitterClampsAt100PixelsAndEachOrientationKeepsItsSplit)
{
    SetClientSize(320, 160);
    DragSplitter(-1000, 0);
    EXPECT_EQ(100, ChildRect(Tree().GetHwnd()).right);
    DragSplitter(5000, 0);
    RECT list = ChildRect(List());
    EXPECT_EQ(100, list.right - list.left) << "the list keeps 100 px";
    EXPECT_EQ(320 - 100 - 6, ChildRect(m_main->GetSplitter().GetHwnd()).left);
    DragSplitter(-40, 0);
    const long side = ChildRect(Tree().GetHwnd()).right;
    EXPECT_EQ(320 - 100 - 6 - 40, side);

    SetClientSize(240, 268);
    DragSplitter(0, -1000);
    EXPECT_EQ(50, ChildRect(Tree().GetHwnd()).bottom) << "stacked panes keep 50 px";
    SetClientSize(320, 160);
    EXPECT_EQ(side, ChildRect(Tree().GetHwnd()).right) << "turning back restores the side split";
    SetClientSize(240, 268);
    EXPECT_EQ(50, ChildRect(Tree().GetHwnd()).bottom);
}

TEST_F(MainLayout, KeyNameBarCutsThePathFromTheFront)
{
    CKeyNameWnd& bar = m_main->GetKeyNameBar();
    HDC dc = GetDC(bar.GetHwnd());
    HGDIOBJ old = SelectObject(dc, CShdFontsManager::Instance().GetDialogFont());
    auto width = [dc](const wchar_t* text) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, text, int(wcslen(text)), &size);
        return int(size.cx);
    };
    const wchar_t path[] = L"HKEY_LOCAL_MACHINE\\Software\\Vendor\\Product";
    EXPECT_EQ(CString(path), CKeyNameWnd::FitFromFront(dc, path, width(path)));
    CString cut = CKeyNameWnd::FitFromFront(dc, path, width(path) - 1);
    ASSERT_GT(cut.GetLength(), 4);
    EXPECT_EQ(CString(L"..."), cut.Left(3));
    EXPECT_EQ(L't', cut[cut.GetLength() - 1]) << "the end of the path stays";
    EXPECT_LE(width(cut), width(path) - 1);
    EXPECT_GT(width(CString(L"...") + CString(path).Right(cut.GetLength() - 2)), width(path) - 1)
        << "no more is cut than needed";
    EXPECT_EQ(CString(L"..."), CKeyNameWnd::FitFromFront(dc, path, width(L"...") - 1));
    SelectObject(dc, old);
    ReleaseDC(bar.GetHwnd(), dc);

    SetClientSize(240, 268);
    bar.SetKey(HKEY_LOCAL_MACHINE, L"Software\\A very long vendor name\\A very long product name\\Settings");
    CString shown = bar.GetDisplayText();
    EXPECT_EQ(CString(L"..."), shown.Left(3));
    EXPECT_EQ(CString(L"Settings"), shown.Right(8));
}

namespace {

// One row of the enabling rules: the state, and the commands expected enabled.
struct SMenuCase
{
    const char* name;
    const wchar_t* key; // nullptr: no key selected; L"": the root HKEY_CURRENT_USER
    bool value;         // a value selected
    int clip;           // clipboard state
    CMainWnd::SSearchState search;
    std::vector<UINT> enabled;
};

CMainWnd::SSearchState Search(bool results, bool active, bool toolbar, bool paused, bool has, bool findNext)
{
    CMainWnd::SSearchState state;
    state.resultsVisible = results;
    state.searchActive = active;
    state.toolbarVisible = toolbar;
    state.paused = paused;
    state.hasSearch = has;
    state.findNextReady = findNext;
    return state;
}

const std::vector<UINT> kAlways = {ID_SEARCH_START, ID_REGISTRY_REFRESH, ID_REGISTRY_IMPORT,
                                   ID_REGISTRY_EXPORT, ID_KEY_REFRESH};
const std::vector<UINT> kKey = {ID_KEY_PROPERTIES,   ID_KEY_NEW,         ID_KEY_COPY_NAME,
                                ID_KEY_ADD_BOOKMARK, ID_VALUE_REFRESH,   ID_VALUE_NEW_STRING,
                                ID_VALUE_NEW_EXPAND, ID_VALUE_NEW_DWORD, ID_VALUE_NEW_BINARY,
                                ID_VALUE_NEW_MULTI,  ID_VALUE_NEW_CUSTOM};
const std::vector<UINT> kSubkey = {ID_KEY_RENAME, ID_KEY_DELETE, ID_KEY_CUT, ID_KEY_COPY};
const std::vector<UINT> kValue = {ID_VALUE_EDIT,   ID_VALUE_EDIT_BINARY, ID_VALUE_DELETE,
                                  ID_VALUE_RENAME, ID_VALUE_CUT,         ID_VALUE_COPY};

std::vector<UINT> Join(std::initializer_list<std::vector<UINT>> parts)
{
    std::vector<UINT> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<UINT> kAllCommands =
    Join({kAlways,
          kKey,
          kSubkey,
          kValue,
          {ID_SEARCH_FIND_NEXT, ID_SEARCH_STOP, ID_SEARCH_PAUSE, ID_PASTE, ID_KEY_PASTE, ID_VALUE_PASTE,
           ID_SEARCH_SHOW_RESULTS, ID_SEARCH_SHOW_TOOLBAR}});

// A menu holding every command the rules name, in nested popups as the real menus have them.
HMENU MenuWithEveryCommand()
{
    HMENU menu = CreatePopupMenu();
    HMENU nested = CreatePopupMenu();
    for (UINT id : kAllCommands)
        AppendMenuW(id % 2 ? nested : menu, MF_STRING, id, L"item");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), L"nested");
    return menu;
}

CString ItemText(HMENU menu, UINT id)
{
    wchar_t text[64] = L"";
    GetMenuStringW(menu, id, text, 64, MF_BYCOMMAND);
    return text;
}

} // namespace

TEST_F(MainLayout, UpdateMenuFollowsEveryEnablingRule)
{
    WriteString(TestKey(), L"Key", L"Value", L"data");
    const CMainWnd::SSearchState idle = Search(false, false, false, false, false, false);
    const SMenuCase cases[] = {
        {"no key, clipboard full", nullptr, false, CMainWnd::kClipKeyCopied, idle, kAlways},
        {"root key", L"", false, 0, idle, Join({kAlways, kKey})},
        {"subkey", L"Key", false, 0, idle, Join({kAlways, kKey, kSubkey})},
        {"value", L"Key", true, 0, idle, Join({kAlways, kKey, kSubkey, kValue})},
        {"key on clipboard", L"Key", false, CMainWnd::kClipKeyCut, idle,
         Join({kAlways, kKey, kSubkey, {ID_PASTE, ID_KEY_PASTE}})},
        {"value on clipboard", L"Key", false, CMainWnd::kClipValueCopied, idle,
         Join({kAlways, kKey, kSubkey, {ID_PASTE, ID_KEY_PASTE, ID_VALUE_PASTE}})},
        {"find next ready", nullptr, false, 0, Search(false, false, false, false, true, true),
         Join({kAlways, {ID_SEARCH_FIND_NEXT, ID_SEARCH_SHOW_RESULTS, ID_SEARCH_SHOW_TOOLBAR}})},
        {"results shown, searching",
         L"Key",
         true,
         CMainWnd::kClipValueCut,
         Search(true, true, true, false, true, true),
         {ID_SEARCH_STOP, ID_SEARCH_PAUSE, ID_SEARCH_SHOW_RESULTS, ID_SEARCH_SHOW_TOOLBAR}},
        {"paused in the main view", L"Key", false, 0, Search(false, true, false, true, true, true),
         Join({kKey,
               kSubkey,
               {ID_REGISTRY_REFRESH, ID_REGISTRY_IMPORT, ID_REGISTRY_EXPORT, ID_KEY_REFRESH, ID_SEARCH_STOP,
                ID_SEARCH_PAUSE, ID_SEARCH_SHOW_RESULTS, ID_SEARCH_SHOW_TOOLBAR}})},
    };
    const bool savedToolbarSetting = Settings().GetShowSearchToolbar();
    Settings().SetShowSearchToolbar(true);
    for (const SMenuCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.key) {
            ASSERT_TRUE(c.key[0] ? Select(c.key) : Tree().SelectPath(HKEY_CURRENT_USER, L""));
        } else {
            TreeView_SelectItem(Tree().GetHwnd(), nullptr);
        }
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
        if (c.value) {
            ASSERT_TRUE(m_main->SelectValueByName(L"Value"));
        }
        m_main->m_clipState = c.clip;
        m_main->m_search = c.search;
        HMENU menu = MenuWithEveryCommand();
        m_main->UpdateMenu(menu);
        for (UINT id : kAllCommands) {
            bool expected = std::find(c.enabled.begin(), c.enabled.end(), id) != c.enabled.end();
            EXPECT_EQ(expected, !(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED)) << "command " << id;
        }
        EXPECT_EQ(CString(c.search.paused ? L"Resume Search" : L"Pause Search"),
                  ItemText(menu, ID_SEARCH_PAUSE));
        EXPECT_EQ(CString(c.search.resultsVisible ? L"Show Main Window" : L"Show Search Results"),
                  ItemText(menu, ID_SEARCH_SHOW_RESULTS));
        EXPECT_EQ(CString(c.search.toolbarVisible ? L"Hide Search Toolbar" : L"Show Search Toolbar"),
                  ItemText(menu, ID_SEARCH_SHOW_TOOLBAR));
        DestroyMenu(menu);
    }
    Settings().SetShowSearchToolbar(false);
    m_main->m_search = Search(true, true, true, false, true, true);
    HMENU menu = MenuWithEveryCommand();
    m_main->UpdateMenu(menu);
    EXPECT_TRUE(GetMenuState(menu, ID_SEARCH_SHOW_TOOLBAR, MF_BYCOMMAND) & MF_GRAYED) << "the setting is off";
    DestroyMenu(menu);
    OverridePlatformType(L"Smartphone");
    ResetDeviceInfo();
    menu = MenuWithEveryCommand();
    m_main->UpdateMenu(menu);
    EXPECT_EQ(UINT(-1), GetMenuState(menu, ID_SEARCH_SHOW_TOOLBAR, MF_BYCOMMAND))
        << "no toolbar on a Smartphone";
    DestroyMenu(menu);
    ClearPlatformOverrides();
    ResetDeviceInfo();
    Settings().SetShowSearchToolbar(savedToolbarSetting);
}

TEST_F(MainLayout, EnterAndRightClickOpenTheContextMenuOfWhereTheyHappen)
{
    WriteString(TestKey(), L"Key", L"Value", L"data");
    CreateKey(L"Empty");
    ASSERT_TRUE(Select(L"Key"));
    NMTVKEYDOWN treeKey = {};
    treeKey.hdr = {Tree().GetHwnd(), CMainWnd::kTreeId, UINT(TVN_KEYDOWN)};
    treeKey.wVKey = VK_RETURN;
    SendMessageW(m_main->GetHwnd(), WM_NOTIFY, CMainWnd::kTreeId, reinterpret_cast<LPARAM>(&treeKey));
    EXPECT_EQ(Item(L"Key"), Tree().GetSelection()) << "the item under the point is selected";

    NMLVKEYDOWN listKey = {};
    listKey.hdr = {List(), CMainWnd::kListId, UINT(LVN_KEYDOWN)};
    listKey.wVKey = VK_RETURN;
    ASSERT_TRUE(m_main->SelectValueByName(L"Value"));
    NMHDR click = {List(), CMainWnd::kListId, UINT(NM_RCLICK)};
    SendMessageW(m_main->GetHwnd(), WM_NOTIFY, CMainWnd::kListId, reinterpret_cast<LPARAM>(&click));
    ASSERT_TRUE(Select(L"Empty"));
    SendMessageW(m_main->GetHwnd(), WM_NOTIFY, CMainWnd::kListId, reinterpret_cast<LPARAM>(&listKey));
    // Menu 112 starts with its "New" popup, 105 with "Edit...", 106 with "New string value...".
    EXPECT_EQ((std::vector<UINT>{0, ID_VALUE_EDIT, ID_VALUE_NEW_STRING}), m_main->m_trackedFirstIds);

    m_main->m_trackedFirstIds.clear();
    TreeView_SelectItem(Tree().GetHwnd(), Tree().GetRegistryItem());
    SendMessageW(m_main->GetHwnd(), WM_NOTIFY, CMainWnd::kListId, reinterpret_cast<LPARAM>(&listKey));
    EXPECT_TRUE(m_main->m_trackedFirstIds.empty()) << "no key, no menu";
    EXPECT_EQ(CString(L"ROOT"), m_main->GetKeyNameBar().GetText());
    EXPECT_EQ(0, ListView_GetItemCount(List()));
}

TEST_F(MainLayout, TabMovesTheFocusForwardAndBackward)
{
    HWND main = m_main->GetHwnd(), tree = Tree().GetHwnd(), splitter = m_main->GetSplitter().GetHwnd();
    SetForegroundWindow(main);
    SetFocus(tree);
    ASSERT_EQ(tree, GetFocus());
    const HWND forward[] = {splitter, List(), tree};
    for (HWND expected : forward) {
        SendMessageW(main, WM_COMMAND, ID_FOCUS_FORWARD, 0);
        EXPECT_EQ(expected, GetFocus());
    }
    const HWND backward[] = {List(), splitter, tree};
    for (HWND expected : backward) {
        SendMessageW(main, WM_COMMAND, ID_FOCUS_BACKWARD, 0);
        EXPECT_EQ(expected, GetFocus());
    }
}

namespace {

// Registry calls, in the in-memory registry.
class MainViewCalls : public testing::Test
{
protected:
    void Populate(int subkeys, int values)
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, L"Wide"));
        for (int i = 0; i < values; ++i) {
            CString name;
            name.Format(L"value%05d", i);
            key.SetString(name, L"data");
        }
        for (int i = 0; i < subkeys; ++i) {
            CString name;
            name.Format(L"Wide\\key%05d", i);
            CShdRegKey child;
            ASSERT_TRUE(child.Create(HKEY_CURRENT_USER, name));
        }
    }
    // Registry calls of expanding "Wide" and of filling the list for it.
    void Measure(int count, unsigned long& expand, unsigned long& fill)
    {
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        Populate(count, count);
        CTestMainWnd main;
        ASSERT_TRUE(main.CreateMain(GetModuleHandleW(nullptr)));
        DrainMainWindowMessages();
        HTREEITEM user = main.GetTree().FindItem(HKEY_CURRENT_USER, L"");
        TreeView_Expand(main.GetTree().GetHwnd(), user, TVE_EXPAND);
        HTREEITEM wide = main.GetTree().FindItem(HKEY_CURRENT_USER, L"Wide");
        ASSERT_NE(nullptr, wide);
        memory.ResetCounts();
        TreeView_Expand(main.GetTree().GetHwnd(), wide, TVE_EXPAND);
        expand = memory.TotalCalls();
        memory.ResetCounts();
        main.FillValueList(wide, false, nullptr);
        fill = memory.TotalCalls();
        EXPECT_EQ(0u, memory.OpenHandleCount()) << "every key opened is closed";
        main.Destroy();
        DrainMainWindowMessages();
    }
};

} // namespace

TEST_F(MainViewCalls, ExpandingAndFillingCostAFixedNumberOfCallsPerItem)
{
    // Expanding: the key's own button (open, query info, close), then open, query info,
    // enumerate (N), close; a subkey's button costs its open, query info and close only when
    // the control draws it (nothing is drawn here).
    // Filling: open, query info, enumerate with data (N), close.
    for (unsigned long count : {10ul, 40ul}) {
        unsigned long expand = 0, fill = 0;
        Measure(int(count), expand, fill);
        EXPECT_EQ(count + 6, expand) << count;
        EXPECT_EQ(count + 3, fill) << count;
    }
}

namespace {

// The last position, restored at the start of an interactive run and stored at its end.
class MainViewPosition : public testing::Test
{
protected:
    void SetUp() override
    {
        m_scope = std::make_unique<CScopedRegistryBackend>(m_memory);
        m_savedSavePosition = Settings().GetSavePosition();
    }
    void TearDown() override
    {
        m_scope.reset();
        Settings().SetSavePosition(m_savedSavePosition);
        Settings().Load();
    }
    CMemoryRegistryBackend m_memory;
    std::unique_ptr<CScopedRegistryBackend> m_scope;
    bool m_savedSavePosition = true;
};

} // namespace

TEST_F(MainViewPosition, InteractiveRunRestoresAndStoresTheSelectedKeyAndValue)
{
    {
        CShdRegKey data;
        ASSERT_TRUE(data.Create(HKEY_CURRENT_USER, L"Software\\Stored"));
        data.SetString(L"Other", L"x");
        data.SetString(L"Picked", L"y");
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, CSettings::kKeyPath));
        key.SetDword(L"LastPositionRoot", 0x80000001);
        key.SetString(L"LastPositionKeyName", L"software\\stored");
        key.SetString(L"LastPositionValueName", L"PICKED");
        key.SetDword(L"LastPositionValueSelected", 1);
    }
    Settings().Load();
    auto main = std::make_unique<CMainWnd>(false, L"");
    ASSERT_TRUE(main->CreateMain(GetModuleHandleW(nullptr)));
    DrainMainWindowMessages();
    HKEY root = nullptr;
    CString path, name;
    int index = -1;
    ASSERT_TRUE(main->GetCurrentKey(root, path));
    EXPECT_EQ(HKEY_CURRENT_USER, root);
    EXPECT_EQ(CString(L"Software\\Stored"), path);
    ASSERT_TRUE(main->GetSelectedValue(index, name));
    EXPECT_EQ(CString(L"Picked"), name);
    ASSERT_TRUE(main->SelectValueByName(L"Other"));
    SendMessageW(main->GetHwnd(), WM_COMMAND, ID_EXIT, 0);
    DrainMainWindowMessages();
    DWORD storedRoot = 0;
    CString storedPath, storedValue;
    bool storedSelected = false;
    Settings().Load();
    Settings().GetLastPosition(storedRoot, storedPath, storedValue, storedSelected);
    EXPECT_EQ(0x80000001u, storedRoot);
    EXPECT_EQ(CString(L"Software\\Stored"), storedPath);
    EXPECT_EQ(CString(L"Other"), storedValue);
    EXPECT_TRUE(storedSelected);
}

TEST(MainMenuBar, PlatformChoosesTheMenuOrTheSoftKeys)
{
    struct SCase
    {
        const wchar_t* type;
        DWORD major, minor;
        const wchar_t* firstButton;
    };
    const SCase cases[] = {{L"PocketPC", 5, 0, L"Tab"},
                           {L"PocketPC", 4, 20, L"Search"},
                           {L"Smartphone", 4, 20, L"Tab"},
                           {L"Smartphone", 5, 2, L"Tab"}};
    for (const SCase& c : cases) {
        OverridePlatformType(c.type);
        OverridePlatformVersion(c.major, c.minor);
        ResetDeviceInfo();
        CTestMainWnd main;
        ASSERT_TRUE(main.CreateMain(GetModuleHandleW(nullptr)));
        DrainMainWindowMessages();
        TBBUTTON button = {};
        ASSERT_TRUE(SendMessageW(main.GetMenuBar(), TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)));
        wchar_t text[64] = L"";
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT;
        info.pszText = text;
        info.cchText = 64;
        SendMessageW(main.GetMenuBar(), TB_GETBUTTONINFOW, button.idCommand, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(std::wstring(c.firstButton), std::wstring(text))
            << c.type << " " << c.major << "." << c.minor;
        main.Destroy();
        DrainMainWindowMessages();
    }
    ClearPlatformOverrides();
    ResetDeviceInfo();
}
