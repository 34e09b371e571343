// The desktop menu bar behind SHCreateMenuBar: a ToolbarWindow32 popup owned by the window it
// serves, lying along the owner's bottom edge. One button per top-level menu item or soft key;
// a command button posts WM_COMMAND to the owner, a popup button opens its popup with
// TrackPopupMenuEx (the owner gets WM_INITMENUPOPUP and the chosen command). The bar follows
// its owner's moves and visibility and is destroyed with it; it deletes itself at WM_NCDESTROY.
// Where the device has soft keys (a Smartphone, or version 5.00 on), the keys VK_TSOFT1 and
// VK_TSOFT2 pressed in the owner or any of its children press the first and second button.
#pragma once

#include "platform/AygShell.h"

#include <string>
#include <vector>

class CMenuBarWindow
{
public:
    // Returns the toolbar window, or nullptr when the owner or the resource is missing.
    static HWND Create(const SHMENUBARINFO& info);
    // The menu bar created for a top-level window, or nullptr.
    static HWND FindForOwner(HWND owner);

    // Popup buttons answer to kPopupCommandBase + their index.
    static const UINT kPopupCommandBase = 0xFF00;

private:
    struct SButton
    {
        UINT command;
        HMENU popup;
        bool enabled;
        std::wstring text;
    };

    CMenuBarWindow() = default;
    ~CMenuBarWindow();
    CMenuBarWindow(const CMenuBarWindow&) = delete;
    CMenuBarWindow& operator=(const CMenuBarWindow&) = delete;

    bool LoadMenuButtons(HINSTANCE instance, UINT menuId);
    bool LoadSoftKeyButtons(HINSTANCE instance, UINT resourceId);
    bool CreateToolbar(HWND owner, bool hidden);
    void AddButtons();
    void FollowOwner();
    void OnOwnerPositionChanged(const WINDOWPOS& position);
    void OnButtonCommand(UINT command);
    void OpenPopup(size_t index);
    const SButton* FindButton(UINT command, size_t* index) const;
    LRESULT OnToolbarMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    void PressSoftKey(size_t index);

    // One message hook per thread while it has bars: it takes the soft keys from the queue.
    static void HookSoftKeys(bool hook);
    static LRESULT CALLBACK SoftKeyHook(int code, WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK ToolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data);
    void FollowMessagesOf(HWND owner);
    static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_owner = nullptr;
    HWND m_toolbar = nullptr;
    HMENU m_menu = nullptr;
    std::vector<SButton> m_buttons;
    bool m_hiddenWithOwner = false;
};
