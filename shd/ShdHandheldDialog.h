// CShdHandheldDialog: a CShdDialog with what the program's full-screen dialogs share: a menu bar
// (a menu, or a soft-key bar resource on a Smartphone before 5.00) that gets the Back key, the
// title bar's Done button, and the shell's activation and setting-change handling.
//   In WM_INITDIALOG: if (!SetUpMenuBar(...)) { EndDialog(m_hwnd, 3); ... }
//   In DialogProc:    if (HandleShellMessage(message, wParam, lParam)) return TRUE;
#pragma once

#include "platform/AygShell.h"
#include "shd/ShdDialog.h"

class CShdHandheldDialog : public CShdDialog
{
public:
    // What a dialog ends with when its menu bar cannot be created.
    static const INT_PTR kNoMenuBar = 3;

    HWND GetMenuBar() const { return m_menuBar; }

    // The bar a dialog with a menu and a soft-key twin uses on this device.
    static bool UsesSoftKeyBar();

protected:
    // Creates the bar, sends Back to the dialog as WM_HOTKEY and shows Done; false without bar.
    bool SetUpMenuBar(UINT id, bool fromResource);
    // The soft-key resource on a Smartphone before 5.00, else the menu.
    bool SetUpMenuOrSoftKeys(UINT menuId, UINT softKeyId);
    // The parts of SetUpMenuBar, for dialogs that take only some of them.
    bool CreateMenuBarFrom(UINT id, bool fromResource);
    bool CreateMenuOrSoftKeys(UINT menuId, UINT softKeyId);
    void OverrideBackKey();
    // WM_ACTIVATE, WM_SETTINGCHANGE and the Back key (WM_HOTKEY): true when it was one of them.
    bool HandleShellMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_menuBar = nullptr;
    SHACTIVATEINFO m_activateInfo = {sizeof(SHACTIVATEINFO), nullptr, 0, 0, 0, 0};
};
