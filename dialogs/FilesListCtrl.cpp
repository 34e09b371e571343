// Keypad navigation of the file list on a Smartphone.
#include "dialogs/SelectFileDlg.h"

CSelectFileDlg::CFilesListCtrl::~CFilesListCtrl()
{
    Detach();
}

LRESULT CSelectFileDlg::CFilesListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return CShdWnd::WindowProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (OnKeyDown(UINT(wParam)))
            return 0;
        break;
    }
    return CShdWnd::WindowProc(message, wParam, lParam);
}

bool CSelectFileDlg::CFilesListCtrl::OnKeyDown(UINT key)
{
    const int count = int(SendMessageW(m_hwnd, LVM_GETITEMCOUNT, 0, 0));
    const int focused = int(SendMessageW(m_hwnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    switch (key) {
    case VK_TAB:
        MoveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    case VK_LEFT:
        MoveFocus(true);
        return true;
    case VK_RIGHT:
        MoveFocus(false);
        return true;
    case VK_UP:
        if (focused != 0)
            return false;
        MoveFocus(true);
        return true;
    case VK_DOWN:
        if (focused != count - 1)
            return false;
        MoveFocus(false);
        return true;
    }
    return false;
}

// The dialog manager selects the whole text of an edit box it moves the focus to.
void CSelectFileDlg::CFilesListCtrl::MoveFocus(bool previous)
{
    if (m_owner)
        SendMessageW(m_owner, WM_NEXTDLGCTL, previous ? 1 : 0, FALSE);
}
