// CAboutDlg: the modal, full-screen About box: product name, version line, program icon and a
// two-line text, with a small emblem painted in its bottom-right corner.
//   CAboutDlg about; about.Run(mainWindow) -> 1 closed with "Close"/OK, 2 cancelled,
//   3 no menu bar could be made, -1 no template
#pragma once

#include "shd/ShdDialog.h"
#include "shd/String.h"

#include <windows.h>

class CAboutDlg : public CShdDialog
{
public:
    CAboutDlg();

    INT_PTR Run(HWND parent);
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // "Version 1.1.2, Build 183"
    static CString FormatVersion();
    // The emblem in the bottom-right corner of client: a diamond with a Z inside.
    static void DrawEmblem(HDC dc, const RECT& client);

    HWND GetMenuBar() const { return m_menuBar; }

private:
    BOOL OnInitDialog();
    void OnSize(int width);
    void OnPaint();

    HWND m_menuBar = nullptr;
    HWND m_product = nullptr;
    HWND m_version = nullptr;
    HWND m_text = nullptr;
    HWND m_icon = nullptr;
};
