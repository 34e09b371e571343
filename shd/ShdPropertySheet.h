// CShdPropertySheet: a modal tabbed dialog of CShdPropertySheetPage objects. Init, AddPage for
// each page, then DoModal, which is true when the sheet ended with OK (Done) and its pages
// applied. Once the sheet window exists it is attached to the object (its WindowProc sees the
// sheet's messages) and OnInitialized may refuse it (return 0: the sheet closes).
#pragma once

#include "shd/ShdPropertySheetPage.h"
#include "shd/ShdWnd.h"

class CShdPropertySheet : public CShdWnd
{
public:
    CShdPropertySheet() = default;
    ~CShdPropertySheet() override;

    virtual int OnInitialized() { return 1; }

    // Does nothing once the sheet exists.
    void Init(HINSTANCE instance, const wchar_t* caption, UINT startPage);
    // The page's index, or -1.
    int AddPage(CShdPropertySheetPage* page);
    bool DoModal(HWND parent);

    int GetPageCount() const { return m_count; }

private:
    static int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam);
    static CShdPropertySheet*& PendingSheet();
    bool CreatePages();
    void DestroyPages();
    void OnSheetInitialized(HWND sheet);

    CShdPropertySheetPage** m_pages = nullptr;
    HPROPSHEETPAGE* m_handles = nullptr;
    int m_count = 0;
    bool m_ready = false;
    bool m_running = false;
    PROPSHEETHEADERW m_header = {};
    wchar_t* m_caption = nullptr;
};
