// The main window's "Start..." and "Find Next" commands: the search dialog, then either a
// "Find All" in the find results window or single steps of the Find Next engine under the
// progress dialog, each showing its match in the tree and the list.
#include "app/MainWnd.h"

#include "regfile/ProgressDlg.h"
#include "registry/RootKeys.h"
#include "search/SearchDlg.h"
#include "shd/MessageBox.h"

void CMainWnd::OnSearch()
{
    const bool listHadFocus = GetFocus() == m_list;
    CRegFinder::SStartPosition start;
    GetSearchStart(start);
    SSearchOptions options;
    bool findAll = false;
    const bool confirmed = CSearchDlg().DoModal(m_hwnd, options, findAll);
    RestoreFocus(listHadFocus);
    if (!confirmed)
        return;
    if (findAll) {
        m_finder.Reset();
        StartFindAll(options);
        ShowResultsView(true);
        SetToolbarVisible(true);
        return;
    }
    ShowResultsView(false);
    SetToolbarVisible(false);
    m_finder.SetOptions(options, start);
    OnFindNext();
}

// The selected key and value; root 0 and an empty path without a key.
void CMainWnd::GetSearchStart(CRegFinder::SStartPosition& start) const
{
    HKEY root = nullptr;
    if (GetCurrentKey(root, start.keyPath))
        start.root = RootKeyValue(root);
    int index = -1;
    start.hasValue = GetSelectedValue(index, start.valueName);
}

void CMainWnd::OnFindNext()
{
    if (m_finder.IsFinished())
        return;
    const bool listHadFocus = GetFocus() == m_list;
    CRegFinder::SStartPosition here;
    GetSearchStart(here);
    m_finder.SetPosition(here.root, here.keyPath, here.hasValue ? here.valueName.c_str() : nullptr);
    if (!m_finder.Start()) {
        RestoreFocus(listHadFocus);
        return;
    }
    UpdateWindow(m_hwnd);
    if (m_menuBar)
        UpdateWindow(m_menuBar);
    CProgressDlg progress;
    if (!progress.Run(m_hwnd, L"Search in progress...", 1000, m_finder.GetDoneEvent())) {
        m_finder.Cancel();
    } else {
        CRegFinder::SSearchPosition found;
        if (m_finder.GetResult(found))
            ShowFoundPosition(found);
        else
            ShowInfoMessage(m_hwnd, L"Search finished.");
    }
    RestoreFocus(listHadFocus);
}

bool CMainWnd::ShowFoundPosition(const CRegFinder::SSearchPosition& found)
{
    const bool isValue = found.kind == CRegFinder::StateAtValue;
    if (!SelectFoundKey(RootKeyFromValue(found.root), found.keyPath, isValue)) {
        ShowErrorMessage(m_hwnd, L"Unable to show found registry key.");
        return false;
    }
    if (isValue && !SelectValueByName(found.valueName)) {
        ShowErrorMessage(m_hwnd, L"Unable to show found registry value.");
        return false;
    }
    return true;
}

void CMainWnd::RestoreFocus(bool toList)
{
    SetFocus(toList ? m_list : m_tree.GetHwnd());
}
