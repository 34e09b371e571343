// CEditKeyDlg: creates a new subkey, with an optional class, under a parent key.
//   CEditKeyDlg dialog; dialog.NewKey(parent, root, parentPath, name, keyClass)
// True only when the key was created; name and keyClass then hold what the user entered.
#pragma once

#include "dialogs/EditorDialog.h"

class CEditKeyDlg : public CEditorDialog
{
public:
    CEditKeyDlg();

    bool NewKey(HWND parent, HKEY root, const wchar_t* parentPath, CString& name, CString& keyClass);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL OnInitDialog();
    void OnDone();
    // Creates the key below the parent; on failure shows why and says whether to refocus.
    bool CreateKey(const CString& name, const CString& keyClass);
    void RefuseName(const wchar_t* message);
    void Layout();

    HKEY m_root = nullptr;
    CString m_parentPath;
    CString m_name;
    CString m_class;
};
