// The export options dialog: choices in and out, and its layout.
#include "dialogs/ExportOptionsDlg.h"

#include "res/resource.h"
#include "shd/DialogLayout.h"
#include "shd/ScreenScale.h"

CExportOptionsDlg::CExportOptionsDlg()
{
    SetFullScreen(true);
    GetPpcHelper().SetHeader(L"Export Options");
    GetPpcHelper().NoVerticalScroll();
}

bool CExportOptionsDlg::Run(HWND parent, const wchar_t* fileName, bool& branch, bool& unicode)
{
    m_fileName = fileName;
    m_branch = branch;
    m_unicode = unicode;
    if (DoModal(GetModuleHandleW(nullptr), IDD_EXPORT_OPTIONS, parent, 0) != IDOK)
        return false;
    branch = m_branch;
    unicode = m_unicode;
    return true;
}

INT_PTR CExportOptionsDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnDone();
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_SIZE:
        OnSize();
        return TRUE;
    }
    return HandleShellMessage(message, wParam, lParam) ? TRUE : FALSE;
}

INT_PTR CExportOptionsDlg::OnInitDialog()
{
    if (!SetUpMenuOrSoftKeys(IDR_DONE_CANCEL_MENU, IDR_DONE_CANCEL_SOFTKEYS)) {
        EndDialog(m_hwnd, kNoMenuBar);
        return FALSE;
    }
    m_fileNameText = GetDlgItem(m_hwnd, IDC_EXPORT_FILE_NAME);
    m_entireRadio = GetDlgItem(m_hwnd, IDC_EXPORT_ENTIRE);
    m_branchRadio = GetDlgItem(m_hwnd, IDC_EXPORT_BRANCH);
    m_unicodeCheck = GetDlgItem(m_hwnd, IDC_EXPORT_UNICODE);
    m_fileNameRect = GetChildRect(m_fileNameText);
    SetWindowTextW(m_fileNameText, m_fileName);
    SendMessageW(m_entireRadio, BM_SETCHECK, m_branch ? BST_UNCHECKED : BST_CHECKED, 0);
    SendMessageW(m_branchRadio, BM_SETCHECK, m_branch ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(m_unicodeCheck, BM_SETCHECK, m_unicode ? BST_CHECKED : BST_UNCHECKED, 0);
    OnSize();
    return TRUE;
}

void CExportOptionsDlg::OnDone()
{
    m_branch = SendMessageW(m_branchRadio, BM_GETCHECK, 0, 0) == BST_CHECKED;
    m_unicode = SendMessageW(m_unicodeCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
    EndDialog(m_hwnd, IDOK);
}

// The file name keeps its top and shrinks from the bottom on a short screen, never below 24.
void CExportOptionsDlg::OnSize()
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    const int left = ScaleX(10), right = client.right - ScaleX(10);
    SpanControl(m_entireRadio, left, right);
    SpanControl(m_branchRadio, left, right);
    SpanControl(m_unicodeCheck, left, right);
    // From the template's place each time, so a taller screen gives the height back.
    RECT text = m_fileNameRect;
    const int limit = client.bottom - ScaleY(10);
    if (text.bottom > limit)
        text.bottom = limit;
    if (text.bottom - text.top < ScaleY(24))
        text.bottom = text.top + ScaleY(24);
    PlaceControl(m_fileNameText, left, text.top, right, text.bottom);
}
