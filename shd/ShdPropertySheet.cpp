// The property sheet: page arrays, the run and the binding of the sheet window to the object.
#include "shd/ShdPropertySheet.h"

#include <cwchar>

namespace {

template <typename T> bool Grow(T*& array, int count)
{
    T* grown = static_cast<T*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, sizeof(T) * size_t(count + 1)));
    if (!grown)
        return false;
    if (array) {
        memcpy(grown, array, sizeof(T) * size_t(count));
        LocalFree(array);
    }
    array = grown;
    return true;
}

} // namespace

CShdPropertySheet::~CShdPropertySheet()
{
    Destroy();
    if (m_pages)
        LocalFree(m_pages);
    if (m_handles)
        LocalFree(m_handles);
    if (m_caption)
        LocalFree(m_caption);
}

void CShdPropertySheet::Init(HINSTANCE instance, const wchar_t* caption, UINT startPage)
{
    if (m_hwnd || m_running)
        return;
    if (m_caption)
        LocalFree(m_caption);
    m_caption = nullptr;
    size_t bytes = ((caption ? wcslen(caption) : 0) + 1) * sizeof(wchar_t);
    if ((m_caption = static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, bytes))))
        memcpy(m_caption, caption ? caption : L"", bytes);
    m_header = PROPSHEETHEADERW();
    m_header.dwSize = sizeof(m_header);
    // The handheld also maximises the sheet; that flag means a wizard on the desktop.
    m_header.dwFlags = PSH_USECALLBACK | PSH_NOAPPLYNOW;
    m_header.hInstance = instance;
    m_header.nStartPage = startPage;
    m_header.pfnCallback = SheetCallback;
    m_ready = true;
}

int CShdPropertySheet::AddPage(CShdPropertySheetPage* page)
{
    if (!page || !Grow(m_pages, m_count) || !Grow(m_handles, m_count))
        return -1;
    if (m_hwnd) {
        HPROPSHEETPAGE handle = CreatePropertySheetPageW(page->GetPage());
        if (!handle)
            return -1;
        if (!SendMessageW(m_hwnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle))) {
            DestroyPropertySheetPage(handle);
            return -1;
        }
        m_handles[m_count] = handle;
    }
    m_pages[m_count] = page;
    return m_count++;
}

bool CShdPropertySheet::CreatePages()
{
    for (int i = 0; i < m_count; ++i) {
        m_handles[i] = CreatePropertySheetPageW(m_pages[i]->GetPage());
        if (!m_handles[i]) {
            DestroyPages();
            return false;
        }
    }
    return true;
}

void CShdPropertySheet::DestroyPages()
{
    for (int i = 0; i < m_count; ++i) {
        if (m_handles[i])
            DestroyPropertySheetPage(m_handles[i]);
        m_handles[i] = nullptr;
    }
}

CShdPropertySheet*& CShdPropertySheet::PendingSheet()
{
    thread_local CShdPropertySheet* pending = nullptr;
    return pending;
}

bool CShdPropertySheet::DoModal(HWND parent)
{
    if (m_hwnd || m_running || !m_ready || m_count == 0 || !CreatePages())
        return false;
    m_header.hwndParent = parent;
    m_header.nPages = UINT(m_count);
    m_header.phpage = m_handles;
    m_header.pszCaption = m_caption;
    m_running = true;
    // The callback of the sheet about to be made binds it to this object.
    PendingSheet() = this;
    INT_PTR result = PropertySheetW(&m_header);
    PendingSheet() = nullptr;
    m_running = false;
    // The sheet owns its pages' handles once it has run.
    for (int i = 0; i < m_count; ++i)
        m_handles[i] = nullptr;
    Detach();
    return result > 0;
}

int CALLBACK CShdPropertySheet::SheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED) {
        CShdPropertySheet* object = PendingSheet();
        PendingSheet() = nullptr;
        if (object)
            object->OnSheetInitialized(sheet);
        else
            PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    }
    return 0;
}

void CShdPropertySheet::OnSheetInitialized(HWND sheet)
{
    if (!Attach(sheet)) {
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SendMessageW(sheet, PSM_SETTITLEW, 0, reinterpret_cast<LPARAM>(m_caption));
    if (!OnInitialized())
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
}
