// Bookmarks: the store (save order, skipped and renumbered items, a save cut short), adding,
// the location rules, and the dialogs under the driver against the product's own key, with
// rows and bookmarks kept in step through Open, Add, Edit and Delete.
#include "dialogs/Bookmarks.h"
#include "dialogs/BookmarksDlg.h"
#include "platform/PlatformInfo.h"
#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"
#include "tests/support/RegistryTest.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using Texts = std::vector<CString>;

void Save(const Texts& texts)
{
    CBookmarkList list;
    for (const CString& text : texts)
        list.Add(text);
    SaveBookmarks(list);
}

Texts Load()
{
    CBookmarkList list;
    LoadBookmarks(list);
    Texts texts;
    for (int i = 0; i < list.GetSize(); ++i)
        texts.push_back(list[i]);
    return texts;
}

// The stored values themselves, "count" first, then item_0 ... item_9 where present.
Texts StoredValues()
{
    CShdRegKey key(false);
    Texts values;
    if (!key.Open(HKEY_LOCAL_MACHINE, kBookmarksKeyPath))
        return values;
    CString count;
    count.Format(L"count=%lu", key.GetDword(L"count", 0xFFFF));
    values.push_back(count);
    for (int i = 0; i < 10; ++i) {
        CString name;
        name.Format(L"item_%i", i);
        if (key.ValueExists(name))
            values.push_back(name + L"=" + key.GetString(name, L"?"));
    }
    return values;
}

class BookmarkStoreTest : public testing::Test
{
protected:
    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
};

} // namespace

TEST_F(BookmarkStoreTest, SavingFewerDeletesTheSurplusItems)
{
    Save({L"HKLM\\A", L"HKLM\\B", L"HKLM\\C", L"HKLM\\D", L"HKLM\\E"});
    Save({L"HKCU\\X", L"HKCU\\Y"});
    EXPECT_EQ((Texts{L"count=2", L"item_0=HKCU\\X", L"item_1=HKCU\\Y"}), StoredValues());
    EXPECT_EQ((Texts{L"HKCU\\X", L"HKCU\\Y"}), Load());
    Save({});
    EXPECT_EQ((Texts{L"count=0"}), StoredValues());
}

TEST_F(BookmarkStoreTest, EmptyAndMissingItemsAreSkippedAndRenumbered)
{
    EXPECT_TRUE(Load().empty()) << "no key, no bookmarks";
    CShdRegKey key(false);
    ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, kBookmarksKeyPath));
    key.SetDword(L"count", 4);
    key.SetString(L"item_0", L"HKLM\\A");
    key.SetString(L"item_1", L"");
    key.SetString(L"item_3", L"HKCU\\B");
    key.SetString(L"item_4", L"HKCU\\Beyond the count");
    key.Close();
    Texts loaded = Load();
    EXPECT_EQ((Texts{L"HKLM\\A", L"HKCU\\B"}), loaded);
    Save(loaded);
    EXPECT_EQ((Texts{L"count=2", L"item_0=HKLM\\A", L"item_1=HKCU\\B", L"item_4=HKCU\\Beyond the count"}),
              StoredValues())
        << "items beyond the old count are not the list's";
}

// A save cut short at any registry call leaves every bookmark that both the old and the new
// list hold, never an empty list.
TEST_F(BookmarkStoreTest, SaveCutShortKeepsTheBookmarksOfBothLists)
{
    const Texts changes[][2] = {
        {{L"HKLM\\A", L"HKLM\\B", L"HKLM\\C"}, {L"HKLM\\B", L"HKLM\\C"}},             // first deleted
        {{L"HKLM\\A", L"HKLM\\B", L"HKLM\\C"}, {L"HKLM\\A", L"HKLM\\C"}},             // middle deleted
        {{L"HKLM\\A", L"HKLM\\B"}, {L"HKLM\\A", L"HKLM\\B", L"HKLM\\C"}},             // added
        {{L"HKLM\\A", L"HKLM\\B", L"HKLM\\C"}, {L"HKLM\\A", L"HKCU\\X", L"HKLM\\C"}}, // edited
        {{L"HKLM\\A", L"HKLM\\B", L"HKLM\\C", L"HKLM\\D", L"HKLM\\E"}, {L"HKLM\\D", L"HKLM\\E"}},
    };
    for (const auto& change : changes) {
        Save(change[0]);
        int checkpoints = 0;
        bool inHook = false;
        m_memory.SetCallHook([&](IRegistryBackend::EOperation op) {
            if (inHook || (op != IRegistryBackend::OpSetValue && op != IRegistryBackend::OpDeleteValue))
                return;
            inHook = true;
            Texts now = Load();
            ++checkpoints;
            for (const CString& text : change[0]) {
                bool kept = std::find(change[1].begin(), change[1].end(), text) != change[1].end();
                bool present = std::find(now.begin(), now.end(), text) != now.end();
                EXPECT_TRUE(!kept || present)
                    << "lost " << text.c_str()[0] << " at checkpoint " << checkpoints;
            }
            inHook = false;
        });
        Save(change[1]);
        m_memory.SetCallHook(nullptr);
        EXPECT_GT(checkpoints, 2);
        EXPECT_EQ(change[1], Load());
    }
}

TEST_F(BookmarkStoreTest, AddBookmarkUsesShortNamesAndRefusesDuplicatesWithoutRegardToCase)
{
    EXPECT_EQ(EAddBookmarkResult::kAdded, AddBookmark(HKEY_CURRENT_USER, L""));
    EXPECT_EQ(EAddBookmarkResult::kAdded, AddBookmark(HKEY_LOCAL_MACHINE, L"software"));
    EXPECT_EQ(EAddBookmarkResult::kAlreadyExists, AddBookmark(HKEY_LOCAL_MACHINE, L"Software"));
    EXPECT_EQ(EAddBookmarkResult::kAlreadyExists, AddBookmark(HKEY_CURRENT_USER, nullptr));
    EXPECT_EQ(EAddBookmarkResult::kAdded, AddBookmark(HKEY_CLASSES_ROOT, L".reg\\Shell"));
    EXPECT_EQ((Texts{L"HKCU", L"HKLM\\software", L"HKCR\\.reg\\Shell"}), Load());
}

// A damaged "count" must not turn loading and saving into billions of registry calls: the
// items read and the surplus deleted stay within what the key holds. The hook stops a run
// away read at once instead of hanging the test.
TEST_F(BookmarkStoreTest, DamagedCountCostsNoMoreCallsThanTheKeyHoldsValues)
{
    struct SRunaway
    {
    };
    unsigned long calls = 0;
    // Thrown from reads only, never from the key's closing in a destructor.
    m_memory.SetCallHook([&](IRegistryBackend::EOperation op) {
        if (++calls > 1000 && op == IRegistryBackend::OpQueryValue)
            throw SRunaway();
    });
    for (DWORD damaged : {DWORD(0xFFFFFFFF), DWORD(0x80000000), DWORD(7)}) {
        CShdRegKey key(false);
        ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, kBookmarksKeyPath));
        key.SetString(L"item_0", L"HKLM\\A");
        key.SetString(L"item_1", L"HKLM\\B");
        key.SetDword(L"count", damaged);
        key.Close();
        calls = 0;
        Texts loaded;
        EXPECT_NO_THROW(loaded = Load()) << damaged;
        EXPECT_EQ((Texts{L"HKLM\\A", L"HKLM\\B"}), loaded) << damaged;
        EXPECT_LT(calls, 20u) << damaged;
        calls = 0;
        EAddBookmarkResult added = EAddBookmarkResult::kAlreadyExists;
        EXPECT_NO_THROW(added = AddBookmark(HKEY_CURRENT_USER, L"C")) << damaged;
        EXPECT_EQ(EAddBookmarkResult::kAdded, added) << damaged;
        EXPECT_LT(calls, 40u) << damaged;
        EXPECT_EQ((Texts{L"count=3", L"item_0=HKLM\\A", L"item_1=HKLM\\B", L"item_2=HKCU\\C"}),
                  StoredValues())
            << damaged;
        EXPECT_EQ(EAddBookmarkResult::kAlreadyExists, AddBookmark(HKEY_LOCAL_MACHINE, L"b")) << damaged;
        calls = 0;
        ASSERT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, kBookmarksKeyPath));
    }
    m_memory.SetCallHook(nullptr);
    // Without the value count the stored count is taken, not an empty list.
    Save({L"HKLM\\A", L"HKLM\\B"});
    m_memory.FailCall(IRegistryBackend::OpQueryInfoKey, 1);
    EXPECT_EQ((Texts{L"HKLM\\A", L"HKLM\\B"}), Load());
}

TEST(BookmarkLocation, ValidAndInvalidForms)
{
    for (const wchar_t* text : {L"HKLM", L"HKEY_LOCAL_MACHINE\\Software", L"hkcu\\a b", L"HKU\\.DEFAULT",
                                L"hkey_classes_root\\x/y"})
        EXPECT_TRUE(IsValidBookmarkLocation(text)) << text[0];
    for (const wchar_t* text : {L"HKLM\\", L"HKLM\\\\Software", L"\\Software", L"Software", L"", L" HKLM",
                                L"HKLM\\a\\\\b", L"HKEY_LOCAL\\x"})
        EXPECT_FALSE(IsValidBookmarkLocation(text)) << text;
}

namespace {

// The dialogs against the product's own bookmark key in the real registry.
class BookmarksDlgTest : public testing::Test
{
protected:
    void SetUp() override { DeleteTestTree(HKEY_LOCAL_MACHINE, kBookmarksKeyPath); }
    void TearDown() override
    {
        ClearPlatformOverrides();
        ResetDeviceInfo();
        EXPECT_TRUE(DeleteTestTree(HKEY_LOCAL_MACHINE, kBookmarksKeyPath));
    }
    bool Show(DialogScript script)
    {
        ExpectDialog(m_driver, script);
        CBookmarksDlg dialog;
        m_valueName = L"stale";
        m_selectValue = true;
        return dialog.ShowBookmarks(nullptr, m_root, m_path, m_valueName, m_selectValue);
    }
    // Runs a command of the bookmarks dialog that opens the Edit Bookmark dialog.
    void ThroughEditor(HWND dialog, int command, DialogScript editorScript)
    {
        ExpectDialog(m_driver, editorScript);
        SendCommand(dialog, command);
    }
    static void TypeLocation(HWND editor, const wchar_t* text)
    {
        CDialogDriver::SetItemText(editor, IDC_BOOKMARK_LOCATION, text);
        SendCommand(editor, IDOK);
    }

    CDialogDriver m_driver;
    CMessageBoxRecorder m_messages;
    HKEY m_root = nullptr;
    CString m_path, m_valueName;
    bool m_selectValue = true;
};

HWND List(HWND dialog)
{
    return GetDlgItem(dialog, IDC_BOOKMARK_LIST);
}

Texts Rows(HWND dialog)
{
    Texts rows;
    for (int i = 0; i < ListView_GetItemCount(List(dialog)); ++i) {
        wchar_t text[260] = L"";
        ListView_GetItemText(List(dialog), i, 0, text, 260);
        rows.push_back(text);
    }
    return rows;
}

int SelectedRow(HWND dialog)
{
    return ListView_GetNextItem(List(dialog), -1, LVNI_SELECTED);
}

void Select(HWND dialog, int row)
{
    ListView_SetItemState(List(dialog), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0)
        ListView_SetItemState(List(dialog), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

} // namespace

TEST_F(BookmarksDlgTest, OpenHandsTheKeyBackAndIgnoresUnknownRoots)
{
    Save({L"HKLM\\Software\\Apps", L"Bogus\\x", L"hkey_current_user"});
    ASSERT_TRUE(Show([&](HWND dialog) {
        EXPECT_EQ((Texts{L"HKLM\\Software\\Apps", L"Bogus\\x", L"hkey_current_user"}), Rows(dialog));
        EXPECT_EQ(0, SelectedRow(dialog));
        EXPECT_EQ(List(dialog), DialogFocus(dialog));
        Select(dialog, 1);
        // Ending the dialog would hide it; whether it is shown yet depends on the modal loop.
        ShowWindow(dialog, SW_SHOW);
        SendCommand(dialog, ID_BOOKMARK_OPEN);
        EXPECT_TRUE(IsWindowEnabled(dialog) && IsWindowVisible(dialog)) << "still open";
        Select(dialog, 2);
        SendCommand(dialog, ID_BOOKMARK_OPEN);
    }));
    EXPECT_EQ(HKEY_CURRENT_USER, m_root);
    EXPECT_EQ(CString(L""), m_path);
    EXPECT_EQ(CString(L""), m_valueName);
    EXPECT_FALSE(m_selectValue);

    ASSERT_TRUE(Show([&](HWND dialog) {
        NMITEMACTIVATE activate = {};
        activate.hdr = {List(dialog), IDC_BOOKMARK_LIST, UINT(LVN_ITEMACTIVATE)};
        activate.iItem = 0;
        SendMessageW(dialog, WM_NOTIFY, IDC_BOOKMARK_LIST, LPARAM(&activate));
    }));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, m_root);
    EXPECT_EQ(CString(L"Software\\Apps"), m_path);
    EXPECT_FALSE(Show([](HWND dialog) { SendCommand(dialog, ID_DIALOG_CLOSE); }));
    EXPECT_EQ(0u, m_messages.Count());
}

TEST_F(BookmarksDlgTest, DeleteSelectsTheNextRowAndRowsFollowTheBookmarks)
{
    Save({L"HKLM\\A", L"HKLM\\B", L"HKLM\\C"});
    EXPECT_FALSE(Show([&](HWND dialog) {
        Select(dialog, 1);
        SendCommand(dialog, ID_BOOKMARK_DELETE);
        EXPECT_EQ((Texts{L"HKLM\\A", L"HKLM\\C"}), Rows(dialog));
        EXPECT_EQ(1, SelectedRow(dialog));
        EXPECT_EQ((Texts{L"HKLM\\A", L"HKLM\\C"}), Load());
        // The row now second is the former third bookmark.
        ThroughEditor(dialog, ID_BOOKMARK_EDIT, [](HWND editor) {
            EXPECT_EQ(CString(L"HKLM\\C"), CDialogDriver::GetItemText(editor, IDC_BOOKMARK_LOCATION));
            TypeLocation(editor, L"HKCU\\D");
        });
        EXPECT_EQ((Texts{L"HKLM\\A", L"HKCU\\D"}), Rows(dialog));
        EXPECT_EQ((Texts{L"HKLM\\A", L"HKCU\\D"}), Load());
        SendCommand(dialog, ID_BOOKMARK_DELETE); // the last row
        EXPECT_EQ(0, SelectedRow(dialog));
        SendCommand(dialog, ID_BOOKMARK_DELETE); // the only row
        EXPECT_EQ(-1, SelectedRow(dialog));
        EXPECT_TRUE(Rows(dialog).empty());
        SendCommand(dialog, ID_BOOKMARK_DELETE); // nothing left: nothing happens
        SendCommand(dialog, IDOK);
    }));
    EXPECT_TRUE(Load().empty());
    EXPECT_EQ((Texts{L"count=0"}), StoredValues());
}

TEST_F(BookmarksDlgTest, AddAndEditRefuseDuplicatesWithoutRegardToCase)
{
    Save({L"hklm\\software", L"HKCU\\Other"});
    EXPECT_FALSE(Show([&](HWND dialog) {
        ThroughEditor(dialog, ID_BOOKMARK_ADD, [](HWND editor) {
            EXPECT_EQ(CString(L""), CDialogDriver::GetItemText(editor, IDC_BOOKMARK_LOCATION));
            TypeLocation(editor, L"HKLM\\Software");
        });
        ASSERT_EQ(1u, m_messages.Count());
        EXPECT_EQ(CString(L"This bookmark already exists."), m_messages.Text(0));

        ThroughEditor(dialog, ID_BOOKMARK_ADD, [&](HWND editor) {
            TypeLocation(editor, L"HKLM\\");
            TypeLocation(editor, L"Software\\NoRoot");
            EXPECT_EQ(3u, m_messages.Count());
            EXPECT_EQ(CString(L"Invalid location."), m_messages.Text(2));
            TypeLocation(editor, L"HKEY_USERS\\New");
        });
        EXPECT_EQ((Texts{L"hklm\\software", L"HKCU\\Other", L"HKEY_USERS\\New"}), Rows(dialog));

        Select(dialog, 1);
        ThroughEditor(dialog, ID_BOOKMARK_EDIT, [](HWND editor) { TypeLocation(editor, L"HKLM\\SOFTWARE"); });
        EXPECT_EQ(4u, m_messages.Count());
        EXPECT_EQ(CString(L"This bookmark already exists."), m_messages.Text(3));
        Select(dialog, 0);
        ThroughEditor(dialog, ID_BOOKMARK_EDIT, [](HWND editor) { TypeLocation(editor, L"HKLM\\SOFTWARE"); });
        EXPECT_EQ(4u, m_messages.Count()) << "a change of case only is accepted";
        // A cancelled editor changes nothing.
        ThroughEditor(dialog, ID_BOOKMARK_EDIT, [](HWND editor) {
            EXPECT_EQ(CString(L"HKLM\\SOFTWARE"), CDialogDriver::GetItemText(editor, IDC_BOOKMARK_LOCATION));
            CDialogDriver::SetItemText(editor, IDC_BOOKMARK_LOCATION, L"HKCU\\Dropped");
            SendCommand(editor, IDCANCEL);
        });
        SendCommand(dialog, IDCANCEL);
    }));
    EXPECT_EQ((Texts{L"HKLM\\SOFTWARE", L"HKCU\\Other", L"HKEY_USERS\\New"}), Load());
}

TEST_F(BookmarksDlgTest, CommandsNeedASelectedRow)
{
    Save({L"HKLM\\A"});
    OverridePlatformVersion(4, 20); // the button bar of Pocket PC before 5.00
    ResetDeviceInfo();
    EXPECT_FALSE(Show([](HWND dialog) {
        HWND bar = FindCommandBar(dialog);
        ASSERT_NE(nullptr, bar);
        auto enabled = [&](int id) { return IsBarButtonEnabled(bar, id); };
        EXPECT_TRUE(enabled(ID_BOOKMARK_OPEN) && enabled(ID_BOOKMARK_EDIT) && enabled(ID_BOOKMARK_DELETE));
        Select(dialog, -1); // enabling follows the list's selection
        EXPECT_FALSE(enabled(ID_BOOKMARK_OPEN) || enabled(ID_BOOKMARK_EDIT) || enabled(ID_BOOKMARK_DELETE));
        EXPECT_TRUE(enabled(ID_BOOKMARK_ADD));

        HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_BOOKMARKS_CONTEXT));
        HMENU popup = GetSubMenu(menu, 0);
        auto menuEnabled = [&](int id) { return !(GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED); };
        SendMessageW(dialog, WM_INITMENUPOPUP, WPARAM(popup), 0);
        EXPECT_FALSE(menuEnabled(ID_BOOKMARK_OPEN) || menuEnabled(ID_BOOKMARK_EDIT) ||
                     menuEnabled(ID_BOOKMARK_DELETE));
        EXPECT_TRUE(menuEnabled(ID_BOOKMARK_ADD));
        // Without a selected row the focused one is acted on.
        ListView_SetItemState(List(dialog), 0, LVIS_FOCUSED, LVIS_FOCUSED);
        SendCommand(dialog, ID_BOOKMARK_DELETE);
        EXPECT_TRUE(Rows(dialog).empty());
        DestroyMenu(menu);
        SendCommand(dialog, ID_DIALOG_CLOSE);
    }));
}
