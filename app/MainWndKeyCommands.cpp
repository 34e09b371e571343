// The main window's key commands: delete, rename through the tree's label edit, new key,
// properties, bookmarks, the refresh commands, and the Delete key that acts on the focused pane.
#include "app/KeyCommandHelpers.h"
#include "app/MainWnd.h"

#include "dialogs/Bookmarks.h"
#include "dialogs/BookmarksDlg.h"
#include "dialogs/EditKeyDlg.h"
#include "dialogs/KeyPropertiesDlg.h"
#include "registry/KeyTree.h"
#include "shd/MessageBox.h"
#include "shd/WaitCursor.h"

void CMainWnd::OnDeleteKey()
{
    HTREEITEM item = nullptr;
    HKEY root = nullptr;
    CString path;
    if (!GetCurrentKey(item, root, path) || path.IsEmpty())
        return;
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    if (!AskQuestion(m_hwnd, L"Are you sure you want to delete this key?") || !AllowUndoOf(root, path))
        return;
    if (ClipboardInBranch(root, path))
        ClearClipboard();
    bool deleted = false;
    {
        CWaitCursor wait;
        deleted = DeleteCapturedBranch(root, path);
    }
    HWND tree = m_tree.GetHwnd();
    HTREEITEM parent = TreeView_GetParent(tree, item);
    if (deleted) {
        HTREEITEM next = TreeView_GetNextSibling(tree, item);
        if (!next)
            next = TreeView_GetPrevSibling(tree, item);
        if (!next)
            next = parent;
        TreeView_DeleteItem(tree, item);
        TreeView_SelectItem(tree, next);
        return;
    }
    ReportError(L"Unable to delete key");
    m_tree.Refill(parent);
    TreeView_SelectItem(tree, parent);
}

void CMainWnd::OnRenameKey()
{
    HKEY root = nullptr;
    CString path;
    HTREEITEM item = nullptr;
    if (!GetCurrentKey(item, root, path) || path.IsEmpty())
        return;
    SetFocus(m_tree.GetHwnd());
    TreeView_EditLabel(m_tree.GetHwnd(), item);
}

// The label edit has ended with a text; the item's label changes only once the key has been
// copied to its new name and the old one deleted.
void CMainWnd::EndKeyRename(const CRegTree::SRenameInfo& info)
{
    if (m_keyRenameRunning)
        return;
    CFlagScope running(m_keyRenameRunning);
    const CRegTree::SRenameInfo rename = info;
    // The rename's messages end with the focus in the tree, whose label was edited.
    CCommandFocus focus(m_tree.GetHwnd(), m_tree.GetHwnd());
    const CString& newName = rename.newName;
    if (newName.IsEmpty() || newName.Find(L'\\') >= 0) {
        ReportError(L"Invalid key name.");
        return;
    }
    if (newName.EqualsNoCase(rename.oldName))
        return;
    const CString oldPath = JoinKeyPath(rename.parentPath, rename.oldName);
    const CString newPath = JoinKeyPath(rename.parentPath, newName);
    if (KeyExistsAt(rename.root, newPath)) {
        ReportError(L"Key with this name already exists.");
        return;
    }
    CJournalCommand command(m_journalCommand ? nullptr : m_journal, L"Rename Key");
    CPointerScope<CJournalCommand> recording(m_journalCommand, m_journalCommand ? m_journalCommand : &command);
    if (!AllowUndoOf(rename.root, oldPath))
        return;
    if (ClipboardInBranch(rename.root, oldPath))
        ClearClipboard();
    const wchar_t* failure = nullptr;
    {
        CWaitCursor wait;
        if (!CopyKeyTree(rename.root, oldPath, rename.root, newPath))
            failure = DeleteKeyTree(rename.root, newPath) ? L"Unable to rename registry key."
                                                          : L"Key renaming not finished.";
        else if (!DeleteCapturedBranch(rename.root, oldPath))
            failure = L"Key renaming not finished.";
    }
    if (!failure) {
        m_tree.SetItemText(rename.item, newName);
        if (m_tree.GetSelection() == rename.item)
            m_keyName.SetKey(rename.root, newPath);
        return;
    }
    ReportError(failure);
    if (HTREEITEM parent = TreeView_GetParent(m_tree.GetHwnd(), rename.item))
        m_tree.Refill(parent);
}

void CMainWnd::OnNewKey()
{
    HTREEITEM item = nullptr;
    HKEY root = nullptr;
    CString path;
    if (!GetCurrentKey(item, root, path))
        return;
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    CEditKeyDlg dialog;
    CString name, keyClass;
    const bool created = dialog.NewKey(m_hwnd, root, path, name, keyClass);
    if (m_tree.IsFilled(item))
        m_tree.Refill(item);
    if (!created)
        return;
    HWND tree = m_tree.GetHwnd();
    TreeView_Expand(tree, item, TVE_EXPAND);
    if (HTREEITEM child = m_tree.FindChild(item, name))
        TreeView_SelectItem(tree, child);
    else
        m_tree.SelectPath(root, JoinKeyPath(path, name)); // an item the expansion did not load
}

void CMainWnd::OnKeyProperties()
{
    HKEY root = nullptr;
    CString path;
    if (!GetCurrentKey(root, path))
        return;
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    CKeyPropertiesDlg dialog;
    dialog.ShowKeyProperties(m_hwnd, root, path);
}

void CMainWnd::OnAddBookmark()
{
    HKEY root = nullptr;
    CString path;
    if (!GetCurrentKey(root, path))
        return;
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    if (AddBookmark(root, path) == EAddBookmarkResult::kAdded)
        ShowInfoMessage(m_hwnd, L"Bookmark was successfully added.");
    else
        ReportError(L"This bookmark already exists.");
}

void CMainWnd::OnBookmarks()
{
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    CBookmarksDlg dialog;
    HKEY root = nullptr;
    CString path, valueName;
    bool isValue = false;
    if (!dialog.ShowBookmarks(m_hwnd, root, path, valueName, isValue))
        return;
    // Showing the item puts the focus where it is shown.
    focus.Release();
    OnShowFoundItem(root, path, valueName, isValue);
}

void CMainWnd::OnRefreshKey()
{
    HTREEITEM item = m_tree.GetSelection();
    if (!item)
        return;
    InvalidateRect(m_hwnd, nullptr, TRUE);
    UpdateWindow(m_hwnd);
    TreeView_EnsureVisible(m_tree.GetHwnd(), item);
    FillValueList(nullptr, true, nullptr);
    if (m_tree.IsFilled(item))
        m_tree.Refill(item);
}

void CMainWnd::OnRefreshRegistry()
{
    InvalidateRect(m_hwnd, nullptr, TRUE);
    UpdateWindow(m_hwnd);
    FillValueList(nullptr, true, nullptr);
    m_tree.Refresh(nullptr);
}

// The Delete key acts on the pane that has the focus. In a label being edited it is the key
// that deletes a character: the accelerator took it from the editor, so it is handed back.
void CMainWnd::OnDeleteSelected()
{
    HWND focus = GetFocus();
    if (!focus)
        return;
    if (focus == m_tree.GetHwnd()) {
        OnDeleteKey();
    } else if (focus == m_list) {
        OnDeleteValue();
    } else if (focus == TreeView_GetEditControl(m_tree.GetHwnd()) ||
               focus == ListView_GetEditControl(m_list)) {
        SendMessageW(focus, WM_KEYDOWN, VK_DELETE, 1);
        SendMessageW(focus, WM_KEYUP, VK_DELETE, LPARAM(0xC0000001));
    }
}
