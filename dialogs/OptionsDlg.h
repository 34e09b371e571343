// COptionsDlg: the "Options" sheet with its "General" and "Import" pages and a Done / Cancel
// command bar. ShowOptions runs it; confirmed, the settings store saves the options and flushes.
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
    HWND GetCommandBar() const { return m_commandBar; }

private:
    COptionsGeneralPage m_generalPage;
    COptionsImportPage m_importPage;
    HWND m_commandBar = nullptr;
};
