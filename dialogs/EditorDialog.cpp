// The editing dialogs' common frame: command bar, Back key, activation, title.
#include "dialogs/EditorDialog.h"

#include "shd/DeviceInfo.h"
#include "shd/MessageBox.h"
#include "shd/ShdWnd.h"

CEditorDialog::CEditorDialog(const wchar_t* title, bool inputPanel) : m_title(title)
{
    m_activateInfo.cbSize = sizeof(m_activateInfo);
    SetFullScreen(true);
    GetPpcHelper().SetHeader(title);
    GetPpcHelper().NoVerticalScroll();
    if (inputPanel)
        GetPpcHelper().EnableInputPanel();
}

INT_PTR CEditorDialog::Run(HWND parent, UINT templateId)
{
    return DoModal(Instance(), templateId, parent, 0);
}

void CEditorDialog::SetTitle(const wchar_t* title)
{
    m_title = title;
    GetPpcHelper().SetHeaderText(title);
    if (m_hwnd)
        SetWindowTextW(m_hwnd, title);
}

INT_PTR CEditorDialog::PreProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(m_hwnd, m_title);
        return 0;
    case WM_ACTIVATE:
        SHHandleWMActivate(m_hwnd, wParam, lParam, &m_activateInfo, FALSE);
        return 0;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(m_hwnd, wParam, lParam, &m_activateInfo);
        return 0;
    case WM_HOTKEY:
        if (HIWORD(lParam) != VK_TBACK)
            return 0;
        SHSendBackToFocusWindow(message, wParam, lParam);
        return 1;
    case WM_CLOSE:
        EndDialog(m_hwnd, kCancelled);
        return 1;
    }
    return 0;
}

bool CEditorDialog::UsesSoftKeys()
{
    return IsSmartphone() && GetOsVersion() < 0x0500;
}

bool CEditorDialog::CreateCommandBar(UINT menuId, UINT softKeyId)
{
    return UsesSoftKeys() ? CreateCommandBarFrom(softKeyId, true) : CreateCommandBarFrom(menuId, false);
}

bool CEditorDialog::CreateCommandBarFrom(UINT id, bool fromResource)
{
    m_commandBar = CShdWnd::CreateMenuBar(m_hwnd, Instance(), id, fromResource);
    return m_commandBar != nullptr;
}

void CEditorDialog::OverrideBackKey()
{
    const WORD flags = SHMBOF_NODEFAULT | SHMBOF_NOTIFY;
    SendMessageW(m_commandBar, SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(flags, flags));
}

CString CEditorDialog::ItemText(int id) const
{
    return CShdWnd::QueryWindowText(Item(id), L"");
}

void CEditorDialog::Error(const wchar_t* text)
{
    ShowErrorMessage(m_hwnd, text);
}
