// The options dialog's "Import" page and its association buttons.
#include "dialogs/OptionsImportPage.h"

#include "settings/Settings.h"
#include "dialogs/OptionsPageLayout.h"
#include "dialogs/RegAssociation.h"
#include "res/resource.h"
#include "shd/MessageBox.h"

namespace {

const wchar_t kNoProgramPath[] = L"Internal error. Required registry settings not found.";
const wchar_t kInstallFailed[] = L"Unable to install the .reg file association.";
const wchar_t kRemoveFailed[] = L"Unable to remove the .reg file association.";

} // namespace

COptionsImportPage::COptionsImportPage()
{
    Init(GetModuleHandleW(nullptr), IDD_OPTIONS_IMPORT, L"Import");
}

INT_PTR COptionsImportPage::DialogProc(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetPageCheck(m_hwnd, IDC_OPTIONS_NO_HEADER_CHECK, Settings().GetDoNotCheckImportHeader());
        RefreshButtons();
        return TRUE;
    case WM_ACTIVATE:
        RefreshButtons();
        return FALSE;
    case WM_SIZE:
        SpanPageControl(m_hwnd, IDC_OPTIONS_NO_HEADER_CHECK);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OPTIONS_INSTALL)
            OnInstall();
        else if (LOWORD(wParam) == IDC_OPTIONS_REMOVE)
            OnRemove();
        else
            return FALSE;
        return TRUE;
    }
    return FALSE;
}

int COptionsImportPage::OnApply()
{
    Settings().SetDoNotCheckImportHeader(GetPageCheck(m_hwnd, IDC_OPTIONS_NO_HEADER_CHECK));
    return 1;
}

int COptionsImportPage::OnSetActive()
{
    RefreshButtons();
    return 1;
}

void COptionsImportPage::RefreshButtons()
{
    const bool associated = IsAssociated();
    EnableWindow(GetDlgItem(m_hwnd, IDC_OPTIONS_INSTALL), associated ? FALSE : TRUE);
    EnableWindow(GetDlgItem(m_hwnd, IDC_OPTIONS_REMOVE), associated ? TRUE : FALSE);
}

// Another program's registration, or one that cannot be told from it, is replaced only when
// the user says so.
void COptionsImportPage::OnInstall()
{
    CString command = GetOpenCommand(), icon = GetIconText(IDI_HIVELET);
    if (command.IsEmpty() || icon.IsEmpty()) {
        ShowErrorMessage(m_hwnd, kNoProgramPath);
        return;
    }
    if (HasForeignAssociation() &&
        !AskQuestion(m_hwnd, L"This file type is already associated with another program. Do you want to "
                             L"proceed anyway?"))
        return;
    if (!InstallAssociation(kRegExtension, kRegClassName, kRegDescription, icon, command))
        ShowErrorMessage(m_hwnd, kInstallFailed);
    RefreshButtons();
}

void COptionsImportPage::OnRemove()
{
    CString command = GetOpenCommand();
    if (command.IsEmpty()) {
        ShowErrorMessage(m_hwnd, kNoProgramPath);
        return;
    }
    if (!IsAssociated()) {
        ShowErrorMessage(m_hwnd, L"Keyhaven is not associated with reg files.");
        return;
    }
    if (!RemoveAssociation(kRegExtension, command))
        ShowErrorMessage(m_hwnd, kRemoveFailed);
    RefreshButtons();
}
