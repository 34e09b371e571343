// The options sheet: its pages, its command bar and the save on Done.
#include "dialogs/OptionsDlg.h"

#include "app/Settings.h"
#include "res/resource.h"
#include "shd/ShdHandheldDialog.h"

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
    return m_commandBar ? 1 : 0;
}
