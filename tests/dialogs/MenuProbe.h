// Reads the context menu a control opens on this thread, from inside the menu's own loop, and
// closes it or chooses one of its commands. Post any message before opening the menu, so the
// loop has one to filter.
#pragma once

#include <windows.h>

#include <cwchar>
#include <vector>

// The enabled commands of the context menu while it is open; chooses command when not 0.
class CMenuProbe
{
public:
    explicit CMenuProbe(UINT choose = 0) : m_choose(choose)
    {
        s_probe = this;
        m_hook = SetWindowsHookExW(WH_MSGFILTER, FilterProc, nullptr, GetCurrentThreadId());
    }
    ~CMenuProbe()
    {
        UnhookWindowsHookEx(m_hook);
        s_probe = nullptr;
    }

    std::vector<bool> enabled;
    bool seen = false;

private:
    static LRESULT CALLBACK FilterProc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == MSGF_MENU && s_probe && !s_probe->seen)
            s_probe->Read();
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // The menu window of this thread: other test programs may have menus open at the same time.
    static HWND FindThreadMenuWindow()
    {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), TakeVisibleMenuWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static BOOL CALLBACK TakeVisibleMenuWindow(HWND window, LPARAM result)
    {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (wcscmp(name, L"#32768") != 0 || !IsWindowVisible(window))
            return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }

    void Read()
    {
        HWND window = FindThreadMenuWindow();
        HMENU menu = window ? reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)) : nullptr;
        if (!menu)
            return;
        seen = true;
        int choice = -1;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            enabled.push_back(!(GetMenuState(menu, UINT(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)));
            if (m_choose && GetMenuItemID(menu, i) == m_choose)
                choice = i;
        }
        if (choice < 0) {
            EndMenu();
            return;
        }
        // Select the item, then choose it.
        PostMessageW(window, WM_KEYDOWN, VK_HOME, 0);
        for (int i = 0; i < choice; ++i)
            PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
    }

    static inline CMenuProbe* s_probe = nullptr;
    HHOOK m_hook;
    UINT m_choose;
};
