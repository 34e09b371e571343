// Key properties: reading the class, filling the two fields and their layout.
#include "dialogs/KeyPropertiesDlg.h"

#include "dialogs/EditorLayout.h"
#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/ScreenScale.h"

#include <algorithm>

CKeyPropertiesDlg::CKeyPropertiesDlg() : CEditorDialog(L"Key Properties", true) {}

bool CKeyPropertiesDlg::ShowKeyProperties(HWND parent, HKEY root, const wchar_t* keyPath)
{
    m_root = root;
    m_keyPath = keyPath;
    return Run(parent, IDD_KEY_PROPERTIES) == kDone;
}

INT_PTR CKeyPropertiesDlg::DialogProc(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_SIZE:
        Layout();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == ID_DIALOG_CLOSE)
            EndDialog(m_hwnd, kDone);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(m_hwnd, kCancelled);
        return TRUE;
    }
    return FALSE;
}

BOOL CKeyPropertiesDlg::OnInitDialog()
{
    // The template's tops, before any layout moves the fields.
    m_nameTop = GetItemRect(m_hwnd, IDC_KEY_NAME).top;
    m_classTop = GetItemRect(m_hwnd, IDC_KEY_CLASS).top;
    m_templateRead = true;
    if (!CreateCommandBar(IDR_CLOSE_MENU, IDR_CLOSE_SOFTKEYS)) {
        EndDialog(m_hwnd, kNotPrepared);
        return FALSE;
    }
    CShdRegKey key(false);
    if (!key.Open(m_root, m_keyPath)) {
        Error(L"Unable to open registry key.");
        EndDialog(m_hwnd, kNotPrepared);
        return FALSE;
    }
    CString keyClass = key.GetClass();
    key.Close();
    SetItemText(IDC_KEY_NAME, FullKeyPath(m_root, m_keyPath));
    SetItemText(IDC_KEY_CLASS, keyClass);
    Layout();
    SetFocus(Item(IDC_KEY_NAME));
    SendMessageW(Item(IDC_KEY_NAME), EM_SETSEL, WPARAM(-1), LPARAM(-1));
    return FALSE;
}

void CKeyPropertiesDlg::Layout()
{
    if (!m_templateRead)
        return; // sized by the full-screen setup, before the template's places were read
    CLayoutPass pass(m_hwnd);
    const int left = ScaleX(10), width = pass.Width() - 2 * left;
    RECT name = GetItemRect(m_hwnd, IDC_KEY_NAME);
    MoveItem(m_hwnd, IDC_KEY_NAME, left, m_nameTop, width, name.bottom - name.top);
    int classHeight = std::max(pass.Height() - ScaleY(10) - m_classTop, ScaleY(24));
    MoveItem(m_hwnd, IDC_KEY_CLASS, left, m_classTop, width, classHeight);
}
