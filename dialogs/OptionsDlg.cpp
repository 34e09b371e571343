// The options sheet: its pages, its command bar and the save on Done.
#include "dialogs/OptionsDlg.h"

#include "settings/Settings.h"
#include "res/resource.h"
#include "shd/ScreenScale.h"
#include "shd/ShdHandheldDialog.h"

#include <commctrl.h>

#include <initializer_list>

namespace {

const int kApplyButton = 0x3021;

} // namespace

COptionsDlg::COptionsDlg()
{
    Init(GetModuleHandleW(nullptr), L"Options", 0);
    AddPage(&m_generalPage);
    AddPage(&m_importPage);
}

bool COptionsDlg::ShowOptions(HWND parent)
{
    m_commandBar = nullptr;
    if (!DoModal(parent))
        return false;
    Settings().SaveOptions();
    Settings().Flush();
    return true;
}

int COptionsDlg::OnInitialized()
{
    const bool softKeys = CShdHandheldDialog::UsesSoftKeyBar();
    m_commandBar = CreateMenuBar(m_hwnd, GetModuleHandleW(nullptr),
                                 softKeys ? IDR_DONE_CANCEL_SOFTKEYS : IDR_DONE_CANCEL_MENU, softKeys);
    if (!m_commandBar)
        return 0;
    // Full screen without a caption, as the program's own dialogs are.
    SetWindowLongPtrW(m_hwnd, GWL_STYLE, GetWindowLongPtrW(m_hwnd, GWL_STYLE) & ~LONG_PTR(WS_BORDER));
    SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE,
                      GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_DLGMODALFRAME));
    SHINITDLGINFO info = {SHIDIM_FLAGS, m_hwnd, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    LayoutSheet();
    return 1;
}

LRESULT COptionsDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CShdPropertySheet::WindowProc(message, wParam, lParam);
    if (message == WM_SIZE)
        LayoutSheet();
    else if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == UINT(TCN_SELCHANGE))
        PlaceCurrentPage();
    return result;
}

// The command bar carries Done and Cancel; the tabs take the whole client area.
void COptionsDlg::LayoutSheet()
{
    for (int id : {IDOK, IDCANCEL, IDHELP, kApplyButton})
        if (HWND button = GetDlgItem(m_hwnd, id))
            ShowWindow(button, SW_HIDE);
    RECT client;
    GetClientRect(m_hwnd, &client);
    const int margin = ScaleX(4);
    HWND tab = PropSheet_GetTabControl(m_hwnd);
    MoveWindow(tab, margin, margin, client.right - 2 * margin, client.bottom - 2 * margin, TRUE);
    PlaceCurrentPage();
}

void COptionsDlg::PlaceCurrentPage()
{
    HWND tab = PropSheet_GetTabControl(m_hwnd);
    HWND page = PropSheet_GetCurrentPageHwnd(m_hwnd);
    if (!tab || !page)
        return;
    RECT area;
    GetWindowRect(tab, &area);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}
