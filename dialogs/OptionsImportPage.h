// COptionsImportPage: the "Import" page of the options: "Do not check file header during
// import" (set back on apply) and the buttons that install or remove the .reg association at
// once, whatever happens to the dialog afterwards.
#pragma once

#include "shd/ShdPropertySheetPage.h"

class COptionsImportPage : public CShdPropertySheetPage
{
public:
    COptionsImportPage();
    ~COptionsImportPage() override = default;

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnApply() override;
    // A child page hears of no activation on the desktop; turning to it refreshes as well.
    int OnSetActive() override;

    void OnInstall();
    void OnRemove();

private:
    void RefreshButtons();
};
