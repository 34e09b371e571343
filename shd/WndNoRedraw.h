// CWndNoRedraw: turns a window's drawing off (WM_SETREDRAW) for a bulk change and back on at
// End or destruction, then invalidates (and, when asked, erases and updates) the window.
#pragma once

#include <windows.h>

class CWndNoRedraw
{
public:
    CWndNoRedraw() = default;
    CWndNoRedraw(HWND window, bool invalidate = true, bool erase = false, bool update = false)
    {
        Begin(window, invalidate, erase, update);
    }
    virtual ~CWndNoRedraw() { End(); }
    CWndNoRedraw(const CWndNoRedraw&) = delete;
    CWndNoRedraw& operator=(const CWndNoRedraw&) = delete;

    // Ends an earlier period first.
    void Begin(HWND window, bool invalidate = true, bool erase = false, bool update = false);
    // Harmless when nothing is begun.
    void End();
    HWND GetWindow() const { return m_window; }

private:
    HWND m_window = nullptr;
    bool m_invalidate = true;
    bool m_erase = false;
    bool m_update = false;
};
