// CKeyPropertiesDlg: the full name and the class string of a key, read-only.
//   CKeyPropertiesDlg dialog; dialog.ShowKeyProperties(parent, root, keyPath)
// True when closed with OK or "Close"; a key that cannot be opened is reported and the dialog
// does not appear.
#pragma once

#include "dialogs/EditorDialog.h"

class CKeyPropertiesDlg : public CEditorDialog
{
public:
    CKeyPropertiesDlg();

    bool ShowKeyProperties(HWND parent, HKEY root, const wchar_t* keyPath);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL OnInitDialog();
    void Layout();

    HKEY m_root = nullptr;
    CString m_keyPath;
    int m_nameTop = 0;
    int m_classTop = 0;
    bool m_templateRead = false;
};
