// COptionsGeneralPage: the "General" page of the options: "Remember last position" and
// "Show search toolbar for "Find All"", read from the settings store and set back on apply.
#pragma once

#include "shd/ShdPropertySheetPage.h"

class COptionsGeneralPage : public CShdPropertySheetPage
{
public:
    COptionsGeneralPage();
    ~COptionsGeneralPage() override = default;

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnApply() override;
};
