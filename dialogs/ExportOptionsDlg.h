// CExportOptionsDlg: asks, for an export to a chosen file, what to export (the entire registry or
// the selected branch) and whether in the Unicode form.
//   bool branch = true, unicode = true;
//   if (CExportOptionsDlg().Run(parent, file, branch, unicode)) ... // choices stored back
#pragma once

#include "shd/ShdHandheldDialog.h"
#include "shd/String.h"

class CExportOptionsDlg : public CShdHandheldDialog
{
public:
    CExportOptionsDlg();
    ~CExportOptionsDlg() override = default;

    // True on Done, with the choices stored back; otherwise they stay as they were.
    bool Run(HWND parent, const wchar_t* fileName, bool& branch, bool& unicode);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    INT_PTR OnInitDialog();
    void OnDone();
    void OnSize();

    HWND m_fileNameText = nullptr;
    HWND m_entireRadio = nullptr;
    HWND m_branchRadio = nullptr;
    HWND m_unicodeCheck = nullptr;
    RECT m_fileNameRect = {};
    CString m_fileName;
    bool m_branch = true;
    bool m_unicode = true;
};
