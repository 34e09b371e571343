// COptionsDlg: the "Options" sheet with its "General" and "Import" pages and a Done / Cancel
// command bar. ShowOptions runs it; confirmed, the settings store saves the options and flushes.
// Like the handheld's maximised sheet it covers the device screen above its command bar, with
// the tabs and pages filling it and without the sheet's own buttons.
#pragma once

#include "dialogs/OptionsGeneralPage.h"
#include "dialogs/OptionsImportPage.h"
#include "shd/ShdPropertySheet.h"

class COptionsDlg : public CShdPropertySheet
{
public:
    COptionsDlg();
    ~COptionsDlg() override = default;

    // True when confirmed with Done (the options are then saved and flushed).
    bool ShowOptions(HWND parent);

    int OnInitialized() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HWND GetCommandBar() const { return m_commandBar; }

private:
    void LayoutSheet();
    void PlaceCurrentPage();

    COptionsGeneralPage m_generalPage;
    COptionsImportPage m_importPage;
    HWND m_commandBar = nullptr;
};
