// Redraw suppression around bulk changes.
#include "shd/WndNoRedraw.h"

void CWndNoRedraw::Begin(HWND window, bool invalidate, bool erase, bool update)
{
    End();
    m_window = window;
    m_invalidate = invalidate;
    m_erase = erase;
    m_update = update;
    if (m_window)
        SendMessageW(m_window, WM_SETREDRAW, FALSE, 0);
}

void CWndNoRedraw::End()
{
    if (m_window) {
        SendMessageW(m_window, WM_SETREDRAW, TRUE, 0);
        if (m_invalidate) {
            InvalidateRect(m_window, nullptr, m_erase);
            if (m_update)
                UpdateWindow(m_window);
        }
    }
    m_window = nullptr;
    m_invalidate = true;
    m_erase = false;
    m_update = false;
}
