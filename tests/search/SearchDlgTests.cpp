// The search dialog driven as a user would: what it shows from the settings, the greyed type
// boxes, validation, which command ends it, and what it stores (in the in-memory registry).
#include "search/SearchDlg.h"

#include "settings/Settings.h"
#include "platform/PlatformInfo.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

class SearchDlgTest : public testing::Test
{
protected:
    void SetUp() override { Settings().Load(); }
    void TearDown() override
    {
        ClearPlatformOverrides();
        ResetDeviceInfo();
    }

    static bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    // A click on a check box as the user makes it: the mark changes and the dialog hears of it.
    static void Click(HWND dialog, int id)
    {
        CDialogDriver::SetCheck(dialog, id, !Checked(dialog, id));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
    }
    static void Command(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
    CMessageBoxRecorder m_boxes;
};

TEST_F(SearchDlgTest, OpensWithStoredOptionsAndGreysTypesWithoutValueData)
{
    SSearchOptions stored;
    stored.searchString = L"needle";
    stored.valueData = false;
    stored.caseSensitive = true;
    stored.dwords = false;
    Settings().SaveSearchOptions(stored);

    CDialogDriver driver;
    bool valueDataEnabledAgain = false, dwordsKeptUnchecked = false, shown = false;
    driver.Expect([&](HWND dialog) {
        shown = CDialogDriver::GetItemText(dialog, IDC_SEARCH_STRING) == L"needle" &&
                Checked(dialog, IDC_SEARCH_KEY_NAMES) && !Checked(dialog, IDC_SEARCH_VALUE_DATA) &&
                Checked(dialog, IDC_SEARCH_CASE_SENSITIVE) && !Enabled(dialog, IDC_SEARCH_STRINGS) &&
                !Enabled(dialog, IDC_SEARCH_BINARY) && Checked(dialog, IDC_SEARCH_STRINGS);
        Click(dialog, IDC_SEARCH_VALUE_DATA);
        valueDataEnabledAgain = Enabled(dialog, IDC_SEARCH_STRINGS) && Enabled(dialog, IDC_SEARCH_DWORDS);
        dwordsKeptUnchecked = !Checked(dialog, IDC_SEARCH_DWORDS);
        CDialogDriver::PostCommand(dialog, IDCANCEL);
    });
    CSearchDlg dialog;
    SSearchOptions options;
    options.searchString = L"untouched";
    bool findAll = true;
    EXPECT_FALSE(dialog.DoModal(nullptr, options, findAll));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(valueDataEnabledAgain);
    EXPECT_TRUE(dwordsKeptUnchecked);
    EXPECT_EQ(options.searchString, L"untouched");
    EXPECT_TRUE(findAll);
    EXPECT_EQ(Settings().GetSearchOptions().searchString, L"needle");
}

TEST_F(SearchDlgTest, ValidationKeepsTheDialogOpen)
{
    CDialogDriver driver;
    HWND focusAfterEmpty = nullptr, edit = nullptr;
    driver.Expect([&](HWND dialog) {
        edit = GetDlgItem(dialog, IDC_SEARCH_STRING);
        CDialogDriver::SetItemText(dialog, IDC_SEARCH_STRING, L"");
        Command(dialog, ID_SEARCH_FIND_ALL);
        focusAfterEmpty = GetFocus();
        CDialogDriver::SetItemText(dialog, IDC_SEARCH_STRING, L"x");
        CDialogDriver::SetCheck(dialog, IDC_SEARCH_KEY_NAMES, false);
        CDialogDriver::SetCheck(dialog, IDC_SEARCH_VALUE_NAMES, false);
        CDialogDriver::SetCheck(dialog, IDC_SEARCH_VALUE_DATA, false);
        Command(dialog, ID_SEARCH_FIND);
        // Still open: blanks are a search string, and value names alone need no type.
        CDialogDriver::SetItemText(dialog, IDC_SEARCH_STRING, L"  ");
        CDialogDriver::SetCheck(dialog, IDC_SEARCH_VALUE_NAMES, true);
        for (int id : {IDC_SEARCH_STRINGS, IDC_SEARCH_MULTI_STRINGS, IDC_SEARCH_DWORDS, IDC_SEARCH_BINARY})
            CDialogDriver::SetCheck(dialog, id, false);
        CDialogDriver::PostCommand(dialog, ID_SEARCH_FIND);
    });
    CSearchDlg dialog;
    SSearchOptions options;
    bool findAll = true;
    ASSERT_TRUE(dialog.DoModal(nullptr, options, findAll));
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Text(0), L"Search string can't be empty.");
    EXPECT_EQ(m_boxes.Text(1), L"You should specify at least one item type to search for.");
    EXPECT_EQ(m_boxes.Messages()[0].style, UINT(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND));
    EXPECT_EQ(m_boxes.Messages()[0].caption, L"Hivelet");
    EXPECT_EQ(focusAfterEmpty, edit);
    EXPECT_FALSE(findAll);
    EXPECT_EQ(options.searchString, L"  ");
    EXPECT_FALSE(options.keyNames);
    EXPECT_TRUE(options.valueNames);
    EXPECT_FALSE(options.strings);
}

TEST_F(SearchDlgTest, FindAllStoresTheOptionsInTheSettingsKey)
{
    CDialogDriver driver;
    driver.Expect([&](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_SEARCH_STRING, L"Wanted");
        CDialogDriver::SetCheck(dialog, IDC_SEARCH_WHOLE_STRING, true);
        CDialogDriver::SetCheck(dialog, IDC_SEARCH_VALUE_DATA, false);
        CDialogDriver::SetCheck(dialog, IDC_SEARCH_BINARY, false);
        CDialogDriver::PostCommand(dialog, ID_SEARCH_FIND_ALL);
    });
    CSearchDlg dialog;
    SSearchOptions options;
    bool findAll = false;
    ASSERT_TRUE(dialog.DoModal(nullptr, options, findAll));
    EXPECT_TRUE(findAll);
    EXPECT_TRUE(options.wholeStringOnly);
    EXPECT_FALSE(options.valueData);
    // A greyed type box is still read and stored.
    EXPECT_FALSE(options.binary);

    // What a restart would read back.
    CSettings reloaded;
    reloaded.Load();
    SSearchOptions stored = reloaded.GetSearchOptions();
    EXPECT_EQ(stored.searchString, L"Wanted");
    EXPECT_TRUE(stored.wholeStringOnly);
    EXPECT_FALSE(stored.valueData);
    EXPECT_FALSE(stored.binary);
    EXPECT_TRUE(stored.dwords);
}

// The menu bar by platform; every one of them carries the dialog's commands.
TEST_F(SearchDlgTest, MenuBarFollowsThePlatform)
{
    struct SCase
    {
        const wchar_t* type;
        DWORD major, minor;
        UINT firstCommand;
        int buttons;
    } cases[] = {{L"PocketPC", 5, 0, ID_SEARCH_FIND, 2},
                 {L"PocketPC", 4, 20, ID_SEARCH_FIND, 3},
                 {L"Smartphone", 4, 20, ID_SEARCH_FIND, 2},
                 {L"Smartphone", 5, 1, ID_SEARCH_FIND, 2}};
    for (const SCase& c : cases) {
        OverridePlatformType(c.type);
        OverridePlatformVersion(c.major, c.minor);
        ResetDeviceInfo();
        CDialogDriver driver;
        int buttons = -1;
        UINT first = 0;
        driver.Expect([&](HWND dialog) {
            CSearchDlg* object = static_cast<CSearchDlg*>(GetPropW(dialog, CShdDialog::kObjectProperty));
            HWND bar = object ? object->GetMenuBar() : nullptr;
            buttons = int(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
            TBBUTTON button = {};
            SendMessageW(bar, TB_GETBUTTON, 0, LPARAM(&button));
            first = UINT(button.idCommand);
            CDialogDriver::PostCommand(dialog, IDCANCEL);
        });
        CSearchDlg dialog;
        SSearchOptions options;
        bool findAll = false;
        EXPECT_FALSE(dialog.DoModal(nullptr, options, findAll));
        EXPECT_EQ(buttons, c.buttons) << c.type << " " << c.major;
        EXPECT_EQ(first, c.firstCommand) << c.type << " " << c.major;
    }
}

} // namespace
