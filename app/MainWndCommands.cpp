// The main window's commands: dispatch of menu, soft-key, accelerator and context-menu
// commands, and the search and file commands (the key and value commands have files of their
// own). Commands whose dialogs and operations are still to come are empty here, so that they
// can be filled in one by one.
#include "app/MainWnd.h"

#include "app/KeyCommandHelpers.h"

#include "res/resource.h"

// A command that can change the registry records its changes as one journal entry.
void CMainWnd::OnCommand(UINT id)
{
    const wchar_t* name = JournaledName(id, GetFocus() == m_list);
    if (!name || m_journalCommand) {
        DispatchCommand(id);
        return;
    }
    CJournalCommand command(m_journal, name);
    CPointerScope<CJournalCommand> recording(m_journalCommand, &command);
    DispatchCommand(id);
}

void CMainWnd::DispatchCommand(UINT id)
{
    if (OnKeyCommand(id) || OnValueCommand(id) || OnSearchCommand(id))
        return;
    switch (id) {
    case ID_EXIT:
    case ID_CLOSE:
        DestroyWindow(m_hwnd);
        break;
    case ID_TAB:
    case ID_FOCUS_FORWARD:
        FocusForward();
        break;
    case ID_FOCUS_BACKWARD:
        FocusBackward();
        break;
    case ID_PASTE:
        OnPaste();
        break;
    case ID_DELETE_SELECTED:
        OnDeleteSelected();
        break;
    case ID_REFRESH_ALL:
    case ID_REGISTRY_REFRESH:
        OnRefreshRegistry();
        break;
    case ID_REGISTRY_EXPORT:
        OnExport();
        break;
    case ID_REGISTRY_IMPORT:
        OnImport();
        break;
    case ID_REGISTRY_BOOKMARKS:
        OnBookmarks();
        break;
    case ID_OPTIONS:
        OnOptions();
        break;
    case ID_ABOUT:
        OnAbout();
        break;
    case ID_UNDO:
        OnUndo();
        break;
    case ID_REDO:
        OnRedo();
        break;
    case ID_RENAME_SELECTED:
    case ID_CUT_SELECTED:
    case ID_COPY_SELECTED:
        OnFocusedPaneCommand(id);
        break;
    }
}

bool CMainWnd::OnKeyCommand(UINT id)
{
    switch (id) {
    case ID_KEY_NEW:
        OnNewKey();
        return true;
    case ID_KEY_CUT:
        OnCutKey();
        return true;
    case ID_KEY_COPY:
        OnCopyKey();
        return true;
    case ID_KEY_PASTE:
        OnPaste();
        return true;
    case ID_KEY_RENAME:
        OnRenameKey();
        return true;
    case ID_KEY_DELETE:
        OnDeleteKey();
        return true;
    case ID_KEY_COPY_NAME:
        OnCopyKeyName();
        return true;
    case ID_KEY_ADD_BOOKMARK:
        OnAddBookmark();
        return true;
    case ID_KEY_REFRESH:
        OnRefreshKey();
        return true;
    case ID_KEY_PROPERTIES:
        OnKeyProperties();
        return true;
    }
    return false;
}

bool CMainWnd::OnValueCommand(UINT id)
{
    switch (id) {
    case ID_VALUE_EDIT:
        OnEditValue(false);
        return true;
    case ID_VALUE_EDIT_BINARY:
        OnEditValue(true);
        return true;
    case ID_VALUE_NEW_STRING:
        OnNewValue(REG_SZ, false);
        return true;
    case ID_VALUE_NEW_EXPAND:
        OnNewValue(REG_EXPAND_SZ, false);
        return true;
    case ID_VALUE_NEW_DWORD:
        OnNewValue(REG_DWORD, false);
        return true;
    case ID_VALUE_NEW_BINARY:
        OnNewValue(REG_BINARY, false);
        return true;
    case ID_VALUE_NEW_MULTI:
        OnNewValue(REG_MULTI_SZ, false);
        return true;
    case ID_VALUE_NEW_CUSTOM:
        OnNewValue(REG_NONE, true);
        return true;
    case ID_VALUE_CUT:
        OnCutValue();
        return true;
    case ID_VALUE_COPY:
        OnCopyValue();
        return true;
    case ID_VALUE_PASTE:
        OnPasteValue();
        return true;
    case ID_VALUE_RENAME:
        OnRenameValue();
        return true;
    case ID_VALUE_DELETE:
        OnDeleteValue();
        return true;
    case ID_VALUE_REFRESH:
        OnRefreshValues();
        return true;
    }
    return false;
}

bool CMainWnd::OnSearchCommand(UINT id)
{
    switch (id) {
    case ID_SEARCH_START:
        OnSearch();
        return true;
    case ID_SEARCH_FIND_NEXT:
        OnFindNext();
        return true;
    case ID_SEARCH_PAUSE:
        OnPauseSearch();
        return true;
    case ID_SEARCH_STOP:
        OnStopSearch();
        return true;
    case ID_SEARCH_SHOW_RESULTS:
    case ID_SWITCH_VIEW:
        OnSwitchView();
        return true;
    case ID_SEARCH_SHOW_TOOLBAR:
        OnToggleToolbar();
        return true;
    }
    return false;
}
