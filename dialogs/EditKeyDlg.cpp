// The key editor: opening, the checks of Done in their order, and its two layouts.
#include "dialogs/EditKeyDlg.h"

#include "dialogs/EditorLayout.h"
#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"

CEditKeyDlg::CEditKeyDlg() : CEditorDialog(L"Edit Key", true) {}

bool CEditKeyDlg::NewKey(HWND parent, HKEY root, const wchar_t* parentPath, CString& name, CString& keyClass)
{
    m_root = root;
    m_parentPath = parentPath;
    m_name = name;
    m_class = keyClass;
    if (Run(parent, IDD_EDIT_KEY) != kDone)
        return false;
    name = m_name;
    keyClass = m_class;
    return true;
}

INT_PTR CEditKeyDlg::DialogProc(UINT message, WPARAM wParam, LPARAM)
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

BOOL CEditKeyDlg::OnInitDialog()
{
    if (!CreateCommandBar(IDR_DONE_CANCEL_MENU, IDR_DONE_CANCEL_SOFTKEYS)) {
        EndDialog(m_hwnd, kNotPrepared);
        return FALSE;
    }
    OverrideBackKey();
    SetItemText(IDC_KEY_PARENT, FullKeyPath(m_root, m_parentPath));
    SetItemText(IDC_KEY_NAME, m_name);
    SetItemText(IDC_KEY_CLASS, m_class);
    SendMessageW(Item(IDC_KEY_NAME), EM_SETREADONLY, FALSE, 0);
    SendMessageW(Item(IDC_KEY_CLASS), EM_SETREADONLY, FALSE, 0);
    Layout();
    SetFocus(Item(IDC_KEY_NAME));
    return FALSE;
}

void CEditKeyDlg::OnDone()
{
    CString name = ItemText(IDC_KEY_NAME);
    CString keyClass = ItemText(IDC_KEY_CLASS);
    if (name.Find(L'\\') >= 0) {
        Error(L"Invalid key name");
        return;
    }
    if (!CreateKey(name, keyClass))
        return;
    m_name = name;
    m_class = keyClass;
    EndDialog(m_hwnd, kDone);
}

bool CEditKeyDlg::CreateKey(const CString& name, const CString& keyClass)
{
    CShdRegKey parent(true);
    if (!parent.Open(m_root, m_parentPath)) {
        Error(L"Unable to open parent key");
        return false;
    }
    CShdRegKey key(true);
    // An empty name opens the parent itself, so it counts as taken too.
    if (key.Open(parent.GetHandle(), name)) {
        key.Close(false);
        parent.Close(false);
        RefuseName(L"Key with this name already exists");
        return false;
    }
    if (!key.Create(parent.GetHandle(), name, keyClass)) {
        parent.Close(false);
        RefuseName(L"Unable to create key");
        return false;
    }
    return true; // both keys are flushed as they close
}

void CEditKeyDlg::RefuseName(const wchar_t* message)
{
    Error(message);
    SetFocus(Item(IDC_KEY_NAME));
}

void CEditKeyDlg::Layout()
{
    CLayoutPass pass(m_hwnd);
    const SEditorMetrics metrics;
    const int m = metrics.margin, g = metrics.gap;
    const int cw = pass.Width() - 2 * m;
    int y = metrics.top;
    MoveItem(m_hwnd, IDC_KEY_PARENT_LABEL, m, y, cw, metrics.labelHeight);
    y += metrics.labelHeight + g;
    MoveItem(m_hwnd, IDC_KEY_PARENT, m, y, cw, metrics.fieldHeight);
    y += metrics.fieldHeight + g;
    if (metrics.IsShort(pass.Height())) {
        const int column = (cw - m) / 2, right = (pass.Width() + m) / 2;
        const int fieldY = y + metrics.labelHeight + g;
        MoveItem(m_hwnd, IDC_KEY_NAME_LABEL, m, y, column, metrics.labelHeight);
        MoveItem(m_hwnd, IDC_KEY_CLASS_LABEL, right, y, column, metrics.labelHeight);
        MoveItem(m_hwnd, IDC_KEY_NAME, m, fieldY, column, metrics.fieldHeight);
        MoveItem(m_hwnd, IDC_KEY_CLASS, right, fieldY, column, metrics.fieldHeight);
        return;
    }
    MoveItem(m_hwnd, IDC_KEY_NAME_LABEL, m, y, cw, metrics.labelHeight);
    y += metrics.labelHeight + g;
    MoveItem(m_hwnd, IDC_KEY_NAME, m, y, cw, metrics.fieldHeight);
    y += metrics.fieldHeight + g;
    MoveItem(m_hwnd, IDC_KEY_CLASS_LABEL, m, y, cw, metrics.labelHeight);
    y += metrics.labelHeight + g;
    MoveItem(m_hwnd, IDC_KEY_CLASS, m, y, cw, metrics.fieldHeight);
}
