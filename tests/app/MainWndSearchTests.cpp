// The main window with a "Find All" over the in-memory registry: the results view and the key
// name bar's state text, the toolbar's buttons following the search, the pause, stop, switch and
// toolbar commands, and a result row that selects its key and value in the main view.
#include "app/MainWnd.h"
#include "settings/Settings.h"
#include "platform/PlatformInfo.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "tests/app/MainViewTests.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class MainWndSearch : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const wchar_t* name : {L"hit one", L"hit two"}) {
            CShdRegKey key;
            ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, L"Software\\Hit"));
            ASSERT_TRUE(key.SetString(name, L"x"));
        }
        m_main = std::make_unique<CMainWnd>(true, L"");
        ASSERT_TRUE(m_main->CreateMain(GetModuleHandleW(nullptr)));
        DrainMainWindowMessages();
    }
    void TearDown() override
    {
        m_main.reset();
        DrainMainWindowMessages();
        Settings().SetShowSearchToolbar(true);
        ClearPlatformOverrides();
        ResetDeviceInfo();
    }

    CFindResultsWnd& Results() { return m_main->GetFindResults(); }
    CFloatingToolBar& ToolBar() { return m_main->GetSearchToolBar(); }
    bool ResultsShown() { return IsWindowVisible(Results().GetHwnd()) != FALSE; }
    bool ToolBarShown() { return IsWindowVisible(ToolBar().GetHwnd()) != FALSE; }
    CString BarText() { return m_main->GetKeyNameBar().GetText(); }
    void Command(UINT id) { SendMessageW(m_main->GetHwnd(), WM_COMMAND, id, 0); }

    // What "Start..." with "Find All" does.
    void FindAll(const wchar_t* text)
    {
        SSearchOptions options;
        options.searchString = text;
        Results().StartSearch(options, CRegFinder::SStartPosition());
        m_main->ShowResultsView(true);
        m_main->SetToolbarVisible(true);
    }
    bool PumpUntilEnded()
    {
        for (;;) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (!Results().IsSearchActive())
                return true;
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_ALLINPUT) == WAIT_TIMEOUT)
                return false;
        }
    }
    void ActivateRow(int row)
    {
        NMITEMACTIVATE activate = {};
        activate.hdr.hwndFrom = Results().GetListHwnd();
        activate.hdr.idFrom = CFindResultsWnd::kListId;
        activate.hdr.code = LVN_ITEMACTIVATE;
        activate.iItem = row;
        SendMessageW(Results().GetHwnd(), WM_NOTIFY, CFindResultsWnd::kListId,
                     reinterpret_cast<LPARAM>(&activate));
    }
    std::wstring SelectedValue()
    {
        int row = ListView_GetNextItem(m_main->GetList(), -1, LVNI_SELECTED);
        wchar_t name[256] = L"";
        if (row >= 0)
            ListView_GetItemText(m_main->GetList(), row, 0, name, 256);
        return name;
    }

    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
    std::unique_ptr<CMainWnd> m_main;
};

} // namespace

TEST_F(MainWndSearch, CommandsPauseStopAndSwitchWithTheStateInTheBar)
{
    // The controls below the search windows do not paint over them.
    for (HWND below : {m_main->GetTree().GetHwnd(), m_main->GetList(), m_main->GetKeyNameBar().GetHwnd()})
        EXPECT_TRUE(GetWindowLongPtrW(below, GWL_STYLE) & WS_CLIPSIBLINGS);
    // Nothing to show yet: the switch and the toolbar command leave both hidden, pause and stop
    // disabled.
    Command(ID_SEARCH_SHOW_RESULTS);
    Command(ID_SEARCH_SHOW_TOOLBAR);
    EXPECT_FALSE(ResultsShown());
    EXPECT_FALSE(ToolBarShown());
    EXPECT_EQ(5, ToolBar().GetShownImage(0));
    EXPECT_EQ(3, ToolBar().GetShownImage(1));

    FindAll(L"hit");
    EXPECT_TRUE(ResultsShown());
    EXPECT_TRUE(ToolBarShown());
    EXPECT_EQ(Results().GetListHwnd(), GetFocus());
    EXPECT_EQ(CString(L"Search in progress..."), BarText());
    EXPECT_EQ(2, ToolBar().GetShownImage(1)) << "stop enabled";

    Command(ID_SEARCH_PAUSE);
    EXPECT_TRUE(Results().IsPaused());
    EXPECT_EQ(CString(L"Search paused"), BarText());
    EXPECT_EQ(0, ToolBar().GetShownImage(0)); // resume
    Command(ID_SEARCH_PAUSE);
    EXPECT_FALSE(Results().IsPaused());
    EXPECT_EQ(4, ToolBar().GetShownImage(0)); // pause

    Command(ID_SEARCH_STOP);
    EXPECT_EQ(CString(L"Search cancelled"), BarText());
    EXPECT_EQ(5, ToolBar().GetShownImage(0)) << "both disabled again";
    EXPECT_EQ(3, ToolBar().GetShownImage(1));

    Command(ID_SEARCH_SHOW_RESULTS); // to the main view
    EXPECT_FALSE(ResultsShown());
    EXPECT_EQ(CString(L"ROOT"), BarText());
    EXPECT_EQ(m_main->GetTree().GetHwnd(), GetFocus());
    Command(ID_SWITCH_VIEW); // Ctrl+Tab: back to the results
    EXPECT_TRUE(ResultsShown());
    EXPECT_EQ(CString(L"Search cancelled"), BarText());
}

TEST_F(MainWndSearch, ToolBarButtonsSendTheirCommandsToTheMainWindow)
{
    FindAll(L"hit");
    ASSERT_TRUE(PumpUntilEnded());
    EXPECT_EQ(CString(L"Search finished"), BarText());
    RECT results = ToolBar().GetButtonRect(2), hide = ToolBar().GetButtonRect(3);
    auto click = [this](const RECT& rect) {
        LPARAM point = MAKELPARAM(rect.left + 3, rect.top + 3);
        SendMessageW(ToolBar().GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(ToolBar().GetHwnd(), WM_LBUTTONUP, 0, point);
    };
    click(results);
    EXPECT_FALSE(ResultsShown());
    click(results);
    EXPECT_TRUE(ResultsShown());
    click(hide);
    EXPECT_FALSE(ToolBarShown());
    Command(ID_SEARCH_SHOW_TOOLBAR);
    EXPECT_TRUE(ToolBarShown());

    // Off in the settings, or on a Smartphone, the toolbar stays hidden.
    Settings().SetShowSearchToolbar(false);
    m_main->SetToolbarVisible(true);
    EXPECT_FALSE(ToolBarShown());
    Settings().SetShowSearchToolbar(true);
    OverridePlatformType(L"Smartphone");
    ResetDeviceInfo();
    m_main->SetToolbarVisible(true);
    EXPECT_FALSE(ToolBarShown());
}

TEST_F(MainWndSearch, ActivatingAResultSelectsItsKeyAndValue)
{
    FindAll(L"hit");
    ASSERT_TRUE(PumpUntilEnded());
    // Rows: the key, then its two values.
    ASSERT_EQ(3, ListView_GetItemCount(Results().GetListHwnd()));
    ActivateRow(2);
    EXPECT_FALSE(ResultsShown());
    HKEY root = nullptr;
    CString path;
    ASSERT_TRUE(m_main->GetCurrentKey(root, path));
    EXPECT_EQ(HKEY_CURRENT_USER, root);
    EXPECT_EQ(CString(L"Software\\Hit"), path);
    EXPECT_EQ(L"hit two", SelectedValue());
    EXPECT_EQ(m_main->GetList(), GetFocus());

    Command(ID_SEARCH_SHOW_RESULTS);
    ActivateRow(0);
    EXPECT_EQ(m_main->GetTree().GetHwnd(), GetFocus());

    // A value deleted since the search, its key still selected: the list is read again, so the
    // row shows the value is gone instead of selecting what the list showed before.
    CShdRegKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, L"Software\\Hit"));
    ASSERT_TRUE(key.DeleteValue(L"hit one"));
    CMessageBoxRecorder boxes;
    Command(ID_SEARCH_SHOW_RESULTS);
    ActivateRow(1);
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ(CString(L"Unable to show registry value."), boxes.Text(0));
    EXPECT_EQ(1, ListView_GetItemCount(m_main->GetList()));
}
