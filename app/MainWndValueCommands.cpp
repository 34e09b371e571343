// The main window's value commands: delete, rename through the list's label edit, and new and
// edit through the value editor; the list is refilled from the registry after each of them.
#include "app/KeyCommandHelpers.h"
#include "app/MainWnd.h"

#include "dialogs/EditValueDlg.h"
#include "shd/MessageBox.h"

void CMainWnd::OnDeleteValue()
{
    HKEY root = nullptr;
    CString path, name;
    int index = -1;
    if (!GetCurrentKey(root, path) || !GetSelectedValue(index, name))
        return;
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    if (!AskQuestion(m_hwnd, L"Are you sure you want to delete this value?"))
        return;
    if (ClipboardNamesValue(root, path, name))
        ClearClipboard();
    CShdRegKey key(true);
    if (!key.Open(root, path))
        ReportError(L"Unable to open registry key");
    else if (!key.DeleteValue(name))
        ReportError(L"Unable to delete value");
    key.Close();
    FillValueList(nullptr, false, name);
}

void CMainWnd::OnRenameValue()
{
    HKEY root = nullptr;
    CString path, name;
    int index = -1;
    if (!GetCurrentKey(root, path) || !GetSelectedValue(index, name))
        return;
    SetFocus(m_list);
    ListView_EditLabel(m_list, index);
}

bool CMainWnd::BeginValueRename(int index)
{
    m_renamePending = false;
    if (!GetCurrentKey(m_renameRoot, m_renameKeyPath) ||
        !GetValueName(index, m_longestValueName + 16, m_renameOldName))
        return false;
    m_renamePending = true;
    return true;
}

// The list never takes the edited text itself: the refill after the rename shows the outcome.
void CMainWnd::EndValueRename(const wchar_t* newName)
{
    if (!m_renamePending)
        return;
    m_renamePending = false;
    if (!newName)
        return;
    m_renameNewName = newName;
    if (m_renameNewName.EqualsNoCase(m_renameOldName))
        return;
    // The rename's messages end with the focus in the list, whose label was edited.
    CCommandFocus focus(m_list, m_list);
    CJournalCommand command(m_journalCommand ? nullptr : m_journal, L"Rename Value");
    if (ClipboardNamesValue(m_renameRoot, m_renameKeyPath, m_renameOldName))
        ClearClipboard();
    CShdRegKey key(true);
    if (!key.Open(m_renameRoot, m_renameKeyPath)) {
        ReportError(L"Unable to open registry key.");
        return;
    }
    if (key.ValueExists(m_renameNewName)) {
        key.Close(false);
        ReportError(L"Value with this name already exists.");
        return;
    }
    DWORD type = 0;
    CShdBinaryBuffer data;
    if (!key.QueryValue(m_renameOldName, type, data)) {
        key.Close(false);
        ReportError(L"Unable to read registry value.");
        return;
    }
    if (!key.SetValue(m_renameNewName, type, data)) {
        key.DeleteValue(m_renameNewName);
        ReportError(L"Unable to write registry value.");
        return;
    }
    if (!key.DeleteValue(m_renameOldName))
        ReportError(L"Value renaming not finished.");
    key.Close();
    FillValueList(nullptr, false, m_renameNewName);
}

void CMainWnd::OnNewValue(DWORD type, bool custom)
{
    HKEY root = nullptr;
    CString path;
    if (!GetCurrentKey(root, path))
        return;
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    CEditValueDlg dialog;
    CString name;
    if (dialog.NewValue(m_hwnd, root, path, type, custom, name))
        FillValueList(nullptr, false, name);
}

void CMainWnd::OnEditValue(bool asBinary)
{
    HKEY root = nullptr;
    CString path, name;
    int index = -1;
    if (!GetCurrentKey(root, path) || !GetSelectedValue(index, name))
        return;
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    CEditValueDlg dialog;
    if (dialog.EditValue(m_hwnd, root, path, name, asBinary))
        FillValueList(nullptr, true, nullptr);
}

void CMainWnd::OnRefreshValues()
{
    HKEY root = nullptr;
    CString path;
    if (!GetCurrentKey(root, path))
        return;
    InvalidateRect(m_hwnd, nullptr, TRUE);
    UpdateWindow(m_hwnd);
    FillValueList(nullptr, true, nullptr);
}
