// Undo and Redo of the commands' journal entries, the menu items that name them, the question
// before a change too large to be undone, and the keys that act on the focused pane.
#include "app/MainWnd.h"

#include "journal/JournalCommand.h"
#include "registry/KeyTree.h"
#include "res/resource.h"
#include "shd/MessageBox.h"
#include "shd/WaitCursor.h"

const wchar_t* CMainWnd::JournaledName(UINT id, bool listFocused)
{
    switch (id) {
    case ID_KEY_NEW:
        return L"New Key";
    case ID_KEY_DELETE:
        return L"Delete Key";
    case ID_VALUE_DELETE:
        return L"Delete Value";
    case ID_DELETE_SELECTED:
        return listFocused ? L"Delete Value" : L"Delete Key";
    case ID_PASTE:
    case ID_KEY_PASTE:
    case ID_VALUE_PASTE:
        return L"Paste";
    case ID_VALUE_EDIT:
    case ID_VALUE_EDIT_BINARY:
        return L"Edit Value";
    case ID_VALUE_NEW_STRING:
    case ID_VALUE_NEW_EXPAND:
    case ID_VALUE_NEW_DWORD:
    case ID_VALUE_NEW_BINARY:
    case ID_VALUE_NEW_MULTI:
    case ID_VALUE_NEW_CUSTOM:
        return L"New Value";
    case ID_REGISTRY_IMPORT:
        return L"Import";
    case ID_OPTIONS: // the registry changes it makes are the .reg association's
        return L"Association";
    }
    return nullptr;
}

void CMainWnd::UpdateUndoMenu(HMENU menu)
{
    const bool undo = m_journal && m_journal->CanUndo(), redo = m_journal && m_journal->CanRedo();
    CString undoText(L"Undo"), redoText(L"Redo");
    if (undo)
        undoText += (L" " + m_journal->UndoName()).c_str();
    if (redo)
        redoText += (L" " + m_journal->RedoName()).c_str();
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = const_cast<wchar_t*>(undoText.c_str());
    SetMenuItemInfoW(menu, ID_UNDO, FALSE, &info);
    info.dwTypeData = const_cast<wchar_t*>(redoText.c_str());
    SetMenuItemInfoW(menu, ID_REDO, FALSE, &info);
    EnableMenuItem(menu, ID_UNDO, MF_BYCOMMAND | (undo ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, ID_REDO, MF_BYCOMMAND | (redo ? MF_ENABLED : MF_GRAYED));
}

void CMainWnd::OnUndo()
{
    if (!m_journal || !m_journal->CanUndo())
        return;
    if (!m_journal->UndoUnchanged() &&
        !AskQuestion(m_hwnd, L"The registry has changed since this command. Undo it anyway?"))
        return;
    bool done;
    {
        CWaitCursor wait;
        done = m_journal->Undo();
    }
    OnRefreshRegistry();
    if (!done)
        ReportError(L"The command could not be undone completely.");
}

void CMainWnd::OnRedo()
{
    if (!m_journal || !m_journal->CanRedo())
        return;
    if (!m_journal->RedoUnchanged() &&
        !AskQuestion(m_hwnd, L"The registry has changed since this command. Redo it anyway?"))
        return;
    bool done;
    {
        CWaitCursor wait;
        done = m_journal->Redo();
    }
    OnRefreshRegistry();
    if (!done)
        ReportError(L"The command could not be redone completely.");
}

bool CMainWnd::AllowUndoOf(HKEY root, const CString& path)
{
    if (!m_journalCommand || m_journalCommand->CaptureBranch(root, path) != CUndoJournal::TooLarge)
        return true;
    if (!AskQuestion(m_hwnd, L"This change is too large to be undone. Continue anyway?"))
        return false;
    m_journalCommand->Drop();
    return true;
}

bool CMainWnd::DeleteCapturedBranch(HKEY root, const CString& path)
{
    return m_journalCommand ? m_journalCommand->DeleteBranch(root, path) : DeleteKeyTree(root, path);
}

// F2, Ctrl+X and Ctrl+C act on the pane that has the focus (the message loop keeps them away
// from a label or text being edited).
void CMainWnd::OnFocusedPaneCommand(UINT id)
{
    const HWND focus = GetFocus();
    const bool list = focus == m_list;
    if (!list && focus != m_tree.GetHwnd())
        return;
    switch (id) {
    case ID_RENAME_SELECTED:
        return list ? OnRenameValue() : OnRenameKey();
    case ID_CUT_SELECTED:
        return list ? OnCutValue() : OnCutKey();
    case ID_COPY_SELECTED:
        return list ? OnCopyValue() : OnCopyKey();
    }
}
