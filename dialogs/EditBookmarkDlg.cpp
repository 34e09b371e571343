// The Edit Bookmark dialog.
#include "dialogs/EditBookmarkDlg.h"

#include "dialogs/Bookmarks.h"
#include "dialogs/EditorLayout.h"
#include "res/resource.h"
#include "shd/ScreenScale.h"

CEditBookmarkDlg::CEditBookmarkDlg() : CEditorDialog(L"Edit Bookmark", true) {}

bool CEditBookmarkDlg::EditBookmark(HWND parent, CString& text)
{
    m_text = text;
    if (Run(parent, IDD_EDIT_BOOKMARK) != kDone)
        return false;
    text = m_text;
    return true;
}

INT_PTR CEditBookmarkDlg::DialogProc(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_SIZE:
        Layout();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnDone();
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(m_hwnd, kCancelled);
        return TRUE;
    }
    return FALSE;
}

BOOL CEditBookmarkDlg::OnInitDialog()
{
    m_labelRect = GetItemRect(m_hwnd, IDC_LOCATION_LABEL);
    m_fieldRect = GetItemRect(m_hwnd, IDC_BOOKMARK_LOCATION);
    m_templateRead = true;
    if (!CreateCommandBar(IDR_DONE_CANCEL_MENU, IDR_DONE_CANCEL_SOFTKEYS)) {
        EndDialog(m_hwnd, kNotPrepared);
        return FALSE;
    }
    SetItemText(IDC_BOOKMARK_LOCATION, m_text);
    Layout();
    SetFocus(Item(IDC_BOOKMARK_LOCATION));
    return FALSE;
}

void CEditBookmarkDlg::OnDone()
{
    CString text = ItemText(IDC_BOOKMARK_LOCATION);
    if (!IsValidBookmarkLocation(text)) {
        Error(L"Invalid location.");
        return;
    }
    m_text = text;
    EndDialog(m_hwnd, kDone);
}

void CEditBookmarkDlg::Layout()
{
    if (!m_templateRead)
        return;
    CLayoutPass pass(m_hwnd);
    const int left = ScaleX(5), width = pass.Width() - 2 * left;
    MoveItem(m_hwnd, IDC_LOCATION_LABEL, left, m_labelRect.top, width, m_labelRect.bottom - m_labelRect.top);
    MoveItem(m_hwnd, IDC_BOOKMARK_LOCATION, left, m_fieldRect.top, width,
             m_fieldRect.bottom - m_fieldRect.top);
}
