// The main window's side of the search windows: the find results window (child 105) that can
// cover the tree and the list, the floating search toolbar (child 106), the results view, the
// toolbar's buttons following the search state, the commands that pause, stop and switch, and
// the About box.
#include "app/MainWnd.h"

#include "app/AboutDlg.h"
#include "settings/Settings.h"
#include "registry/RootKeys.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/MessageBox.h"
#include "shd/ScreenScale.h"

#include <initializer_list>

namespace {

const int kToolBarMargin = 20; // from the right and bottom edges, scaled on each axis

// The toolbar's buttons that follow the search, by index.
enum EToolButton
{
    kPauseButton = 0,
    kStopButton = 1
};

} // namespace

bool CMainWnd::CreateSearchWindows()
{
    // The results window and the toolbar lie over the main view's controls, which must not
    // paint over them.
    for (HWND below : {m_tree.GetHwnd(), m_list, m_splitter.GetHwnd(), m_keyName.GetHwnd()}) {
        if (below)
            SetWindowLongPtrW(below, GWL_STYLE, GetWindowLongPtrW(below, GWL_STYLE) | WS_CLIPSIBLINGS);
    }
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    bool created = m_findResults.Create(m_hwnd, kFindResultsId, 0, 0, client.right, client.bottom);
    // The results window lies under the toolbar: rows it adds while a search runs must not paint
    // over the toolbar either.
    if (created)
        SetWindowLongPtrW(m_findResults.GetHwnd(), GWL_STYLE,
                          GetWindowLongPtrW(m_findResults.GetHwnd(), GWL_STYLE) | WS_CLIPSIBLINGS);
    m_findResults.SetCallback(this);
    if (!m_toolBar.Create(m_hwnd, kFloatingToolBarId, 10, 10, 50, 50))
        return false;
    SetWindowPos(m_toolBar.GetHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    bool large = IsHighResolution();
    m_toolBar.SetImageList(ImageList_LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(large ? IDB_SEARCH_TOOLBAR_48 : IDB_SEARCH_TOOLBAR_24),
        large ? 48 : 24, 0, RGB(255, 0, 255), IMAGE_BITMAP, 0));
    m_toolBar.AddButton(ID_SEARCH_PAUSE, 4, 4, 5);
    m_toolBar.AddButton(ID_SEARCH_STOP, 2, 2, 3);
    m_toolBar.AddButton(ID_SEARCH_SHOW_RESULTS, 8, 8, 9);
    m_toolBar.AddButton(ID_SEARCH_SHOW_TOOLBAR, 6, 6, 7);
    m_toolBar.EnableButton(kPauseButton, false);
    m_toolBar.EnableButton(kStopButton, false);
    m_toolBar.SetPosition(-ScaleX(kToolBarMargin), -ScaleY(kToolBarMargin));
    return created;
}

void CMainWnd::MoveSearchWindows(int width, int workHeight)
{
    if (m_findResults.GetHwnd())
        MoveWindow(m_findResults.GetHwnd(), 0, 0, width, workHeight, TRUE);
}

void CMainWnd::PlaceToolBar()
{
    m_toolBar.KeepInside();
}

CMainWnd::SSearchState CMainWnd::GetSearchState() const
{
    SSearchState state;
    // Without options the engine counts as finished.
    state.findNextReady = !m_finder.IsFinished();
    state.resultsVisible = m_findResults.GetHwnd() && IsWindowVisible(m_findResults.GetHwnd());
    state.searchActive = m_findResults.IsSearchActive();
    state.toolbarVisible = m_toolBar.GetHwnd() && IsWindowVisible(m_toolBar.GetHwnd());
    state.paused = m_findResults.IsPaused();
    state.hasSearch = m_findResults.HasSearch();
    return state;
}

// The whole registry, from its first root.
void CMainWnd::StartFindAll(const SSearchOptions& options)
{
    m_findResults.StartSearch(options, CRegFinder::SStartPosition());
}

CString CMainWnd::GetResultsStateText() const
{
    CString text;
    m_findResults.GetStateText(text);
    return text;
}

void CMainWnd::EnableMenuBarFirstButton(bool enable)
{
    if (!m_menuBar || (GetOsVersion() < 0x0500 && !IsSmartphone()))
        return;
    TBBUTTON button = {};
    if (SendMessageW(m_menuBar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)))
        SendMessageW(m_menuBar, TB_ENABLEBUTTON, button.idCommand, MAKELPARAM(enable ? TRUE : FALSE, 0));
}

void CMainWnd::ShowResultsView(bool show)
{
    HWND results = m_findResults.GetHwnd();
    if (show && results) {
        ShowWindow(results, SW_SHOW);
        SetWindowPos(results, m_toolBar.GetHwnd() ? m_toolBar.GetHwnd() : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_keyName.SetText(GetResultsStateText());
        EnableMenuBarFirstButton(false);
        SetFocus(results);
        return;
    }
    if (results) {
        ShowWindow(results, SW_HIDE);
        SetWindowPos(results, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    HKEY root = nullptr;
    CString path;
    if (GetCurrentKey(root, path))
        m_keyName.SetKey(root, path);
    else
        m_keyName.SetKey(nullptr, nullptr);
    EnableMenuBarFirstButton(true);
    SetFocus(m_tree.GetHwnd());
}

void CMainWnd::SetToolbarVisible(bool show)
{
    if (!m_toolBar.GetHwnd())
        return;
    bool visible = show && Settings().GetShowSearchToolbar() && !IsSmartphone();
    ShowWindow(m_toolBar.GetHwnd(), visible ? SW_SHOW : SW_HIDE);
}

void CMainWnd::OnSearchStateChanged()
{
    if (GetSearchState().resultsVisible)
        m_keyName.SetText(GetResultsStateText());
    bool active = m_findResults.IsSearchActive();
    if (active && m_findResults.IsPaused())
        m_toolBar.SetButtonImages(kPauseButton, 0, 0, 1);
    else
        m_toolBar.SetButtonImages(kPauseButton, 4, 4, 5);
    m_toolBar.EnableButton(kPauseButton, active);
    m_toolBar.EnableButton(kStopButton, active);
}

void CMainWnd::OnShowFoundItem(DWORD root, const CString& keyPath, const CString& valueName, bool isValue)
{
    OnShowFoundItem(RootKeyFromValue(root), keyPath.c_str(), valueName.c_str(), isValue);
}

void CMainWnd::OnShowFoundItem(HKEY root, const wchar_t* path, const wchar_t* valueName, bool isValue)
{
    ShowResultsView(false);
    if (!SelectFoundKey(root, path, isValue)) {
        ShowErrorMessage(m_hwnd, L"Unable to show registry key.");
        return;
    }
    if (!isValue) {
        SetFocus(m_tree.GetHwnd());
        return;
    }
    if (!SelectValueByName(valueName)) {
        ShowErrorMessage(m_hwnd, L"Unable to show registry value.");
        return;
    }
    SetFocus(m_list);
}

// A key that stays selected keeps the list read when it was selected, which may be older than
// a value found in it since: for a value the list is read again.
bool CMainWnd::SelectFoundKey(HKEY root, const wchar_t* path, bool forValue)
{
    const HTREEITEM selected = m_tree.GetSelection();
    if (!m_tree.SelectPath(root, path))
        return false;
    if (forValue && m_tree.GetSelection() == selected)
        FillValueList(nullptr, false, nullptr);
    return true;
}

// Commands.

void CMainWnd::OnPauseSearch()
{
    if (!m_findResults.IsSearchActive())
        return;
    if (m_findResults.IsPaused())
        m_findResults.ResumeSearch();
    else
        m_findResults.PauseSearch();
}

void CMainWnd::OnStopSearch()
{
    m_findResults.CancelSearch();
}

void CMainWnd::OnSwitchView()
{
    const SSearchState state = GetSearchState();
    ShowResultsView(state.hasSearch && !state.resultsVisible);
}

void CMainWnd::OnToggleToolbar()
{
    const SSearchState state = GetSearchState();
    if (!state.resultsVisible && !state.hasSearch)
        SetToolbarVisible(false);
    else
        SetToolbarVisible(!state.toolbarVisible);
}

void CMainWnd::OnAbout()
{
    CAboutDlg about;
    about.Run(m_hwnd);
}
