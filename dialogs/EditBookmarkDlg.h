// CEditBookmarkDlg: types one bookmark location.
//   CEditBookmarkDlg dialog; dialog.EditBookmark(parent, text)
// True only when the user confirmed a valid location, which is then in text. "Invalid
// location." keeps the dialog open; the key itself need not exist.
#pragma once

#include "dialogs/EditorDialog.h"

class CEditBookmarkDlg : public CEditorDialog
{
public:
    CEditBookmarkDlg();

    bool EditBookmark(HWND parent, CString& text);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL OnInitDialog();
    void OnDone();
    void Layout();

    CString m_text;
    bool m_templateRead = false;
    RECT m_labelRect = {};
    RECT m_fieldRect = {};
};
