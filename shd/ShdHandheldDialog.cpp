// Menu bar, Back key and shell activation of the full-screen dialogs.
#include "shd/ShdHandheldDialog.h"

#include "shd/DeviceInfo.h"
#include "shd/ShdWnd.h"

bool CShdHandheldDialog::UsesSoftKeyBar()
{
    return IsSmartphone() && GetOsVersion() < 0x0500;
}

bool CShdHandheldDialog::CreateMenuBarFrom(UINT id, bool fromResource)
{
    m_menuBar = CShdWnd::CreateMenuBar(m_hwnd, GetModuleHandleW(nullptr), id, fromResource);
    return m_menuBar != nullptr;
}

bool CShdHandheldDialog::CreateMenuOrSoftKeys(UINT menuId, UINT softKeyId)
{
    return UsesSoftKeyBar() ? CreateMenuBarFrom(softKeyId, true) : CreateMenuBarFrom(menuId, false);
}

void CShdHandheldDialog::OverrideBackKey()
{
    const WORD flags = SHMBOF_NODEFAULT | SHMBOF_NOTIFY;
    SendMessageW(m_menuBar, SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(flags, flags));
}

bool CShdHandheldDialog::SetUpMenuBar(UINT id, bool fromResource)
{
    if (!CreateMenuBarFrom(id, fromResource))
        return false;
    OverrideBackKey();
    SHDoneButton(m_hwnd, SHDB_SHOW);
    return true;
}

bool CShdHandheldDialog::SetUpMenuOrSoftKeys(UINT menuId, UINT softKeyId)
{
    return UsesSoftKeyBar() ? SetUpMenuBar(softKeyId, true) : SetUpMenuBar(menuId, false);
}

bool CShdHandheldDialog::HandleShellMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        SHHandleWMActivate(m_hwnd, wParam, lParam, &m_activateInfo, 0);
        return true;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(m_hwnd, wParam, lParam, &m_activateInfo);
        return true;
    case WM_HOTKEY:
        if (HIWORD(lParam) != VK_TBACK)
            return false;
        SHSendBackToFocusWindow(message, wParam, lParam);
        return true;
    }
    return false;
}
