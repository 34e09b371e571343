// Property pages: their template record and the sheet notifications.
#include "shd/ShdPropertySheetPage.h"

#include <cwchar>

CShdPropertySheetPage::~CShdPropertySheetPage()
{
    if (m_title)
        LocalFree(m_title);
}

void CShdPropertySheetPage::Init(HINSTANCE instance, UINT templateId, const wchar_t* title)
{
    if (m_hwnd)
        return;
    if (m_title)
        LocalFree(m_title);
    m_title = nullptr;
    if (title) {
        size_t bytes = (wcslen(title) + 1) * sizeof(wchar_t);
        if ((m_title = static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, bytes))))
            memcpy(m_title, title, bytes);
    }
    m_page = PROPSHEETPAGEW();
    m_page.dwSize = sizeof(m_page);
    m_page.dwFlags = m_title ? PSP_USETITLE : PSP_DEFAULT;
    m_page.hInstance = instance;
    m_page.pszTemplate = MAKEINTRESOURCEW(templateId);
    m_page.pfnDlgProc = PageProc;
    m_page.pszTitle = m_title;
    m_page.lParam = reinterpret_cast<LPARAM>(this);
}

INT_PTR CALLBACK CShdPropertySheetPage::PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const PROPSHEETPAGEW* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        CShdDialog* object = page ? reinterpret_cast<CShdPropertySheetPage*>(page->lParam) : nullptr;
        return BindAndDispatch(object, dialog, wParam, lParam);
    }
    return BoundDialogProc(dialog, message, wParam, lParam);
}

INT_PTR CShdPropertySheetPage::PreProcessMessage(UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_NOTIFY)
        return 0;
    const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
    switch (code) {
    case PSN_SETACTIVE:
    case PSN_KILLACTIVE:
    case PSN_APPLY:
    case PSN_RESET:
    case PSN_QUERYCANCEL:
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, OnNotify(code));
        return 1;
    }
    return 0;
}

LRESULT CShdPropertySheetPage::OnNotify(UINT code)
{
    switch (code) {
    case PSN_SETACTIVE:
        return OnSetActive() ? 0 : -1;
    case PSN_KILLACTIVE:
        return OnKillActive() ? 0 : 1;
    case PSN_APPLY:
        return OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
    case PSN_RESET:
        OnReset();
        return 0;
    case PSN_QUERYCANCEL:
        return OnQueryCancel() ? 0 : 1;
    }
    return 0;
}
