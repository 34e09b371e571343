// CBookmarksDlg: lists the bookmarks and offers Open, Add, Edit and Delete; every change is
// saved at once. Row i always shows bookmark i.
//   CBookmarksDlg dialog; dialog.ShowBookmarks(parent, root, keyPath, valueName, selectValue)
// True only when the user opened a bookmark: root and keyPath then name its key (valueName is
// empty and selectValue false); the caller selects that key.
#pragma once

#include "dialogs/Bookmarks.h"
#include "dialogs/EditorDialog.h"

class CBookmarksDlg : public CEditorDialog
{
public:
    CBookmarksDlg();

    bool ShowBookmarks(HWND parent, HKEY& root, CString& keyPath, CString& valueName, bool& selectValue);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL OnInitDialog();
    bool CreateBar();
    void InitList();
    void FillList();
    INT_PTR OnNotify(const NMHDR& header);
    void OnCommand(UINT id);
    void OnInitMenuPopup(HMENU menu);
    void ShowContextMenu(POINT screenPoint);
    void UpdateBarButtons();
    void Layout();

    void Open(int row);
    void Add();
    void Edit(int row);
    void Delete(int row);

    // The selected row, else the focused one, else -1.
    int GetActionRow() const;
    int GetSelectedRow() const;
    void InsertRow(int row, const wchar_t* text);
    void SelectRow(int row);

    CBookmarkList m_bookmarks;
    HWND m_list = nullptr;
    bool m_buttonBar = false;
    HKEY m_resultRoot = nullptr;
    CString m_resultPath;
};
