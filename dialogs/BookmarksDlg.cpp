// The bookmarks dialog: its command bar, the list kept in step with the bookmarks, the four
// actions, the enabling rules and the context menu.
#include "dialogs/BookmarksDlg.h"

#include "dialogs/EditBookmarkDlg.h"
#include "platform/DeviceScreen.h"
#include "registry/RootKeys.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/ShdFontsManager.h"

#include <commctrl.h>

CBookmarksDlg::CBookmarksDlg() : CEditorDialog(L"Bookmarks", false) {}

bool CBookmarksDlg::ShowBookmarks(HWND parent, HKEY& root, CString& keyPath, CString& valueName,
                                  bool& selectValue)
{
    if (Run(parent, IDD_BOOKMARKS) != kDone)
        return false;
    root = m_resultRoot;
    keyPath = m_resultPath;
    valueName.Empty();
    selectValue = false;
    return true;
}

INT_PTR CBookmarksDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_SIZE:
        Layout();
        return TRUE;
    case WM_SETFOCUS:
        SetFocus(m_list);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

BOOL CBookmarksDlg::OnInitDialog()
{
    m_list = Item(IDC_BOOKMARK_LIST);
    if (!CreateBar()) {
        EndDialog(m_hwnd, kNotPrepared);
        return FALSE;
    }
    InitList();
    LoadBookmarks(m_bookmarks);
    FillList();
    Layout();
    SetFocus(m_list);
    if (m_bookmarks.GetSize() > 0)
        SelectRow(0);
    UpdateBarButtons();
    return FALSE;
}

bool CBookmarksDlg::CreateBar()
{
    const bool before500 = GetOsVersion() < 0x0500;
    if (IsSmartphone() && before500)
        return CreateMenuBarFrom(IDR_BOOKMARKS_SOFTKEYS, true);
    m_buttonBar = before500;
    return CreateMenuBarFrom(before500 ? IDR_BOOKMARKS_BUTTONS : IDR_BOOKMARKS_MENU, false);
}

void CBookmarksDlg::InitList()
{
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = client.right - 2 * GetSystemMetrics(SM_CXVSCROLL);
    column.pszText = const_cast<wchar_t*>(L"Location");
    ListView_InsertColumn(m_list, 0, &column);
    HFONT font = CShdFontsManager::Instance().GetDialogFont();
    SendMessageW(m_list, WM_SETFONT, WPARAM(font), FALSE);
    SendMessageW(ListView_GetHeader(m_list), WM_SETFONT, WPARAM(font), FALSE);
}

void CBookmarksDlg::FillList()
{
    ListView_DeleteAllItems(m_list);
    for (int i = 0; i < m_bookmarks.GetSize(); ++i)
        InsertRow(i, m_bookmarks[i]);
}

void CBookmarksDlg::InsertRow(int row, const wchar_t* text)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(text);
    ListView_InsertItem(m_list, &item);
}

void CBookmarksDlg::SelectRow(int row)
{
    const UINT states = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(m_list, row, states, states);
    ListView_EnsureVisible(m_list, row, FALSE);
}

int CBookmarksDlg::GetSelectedRow() const
{
    return ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
}

int CBookmarksDlg::GetActionRow() const
{
    int row = GetSelectedRow();
    return row >= 0 ? row : ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
}

INT_PTR CBookmarksDlg::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom != m_list)
        return FALSE;
    switch (header.code) {
    case LVN_ITEMACTIVATE:
        Open(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        return TRUE;
    case LVN_ITEMCHANGED:
        UpdateBarButtons();
        return TRUE;
    case UINT(GN_CONTEXTMENU):
        ShowContextMenu(reinterpret_cast<const NMRGINFO&>(header).ptAction);
        return TRUE;
    case NM_RCLICK: {
        // A right click stands for the handheld's tap-and-hold.
        DWORD position = GetMessagePos();
        ShowContextMenu({short(LOWORD(position)), short(HIWORD(position))});
        return TRUE;
    }
    }
    return FALSE;
}

void CBookmarksDlg::OnCommand(UINT id)
{
    switch (id) {
    case ID_BOOKMARK_OPEN:
        Open(GetActionRow());
        break;
    case ID_BOOKMARK_ADD:
        Add();
        break;
    case ID_BOOKMARK_EDIT:
        Edit(GetActionRow());
        break;
    case ID_BOOKMARK_DELETE:
        Delete(GetActionRow());
        break;
    case IDOK:
    case IDCANCEL:
    case ID_DIALOG_CLOSE:
        EndDialog(m_hwnd, kCancelled);
        break;
    }
}

void CBookmarksDlg::OnInitMenuPopup(HMENU menu)
{
    const UINT state = GetSelectedRow() >= 0 ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, ID_BOOKMARK_OPEN, MF_BYCOMMAND | state);
    EnableMenuItem(menu, ID_BOOKMARK_EDIT, MF_BYCOMMAND | state);
    EnableMenuItem(menu, ID_BOOKMARK_DELETE, MF_BYCOMMAND | state);
    EnableMenuItem(menu, ID_BOOKMARK_ADD, MF_BYCOMMAND | MF_ENABLED);
}

void CBookmarksDlg::ShowContextMenu(POINT screenPoint)
{
    HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(IDR_BOOKMARKS_CONTEXT));
    if (!menu)
        return;
    DeviceTrackPopupMenuEx(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN, screenPoint.x, screenPoint.y,
                           m_hwnd, nullptr);
    DestroyMenu(menu);
}

void CBookmarksDlg::UpdateBarButtons()
{
    const LPARAM enable = GetSelectedRow() >= 0 ? TRUE : FALSE;
    SendMessageW(GetCommandBar(), TB_ENABLEBUTTON, ID_BOOKMARK_OPEN, enable);
    if (!m_buttonBar)
        return;
    SendMessageW(GetCommandBar(), TB_ENABLEBUTTON, ID_BOOKMARK_EDIT, enable);
    SendMessageW(GetCommandBar(), TB_ENABLEBUTTON, ID_BOOKMARK_DELETE, enable);
}

void CBookmarksDlg::Layout()
{
    if (!m_list)
        return;
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    const int border = GetSystemMetrics(SM_CXBORDER);
    const int y = GetPpcHelper().GetHeaderHeight() - GetSystemMetrics(SM_CYBORDER);
    MoveWindow(m_list, -border, y, client.right + 2 * border,
               client.bottom + GetSystemMetrics(SM_CYBORDER) - y, TRUE);
}

void CBookmarksDlg::Open(int row)
{
    if (row < 0 || row >= m_bookmarks.GetSize())
        return;
    CString path;
    HKEY root = SplitKeyPath(m_bookmarks[row], path);
    if (!root)
        return;
    m_resultRoot = root;
    m_resultPath = path;
    EndDialog(m_hwnd, kDone);
}

void CBookmarksDlg::Add()
{
    CString text;
    CEditBookmarkDlg editor;
    if (!editor.EditBookmark(m_hwnd, text))
        return;
    if (FindBookmark(m_bookmarks, text) >= 0) {
        Error(L"This bookmark already exists.");
        return;
    }
    int row = m_bookmarks.Add(text);
    if (row < 0)
        return;
    InsertRow(row, text);
    SaveBookmarks(m_bookmarks);
}

void CBookmarksDlg::Edit(int row)
{
    if (row < 0 || row >= m_bookmarks.GetSize())
        return;
    CString text = m_bookmarks[row];
    CEditBookmarkDlg editor;
    if (!editor.EditBookmark(m_hwnd, text) || text == m_bookmarks[row])
        return;
    if (FindBookmark(m_bookmarks, text, row) >= 0) {
        Error(L"This bookmark already exists.");
        return;
    }
    m_bookmarks[row] = text;
    ListView_SetItemText(m_list, row, 0, const_cast<wchar_t*>(text.c_str()));
    SaveBookmarks(m_bookmarks);
}

void CBookmarksDlg::Delete(int row)
{
    if (row < 0 || row >= m_bookmarks.GetSize())
        return;
    ListView_DeleteItem(m_list, row);
    m_bookmarks.RemoveAt(row);
    const int count = m_bookmarks.GetSize();
    if (count > 0)
        SelectRow(row < count ? row : count - 1);
    SaveBookmarks(m_bookmarks);
}
