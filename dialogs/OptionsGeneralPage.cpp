// The options dialog's "General" page.
#include "dialogs/OptionsGeneralPage.h"

#include "settings/Settings.h"
#include "dialogs/OptionsPageLayout.h"
#include "res/resource.h"

COptionsGeneralPage::COptionsGeneralPage()
{
    Init(GetModuleHandleW(nullptr), IDD_OPTIONS_GENERAL, L"General");
}

INT_PTR COptionsGeneralPage::DialogProc(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetPageCheck(m_hwnd, IDC_OPTIONS_SAVE_POSITION, Settings().GetSavePosition());
        SetPageCheck(m_hwnd, IDC_OPTIONS_SEARCH_TOOLBAR, Settings().GetShowSearchToolbar());
        return TRUE;
    case WM_SIZE:
        SpanPageControl(m_hwnd, IDC_OPTIONS_SAVE_POSITION);
        SpanPageControl(m_hwnd, IDC_OPTIONS_SEARCH_TOOLBAR);
        return TRUE;
    }
    return FALSE;
}

int COptionsGeneralPage::OnApply()
{
    Settings().SetSavePosition(GetPageCheck(m_hwnd, IDC_OPTIONS_SAVE_POSITION));
    Settings().SetShowSearchToolbar(GetPageCheck(m_hwnd, IDC_OPTIONS_SEARCH_TOOLBAR));
    return 1;
}
