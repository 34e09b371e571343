// The main window's "Export...", "Import..." and "Options..." commands: file selection,
// questions, then the export or import job; the options dialog.
#include "app/MainWnd.h"

#include "settings/Settings.h"
#include "dialogs/ExportOptionsDlg.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/SelectFileDlg.h"
#include "shd/MessageBox.h"

namespace {

bool FileOrFolderExists(const wchar_t* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

void CMainWnd::OnExport()
{
    const bool listHadFocus = GetFocus() == m_list;
    ExportToChosenFile();
    RestoreFocus(listHadFocus);
}

void CMainWnd::ExportToChosenFile()
{
    HKEY root = nullptr;
    CString path;
    GetCurrentKey(root, path);
    CString file;
    if (!CSelectFileDlg().Run(m_hwnd, file))
        return;
    if (FileOrFolderExists(file) &&
        !AskQuestion(m_hwnd, L"File with that name already exists. Do you want to overwrite it?"))
        return;
    bool branch = true, unicode = true;
    if (!CExportOptionsDlg().Run(m_hwnd, file, branch, unicode))
        return;
    if (!branch) {
        root = nullptr;
        path.Empty();
    }
    RunExport(file, unicode, root, path);
}

void CMainWnd::OnImport()
{
    const bool listHadFocus = GetFocus() == m_list;
    ImportChosenFile();
    RestoreFocus(listHadFocus);
}

void CMainWnd::ImportChosenFile()
{
    CString file;
    if (!CSelectFileDlg().Run(m_hwnd, file))
        return;
    if (!FileOrFolderExists(file)) {
        ShowErrorMessage(m_hwnd, L"File does not exist.");
        return;
    }
    if (AskQuestion(m_hwnd, L"Do you want to import registry file?"))
        RunImport(file);
}

void CMainWnd::OnOptions()
{
    const bool listHadFocus = GetFocus() == m_list;
    COptionsDlg().ShowOptions(m_hwnd);
    if (!Settings().GetShowSearchToolbar())
        SetToolbarVisible(false);
    RestoreFocus(listHadFocus);
}
