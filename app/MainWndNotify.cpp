// The main window's notifications from the key tree and the value list: selection changes,
// expansion, label edits with the input panel, Enter and tap-and-hold with their context
// menus; and the keyboard focus moving between the panes.
#include "app/MainWnd.h"

#include "platform/DeviceScreen.h"
#include "res/resource.h"

namespace {

const UINT kHeaderQuery = UINT(-50);

void RecognizeGestureAt(HWND control, const RECT& rect)
{
    SHRGINFO gesture = {};
    gesture.cbSize = sizeof(gesture);
    gesture.hwndClient = control;
    gesture.ptDown = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    gesture.dwFlags = 0;
    SHRecognizeGesture(&gesture);
}

POINT MessagePoint()
{
    DWORD position = GetMessagePos();
    return {short(LOWORD(position)), short(HIWORD(position))};
}

} // namespace

LRESULT CMainWnd::OnNotify(const NMHDR* header)
{
    if (!header)
        return 0;
    if (header->hwndFrom == m_tree.GetHwnd() && m_tree.GetHwnd())
        return OnTreeNotify(header);
    if (header->hwndFrom == m_list && m_list)
        return OnListNotify(header);
    if (m_list && GetParent(header->hwndFrom) == m_list)
        return header->code == kHeaderQuery ? 1 : 0;
    return 0;
}

LRESULT CMainWnd::OnTreeNotify(const NMHDR* header)
{
    switch (header->code) {
    case GN_CONTEXTMENU:
        OnTreeContextMenu(reinterpret_cast<const NMRGINFO*>(header)->ptAction);
        return 0;
    case NM_RCLICK:
        // On the desktop a right click stands for tap-and-hold.
        OnTreeContextMenu(MessagePoint());
        return 1;
    case TVN_BEGINLABELEDITW: {
        bool refuse = m_tree.OnBeginLabelEdit(reinterpret_cast<const NMTVDISPINFOW*>(header));
        if (!refuse)
            CreateInputPanel(m_tree.GetHwnd());
        return refuse ? 1 : 0;
    }
    case TVN_GETDISPINFOW:
        m_tree.OnGetDispInfo(reinterpret_cast<NMTVDISPINFOW*>(const_cast<NMHDR*>(header)));
        return 0;
    case TVN_ITEMEXPANDINGW:
        m_tree.OnItemExpanding(reinterpret_cast<const NMTREEVIEWW*>(header));
        return 0;
    case TVN_SELCHANGINGW:
        OnTreeSelChanging(reinterpret_cast<const NMTREEVIEWW*>(header));
        return 0;
    case TVN_ENDLABELEDITW:
        RemoveInputPanel();
        if (m_tree.OnEndLabelEdit(reinterpret_cast<const NMTVDISPINFOW*>(header)))
            EndKeyRename(m_tree.GetRenameInfo());
        return 0;
    case TVN_KEYDOWN:
        if (reinterpret_cast<const NMTVKEYDOWN*>(header)->wVKey == VK_RETURN)
            OnTreeEnter();
        return 0;
    }
    return 0;
}

LRESULT CMainWnd::OnListNotify(const NMHDR* header)
{
    switch (header->code) {
    case GN_CONTEXTMENU:
        OnListContextMenu(reinterpret_cast<const NMRGINFO*>(header)->ptAction);
        return 0;
    case NM_RCLICK:
        OnListContextMenu(MessagePoint());
        return 1;
    case LVN_BEGINLABELEDITW:
        if (!BeginValueRename(reinterpret_cast<const NMLVDISPINFOW*>(header)->item.iItem))
            return 1;
        CreateInputPanel(m_list);
        return 0;
    case LVN_ENDLABELEDITW: {
        RemoveInputPanel();
        const LVITEMW& item = reinterpret_cast<const NMLVDISPINFOW*>(header)->item;
        EndValueRename((item.mask & LVIF_TEXT) ? item.pszText : nullptr);
        return 0;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_RETURN &&
            ListView_GetNextItem(m_list, -1, LVNI_SELECTED) < 0) {
            RECT client = {};
            GetClientRect(m_list, &client);
            RecognizeGestureAt(m_list, client);
        }
        return 0;
    case LVN_ITEMACTIVATE:
        OnEditValue(false);
        return 0;
    case NM_SETFOCUS:
        OnListSetFocus();
        return 0;
    }
    return 0;
}

void CMainWnd::OnTreeSelChanging(const NMTREEVIEWW* info)
{
    HTREEITEM item = info->itemNew.hItem;
    if (!GetSearchState().resultsVisible) {
        HKEY root = nullptr;
        CString path;
        if (item && m_tree.GetItemPath(item, root, path))
            m_keyName.SetKey(root, path);
        else
            m_keyName.SetKey(nullptr, nullptr);
    }
    // "Registry" and no item at all both give an empty list.
    if (item)
        FillValueList(item, false, nullptr);
    else
        ListView_DeleteAllItems(m_list);
}

void CMainWnd::OnTreeEnter()
{
    HWND tree = m_tree.GetHwnd();
    RECT rect = {};
    HTREEITEM item = m_tree.GetSelection();
    if (!item || !TreeView_GetItemRect(tree, item, &rect, TRUE))
        GetClientRect(tree, &rect);
    RecognizeGestureAt(tree, rect);
}

void CMainWnd::OnTreeContextMenu(POINT screen)
{
    if (m_contextMenuOpen)
        return;
    m_contextMenuOpen = true;
    HWND tree = m_tree.GetHwnd();
    SetFocus(tree);
    TVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(tree, &hit.pt);
    HTREEITEM item = TreeView_HitTest(tree, &hit);
    TreeView_SelectItem(tree, item);
    HKEY root = nullptr;
    CString path;
    if (GetCurrentKey(root, path))
        ShowContextMenu(IDR_KEY_MENU, screen);
    m_contextMenuOpen = false;
}

void CMainWnd::OnListContextMenu(POINT screen)
{
    if (m_contextMenuOpen)
        return;
    m_contextMenuOpen = true;
    SetFocus(m_list);
    HKEY root = nullptr;
    CString path;
    if (GetCurrentKey(root, path)) {
        int index = -1;
        CString name;
        ShowContextMenu(GetSelectedValue(index, name) ? IDR_VALUE_MENU : IDR_VALUES_MENU, screen);
    }
    m_contextMenuOpen = false;
}

void CMainWnd::ShowContextMenu(UINT menuId, POINT screen)
{
    if (HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId))) {
        TrackPopup(GetSubMenu(menu, 0), screen);
        DestroyMenu(menu);
    }
}

void CMainWnd::TrackPopup(HMENU popup, POINT screen)
{
    DeviceTrackPopupMenuEx(popup, 0, screen.x, screen.y, m_hwnd, nullptr);
}

void CMainWnd::OnListSetFocus()
{
    int selected = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    if (selected < 0 && ListView_GetItemCount(m_list) > 0) {
        const UINT states = LVIS_SELECTED | LVIS_FOCUSED;
        ListView_SetItemState(m_list, 0, states, states);
        selected = 0;
    }
    if (selected >= 0)
        ListView_EnsureVisible(m_list, selected, FALSE);
}

void CMainWnd::CreateInputPanel(HWND control)
{
    RemoveInputPanel();
    m_inputPanel = CreateWindowExW(0, L"SIPPREF", L"", WS_CHILD, -10, -10, 0, 0, control, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    if (m_menuBar)
        SendMessageW(m_menuBar, SHCMBM_OVERRIDEKEY, VK_TBACK,
                     MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
}

void CMainWnd::RemoveInputPanel()
{
    if (!m_inputPanel)
        return;
    if (IsWindow(m_inputPanel))
        DestroyWindow(m_inputPanel);
    m_inputPanel = nullptr;
    if (m_menuBar && IsWindow(m_menuBar))
        SendMessageW(m_menuBar, SHCMBM_OVERRIDEKEY, VK_TBACK,
                     MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, 0));
}

void CMainWnd::FocusForward()
{
    HWND focus = GetFocus();
    if (focus == m_tree.GetHwnd())
        SetFocus(m_splitter.GetHwnd());
    else if (focus == m_splitter.GetHwnd())
        SetFocus(m_list);
    else
        SetFocus(m_tree.GetHwnd());
}

void CMainWnd::FocusBackward()
{
    HWND focus = GetFocus();
    if (focus == m_tree.GetHwnd())
        SetFocus(m_list);
    else if (focus == m_list)
        SetFocus(m_splitter.GetHwnd());
    else
        SetFocus(m_tree.GetHwnd());
}
