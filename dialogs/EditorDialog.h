// CEditorDialog: what the editing dialogs share: full screen under a header with their title,
// a command bar chosen by platform, the Back key handed to the focused field instead of
// closing the dialog, the shell's activation handling, and WM_CLOSE ending with 2.
// Results of their modal loops: 1 done, 2 cancelled or closed, 3 could not be prepared.
#pragma once

#include "shd/ShdHandheldDialog.h"
#include "shd/String.h"

#include <windows.h>

class CEditorDialog : public CShdHandheldDialog
{
public:
    static const INT_PTR kDone = 1;
    static const INT_PTR kCancelled = 2;
    static const INT_PTR kNotPrepared = 3;

    INT_PTR PreProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    CEditorDialog(const wchar_t* title, bool inputPanel);

    // Runs the template modally with the title as caption and header.
    INT_PTR Run(HWND parent, UINT templateId);
    void SetTitle(const wchar_t* title);

    // The soft-key form on a Smartphone before version 5.00, else the menu. Back on the bar,
    // once overridden (OverrideBackKey), arrives as WM_HOTKEY and goes to the focused control.
    bool CreateCommandBar(UINT menuId, UINT softKeyId) { return CreateMenuOrSoftKeys(menuId, softKeyId); }
    HWND GetCommandBar() const { return GetMenuBar(); }

    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    CString ItemText(int id) const;
    void SetItemText(int id, const wchar_t* text) { SetDlgItemTextW(m_hwnd, id, text); }
    void ShowItem(int id, bool show) { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
    void Error(const wchar_t* text);

    static HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

private:
    CString m_title;
};
