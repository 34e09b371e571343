// CShdPropertySheetPage: one page of a CShdPropertySheet, a CShdDialog whose pre-processing
// hook turns the sheet's notifications into OnSetActive, OnKillActive, OnApply, OnReset and
// OnQueryCancel (nonzero accepts; 0 refuses: the page is skipped, stays, is invalid, or the
// cancel is refused).
#pragma once

#include "shd/ShdDialog.h"

#include <commctrl.h>

class CShdPropertySheetPage : public CShdDialog
{
public:
    CShdPropertySheetPage() = default;
    ~CShdPropertySheetPage() override;

    INT_PTR PreProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual int OnSetActive() { return 1; }
    virtual int OnKillActive() { return 1; }
    virtual int OnApply() { return 1; }
    virtual void OnReset() {}
    virtual int OnQueryCancel() { return 1; }

    // Does nothing once the page exists.
    void Init(HINSTANCE instance, UINT templateId, const wchar_t* title);
    PROPSHEETPAGEW* GetPage() { return &m_page; }

private:
    static INT_PTR CALLBACK PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(UINT code);

    PROPSHEETPAGEW m_page = {};
    wchar_t* m_title = nullptr;
};
