// The main window's side of the search windows: the find results window (child 105) that can
// cover the tree and the list, and the floating search toolbar (child 106). Until those
// windows exist the results view is never shown and no search is active.
#include "app/MainWnd.h"

#include "res/resource.h"
#include "shd/MessageBox.h"

bool CMainWnd::CreateSearchWindows()
{
    return true;
}

void CMainWnd::MoveSearchWindows(int, int) {}

void CMainWnd::PlaceToolBar() {}

CMainWnd::SSearchState CMainWnd::GetSearchState() const
{
    SSearchState state;
    // Without options the engine counts as finished.
    state.findNextReady = !m_finder.IsFinished();
    return state;
}

CString CMainWnd::GetResultsStateText() const
{
    return CString();
}

void CMainWnd::ShowResultsView(bool show)
{
    if (show)
        return;
    HKEY root = nullptr;
    CString path;
    if (GetCurrentKey(root, path))
        m_keyName.SetKey(root, path);
    else
        m_keyName.SetKey(nullptr, nullptr);
    SetFocus(m_tree.GetHwnd());
}

void CMainWnd::SetToolbarVisible(bool) {}

void CMainWnd::OnSearchStateChanged() {}

void CMainWnd::OnShowFoundItem(HKEY root, const wchar_t* path, const wchar_t* valueName, bool isValue)
{
    ShowResultsView(false);
    if (!m_tree.SelectPath(root, path)) {
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
