// "Start..." and "Find Next" through the real main window over a small branch of the in-memory
// registry: each match selected in the tree and the list in the engine's order, "Search
// finished." at the end with "Find Next" then disabled, and the focus given back.
#include "app/MainWnd.h"

#include "settings/Settings.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>

namespace {

const wchar_t kBranch[] = L"Software\\Find Branch";

class MainWndFind : public testing::Test
{
protected:
    void SetUp() override
    {
        Settings().Load();
        CShdRegKey branch, needleKey, other;
        ASSERT_TRUE(branch.Create(HKEY_CURRENT_USER, kBranch));
        branch.SetString(L"alpha", L"a needle here");
        branch.SetString(L"beta", L"nothing");
        ASSERT_TRUE(needleKey.Create(branch.GetHandle(), L"NeedleKey"));
        ASSERT_TRUE(other.Create(branch.GetHandle(), L"Other"));
        other.SetDword(L"needleName", 1);
        m_main = std::make_unique<CMainWnd>(true, L"");
        ASSERT_TRUE(m_main->CreateMain(GetModuleHandleW(nullptr)));
        Drop(CMainWnd::kStartupMessage);
    }
    void TearDown() override
    {
        m_main.reset();
        Drop(WM_QUIT);
    }
    static void Drop(UINT id)
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, id, id, PM_REMOVE)) {
        }
    }
    void Command(UINT id) { SendMessageW(m_main->GetHwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // "key path|value name" of the selection; the value part empty when no value is selected.
    CString Selection()
    {
        HKEY root = nullptr;
        CString path, value;
        int index = -1;
        if (!m_main->GetCurrentKey(root, path) || root != HKEY_CURRENT_USER)
            return L"<no key>";
        m_main->GetSelectedValue(index, value);
        return path + L"|" + value;
    }
    bool FindNextEnabled()
    {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, ID_SEARCH_FIND_NEXT, L"Find Next");
        m_main->UpdateMenu(menu);
        const bool enabled = !(GetMenuState(menu, ID_SEARCH_FIND_NEXT, MF_BYCOMMAND) & MF_GRAYED);
        DestroyMenu(menu);
        return enabled;
    }

    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
    std::unique_ptr<CMainWnd> m_main;
    CDialogDriver m_driver;
    CMessageBoxRecorder m_boxes;
};

TEST_F(MainWndFind, StartThenFindNextWalksTheMatchesAndEndsWithSearchFinished)
{
    ASSERT_TRUE(m_main->GetTree().SelectPath(HKEY_CURRENT_USER, kBranch));
    SetFocus(m_main->GetTree().GetHwnd());
    EXPECT_FALSE(FindNextEnabled());
    m_driver.Expect([](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_SEARCH_STRING, L"needle");
        CDialogDriver::PostCommand(dialog, ID_SEARCH_FIND);
    });
    Command(ID_SEARCH_START);
    ASSERT_TRUE(m_driver.AllHandled());
    const CString branch = kBranch;
    EXPECT_EQ(Selection(), branch + L"|alpha");
    EXPECT_EQ(GetFocus(), m_main->GetTree().GetHwnd());
    EXPECT_TRUE(FindNextEnabled());

    Command(ID_SEARCH_FIND_NEXT);
    EXPECT_EQ(Selection(), branch + L"\\NeedleKey|");
    SetFocus(m_main->GetList());
    Command(ID_SEARCH_FIND_NEXT);
    EXPECT_EQ(Selection(), branch + L"\\Other|needleName");
    EXPECT_EQ(GetFocus(), m_main->GetList());
    EXPECT_EQ(m_boxes.Count(), 0u);

    Command(ID_SEARCH_FIND_NEXT);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Text(0), L"Search finished.");
    EXPECT_EQ(m_boxes.Messages()[0].style, UINT(MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND));
    EXPECT_FALSE(FindNextEnabled());
    // The options were stored for the next "Start...".
    EXPECT_EQ(Settings().GetSearchOptions().searchString, L"needle");
}

// A value added to the selected key after its list was filled: "Find Next" finds it there and
// shows it, the list read again, instead of reporting that it cannot show it.
TEST_F(MainWndFind, FindNextShowsAValueAddedToTheSelectedKeySinceItsListWasFilled)
{
    ASSERT_TRUE(m_main->GetTree().SelectPath(HKEY_CURRENT_USER, kBranch));
    m_driver.Expect([](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_SEARCH_STRING, L"needle");
        CDialogDriver::PostCommand(dialog, ID_SEARCH_FIND);
    });
    Command(ID_SEARCH_START);
    ASSERT_TRUE(m_driver.AllHandled());
    const CString branch = kBranch;
    ASSERT_EQ(Selection(), branch + L"|alpha");
    CShdRegKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kBranch));
    ASSERT_TRUE(key.SetString(L"gamma", L"another needle"));

    Command(ID_SEARCH_FIND_NEXT);
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Selection(), branch + L"|gamma");
    EXPECT_EQ(ListView_GetItemCount(m_main->GetList()), 3);
}

TEST_F(MainWndFind, CancelledSearchDialogStartsNothing)
{
    m_driver.Expect([](HWND dialog) { CDialogDriver::PostCommand(dialog, IDCANCEL); });
    Command(ID_SEARCH_START);
    EXPECT_TRUE(m_driver.AllHandled());
    EXPECT_FALSE(FindNextEnabled());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// "Find All" searches the whole registry into the results view, whatever is selected, and
// leaves "Find Next" without options.
TEST_F(MainWndFind, FindAllFillsTheResultsView)
{
    ASSERT_TRUE(m_main->GetTree().SelectPath(HKEY_CURRENT_USER, kBranch));
    m_driver.Expect([](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_SEARCH_STRING, L"needle");
        CDialogDriver::PostCommand(dialog, ID_SEARCH_FIND_ALL);
    });
    Command(ID_SEARCH_START);
    ASSERT_TRUE(m_driver.AllHandled());
    CFindResultsWnd& results = m_main->GetFindResults();
    EXPECT_TRUE(IsWindowVisible(results.GetHwnd()));
    EXPECT_TRUE(IsWindowVisible(m_main->GetSearchToolBar().GetHwnd()));
    for (ULONGLONG begin = GetTickCount64(); results.IsSearchActive() && GetTickCount64() - begin < 20000;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    ASSERT_FALSE(results.IsSearchActive());
    ASSERT_EQ(results.GetResultCount(), 3);
    CRegFinder::SSearchPosition first, last;
    ASSERT_TRUE(results.GetResult(0, first));
    ASSERT_TRUE(results.GetResult(2, last));
    EXPECT_EQ(first.valueName, L"alpha");
    EXPECT_EQ(last.valueName, L"needleName");
    EXPECT_FALSE(FindNextEnabled());
    EXPECT_EQ(m_boxes.Count(), 0u);

    // Turning the toolbar option off in "Options..." hides the toolbar at once.
    m_driver.Expect([](HWND sheet) {
        SendMessageW(sheet, PSM_SETCURSEL, 0, 0);
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        CDialogDriver::SetCheck(page, IDC_OPTIONS_SEARCH_TOOLBAR, false);
        PostMessageW(sheet, WM_COMMAND, IDOK, 0);
    });
    Command(ID_OPTIONS);
    EXPECT_FALSE(IsWindowVisible(m_main->GetSearchToolBar().GetHwnd()));
    Settings().SetShowSearchToolbar(true);
}

} // namespace
