// SHCreateMenuBar on the desktop: a toolbar popup that stands for the handheld's menu bar.
#include "platform/MenuBarWindow.h"

#include "platform/DeviceScreen.h"
#include "platform/PlatformInfo.h"

#include <cwchar>

namespace {

const wchar_t kOwnerProperty[] = L"Hivelet.MenuBar";
// Posted by the toolbar to itself, so a button's action runs after the toolbar has finished
// handling the click (the owner may be destroyed by the command).
const UINT kDeferredCommand = WM_APP + 0x3F0;
const UINT_PTR kSubclassId = 0x4D42;
// Sent by the message hook to the bar of the window a soft key was pressed in; wParam is the
// key's button index.
const UINT kSoftKeyPressed = WM_APP + 0x3F1;

struct SSoftKeyHook
{
    HHOOK hook = nullptr;
    int bars = 0;
};

SSoftKeyHook& ThreadSoftKeyHook()
{
    thread_local SSoftKeyHook hook;
    return hook;
}

// Menu bars have soft keys on every Smartphone and on the Pocket PC from version 5.00 on.
bool DeviceHasSoftKeys()
{
    wchar_t type[64] = L"";
    if (PlatformSystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(type), type, 0) &&
        _wcsicmp(type, L"Smartphone") == 0)
        return true;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return PlatformGetVersionExW(&version) && version.dwMajorVersion >= 5;
}

std::wstring LoadText(HINSTANCE instance, UINT id)
{
    const wchar_t* text = nullptr;
    int length = LoadStringW(instance, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, size_t(length)) : std::wstring();
}

std::wstring MenuItemText(HMENU menu, UINT index)
{
    wchar_t text[128] = L"";
    GetMenuStringW(menu, index, text, 128, MF_BYPOSITION);
    return text;
}

// The owners whose messages pass through CMenuBarWindow::OwnerProc, with the procedure each had
// before and its bar. A subclass of comctl32 (SetWindowSubclass) finds its data through a window
// property, which under Wine is a server round trip on every message the owner gets; the main
// window gets one for each row its value list inserts.
struct SOwner
{
    HWND owner;
    WNDPROC previous;
    CMenuBarWindow* bar;
};

class COwners
{
public:
    COwners() { InitializeCriticalSection(&m_lock); }
    ~COwners() { DeleteCriticalSection(&m_lock); }
    COwners(const COwners&) = delete;
    COwners& operator=(const COwners&) = delete;

    void Enter() { EnterCriticalSection(&m_lock); }
    void Leave() { LeaveCriticalSection(&m_lock); }
    // Called between Enter and Leave.
    SOwner* Find(HWND owner)
    {
        for (SOwner& entry : m_owners) {
            if (entry.owner == owner)
                return &entry;
        }
        return nullptr;
    }
    void Add(const SOwner& entry) { m_owners.push_back(entry); }
    void Remove(HWND owner)
    {
        for (auto it = m_owners.begin(); it != m_owners.end(); ++it) {
            if (it->owner == owner) {
                m_owners.erase(it);
                return;
            }
        }
    }

private:
    CRITICAL_SECTION m_lock;
    std::vector<SOwner> m_owners;
};

COwners& Owners()
{
    static COwners owners;
    return owners;
}

} // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    SHInitExtraControls();
    if (!info)
        return FALSE;
    info->hwndMB = CMenuBarWindow::Create(*info);
    return info->hwndMB ? TRUE : FALSE;
}

HWND CMenuBarWindow::Create(const SHMENUBARINFO& info)
{
    if (!IsWindow(info.hwndParent))
        return nullptr;
    CMenuBarWindow* bar = new CMenuBarWindow;
    bool loaded = true;
    if (!(info.dwFlags & SHCMBF_EMPTYBAR)) {
        if (info.dwFlags & SHCMBF_HMENU)
            loaded = bar->LoadMenuButtons(info.hInstRes, info.nToolBarId);
        else
            loaded = bar->LoadSoftKeyButtons(info.hInstRes, info.nToolBarId) ||
                     bar->LoadMenuButtons(info.hInstRes, info.nToolBarId);
    }
    HWND owner = GetAncestor(info.hwndParent, GA_ROOT);
    if (!loaded || !bar->CreateToolbar(owner, (info.dwFlags & SHCMBF_HIDDEN) != 0)) {
        delete bar;
        return nullptr;
    }
    return bar->m_toolbar;
}

HWND CMenuBarWindow::FindForOwner(HWND owner)
{
    HWND bar = static_cast<HWND>(GetPropW(owner, kOwnerProperty));
    return IsWindow(bar) ? bar : nullptr;
}

CMenuBarWindow::~CMenuBarWindow()
{
    if (m_menu)
        DestroyMenu(m_menu);
}

bool CMenuBarWindow::LoadMenuButtons(HINSTANCE instance, UINT menuId)
{
    m_menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
    if (!m_menu)
        return false;
    int count = GetMenuItemCount(m_menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(m_menu, UINT(i), TRUE, &item) || (item.fType & MFT_SEPARATOR))
            continue;
        // A popup's id is its menu handle: popups get ids of their own.
        UINT command = item.hSubMenu ? kPopupCommandBase + UINT(i) : item.wID;
        m_buttons.push_back(
            {command, item.hSubMenu, !(item.fState & MFS_GRAYED), MenuItemText(m_menu, UINT(i))});
    }
    return true;
}

bool CMenuBarWindow::LoadSoftKeyButtons(HINSTANCE instance, UINT resourceId)
{
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const WORD* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    DWORD size = resource ? SizeofResource(instance, resource) : 0;
    if (!words || size < 2 * sizeof(WORD))
        return false;
    const WORD menuId = words[0], count = words[1];
    if (size < (2 + 7 * DWORD(count)) * sizeof(WORD))
        return false;
    if (menuId && !(m_menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId))))
        return false;
    for (WORD i = 0; i < count; ++i) {
        const WORD* key = words + 2 + 7 * i;
        HMENU popup = key[6] != NOMENU && m_menu ? GetSubMenu(m_menu, key[6]) : nullptr;
        bool enabled = (key[2] & TBSTATE_ENABLED) != 0;
        m_buttons.push_back({key[1], popup, enabled, LoadText(instance, key[4])});
    }
    return true;
}

bool CMenuBarWindow::CreateToolbar(HWND owner, bool hidden)
{
    const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE |
                        CCS_NOPARENTALIGN | CCS_NODIVIDER;
    m_toolbar = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, TOOLBARCLASSNAMEW, L"", style, 0, 0, 0,
                                0, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_toolbar)
        return false;
    m_owner = owner;
    SetWindowSubclass(m_toolbar, ToolbarProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    HookSoftKeys(true); // undone at WM_NCDESTROY, like the subclass
    SendMessageW(m_toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(m_toolbar), 0);
    SendMessageW(m_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(m_toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    AddButtons();
    SetPropW(owner, kOwnerProperty, m_toolbar);
    FollowMessagesOf(owner);
    // A dialog is still hidden while it creates its bar: the bar appears with it.
    m_hiddenWithOwner = !hidden && !IsWindowVisible(owner);
    FollowOwner();
    if (!hidden && IsWindowVisible(owner))
        ShowWindow(m_toolbar, SW_SHOWNOACTIVATE);
    return true;
}

void CMenuBarWindow::AddButtons()
{
    std::vector<TBBUTTON> buttons(m_buttons.size());
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = int(m_buttons[i].command);
        buttons[i].fsState = m_buttons[i].enabled ? TBSTATE_ENABLED : 0;
        buttons[i].fsStyle = BTNS_BUTTON | BTNS_SHOWTEXT;
        buttons[i].iString = reinterpret_cast<INT_PTR>(m_buttons[i].text.c_str());
    }
    if (!buttons.empty())
        SendMessageW(m_toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

// Along the owner's bottom edge, as wide as the owner, the buttons sharing the width.
void CMenuBarWindow::FollowOwner()
{
    RECT owner;
    if (!GetWindowRect(m_owner, &owner))
        return;
    const int width = owner.right - owner.left, height = GetMenuBarHeight();
    SetWindowPos(m_toolbar, nullptr, owner.left, owner.bottom, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (!m_buttons.empty()) {
        int buttonWidth = width / int(m_buttons.size());
        SendMessageW(m_toolbar, TB_SETBUTTONWIDTH, 0, MAKELPARAM(buttonWidth, buttonWidth));
        SendMessageW(m_toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth, height - 2));
    }
}

void CMenuBarWindow::OnOwnerPositionChanged(const WINDOWPOS& position)
{
    if (!(position.flags & SWP_NOMOVE) || !(position.flags & SWP_NOSIZE))
        FollowOwner();
    if ((position.flags & SWP_HIDEWINDOW) && IsWindowVisible(m_toolbar)) {
        m_hiddenWithOwner = true;
        ShowWindow(m_toolbar, SW_HIDE);
    } else if ((position.flags & SWP_SHOWWINDOW) && m_hiddenWithOwner) {
        m_hiddenWithOwner = false;
        FollowOwner();
        SetWindowPos(m_toolbar, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

const CMenuBarWindow::SButton* CMenuBarWindow::FindButton(UINT command, size_t* index) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].command == command) {
            if (index)
                *index = i;
            return &m_buttons[i];
        }
    }
    return nullptr;
}

void CMenuBarWindow::OnButtonCommand(UINT command)
{
    size_t index = 0;
    const SButton* button = FindButton(command, &index);
    if (button && button->popup)
        OpenPopup(index);
    else if (button)
        PostMessageW(m_owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// Above the button; the right-hand soft key's popup is aligned with the right edge.
void CMenuBarWindow::OpenPopup(size_t index)
{
    RECT item;
    if (!SendMessageW(m_toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)))
        return;
    MapWindowPoints(m_toolbar, nullptr, reinterpret_cast<POINT*>(&item), 2);
    const bool right = index > 0 && index + 1 == m_buttons.size();
    UINT flags = TPM_BOTTOMALIGN | TPM_LEFTBUTTON | (right ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
    DeviceTrackPopupMenuEx(m_buttons[index].popup, flags, right ? item.right : item.left, item.top, m_owner,
                           nullptr);
}

LRESULT CMenuBarWindow::OnToolbarMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    switch (message) {
    case WM_COMMAND:
        PostMessageW(m_toolbar, kDeferredCommand, LOWORD(wParam), 0);
        return 0;
    case kDeferredCommand:
        OnButtonCommand(UINT(wParam));
        return 0;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->hwndFrom == m_toolbar)
            return 0;
        break;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case kSoftKeyPressed:
        PressSoftKey(size_t(wParam));
        return 0;
    case SHCMBM_OVERRIDEKEY:
        return TRUE;
    case SHCMBM_GETMENU:
        return reinterpret_cast<LRESULT>(m_menu);
    case SHCMBM_GETSUBMENU: {
        const SButton* button = FindButton(UINT(lParam), nullptr);
        return reinterpret_cast<LRESULT>(button ? button->popup : nullptr);
    }
    }
    handled = false;
    return 0;
}

LRESULT CALLBACK CMenuBarWindow::ToolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR data)
{
    CMenuBarWindow* bar = reinterpret_cast<CMenuBarWindow*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, ToolbarProc, id);
        Owners().Enter();
        if (SOwner* owner = Owners().Find(bar->m_owner)) {
            if (owner->bar == bar)
                owner->bar = nullptr;
        }
        Owners().Leave();
        if (GetPropW(bar->m_owner, kOwnerProperty) == window)
            RemovePropW(bar->m_owner, kOwnerProperty);
        HookSoftKeys(false);
        delete bar;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    bool handled = false;
    LRESULT result = bar->OnToolbarMessage(message, wParam, lParam, handled);
    return handled ? result : DefSubclassProc(window, message, wParam, lParam);
}

// The owner's window procedure is replaced once; a later bar of the same owner takes the place
// of the earlier one.
void CMenuBarWindow::FollowMessagesOf(HWND owner)
{
    Owners().Enter();
    if (SOwner* entry = Owners().Find(owner)) {
        entry->bar = this;
    } else {
        WNDPROC previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnerProc)));
        if (previous)
            Owners().Add({owner, previous, this});
    }
    Owners().Leave();
}

LRESULT CALLBACK CMenuBarWindow::OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = nullptr;
    CMenuBarWindow* bar = nullptr;
    Owners().Enter();
    if (SOwner* entry = Owners().Find(window)) {
        previous = entry->previous;
        bar = entry->bar;
        // Put back unless another procedure was put in front of this one since.
        if (message == WM_NCDESTROY &&
            GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(OwnerProc)) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            Owners().Remove(window);
        }
    }
    Owners().Leave();
    if (bar && message == WM_WINDOWPOSCHANGED)
        bar->OnOwnerPositionChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
    return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                    : DefWindowProcW(window, message, wParam, lParam);
}

// As a tap on the button: an enabled command button sends its command, a popup button opens.
void CMenuBarWindow::PressSoftKey(size_t index)
{
    if (index >= m_buttons.size())
        return;
    const UINT command = m_buttons[index].command;
    if (SendMessageW(m_toolbar, TB_ISBUTTONENABLED, command, 0))
        PostMessageW(m_toolbar, kDeferredCommand, command, 0);
}

void CMenuBarWindow::HookSoftKeys(bool hook)
{
    SSoftKeyHook& thread = ThreadSoftKeyHook();
    if (hook && thread.bars++ == 0)
        thread.hook = SetWindowsHookExW(WH_GETMESSAGE, SoftKeyHook, nullptr, GetCurrentThreadId());
    if (!hook && --thread.bars == 0 && thread.hook) {
        UnhookWindowsHookEx(thread.hook);
        thread.hook = nullptr;
    }
}

// A soft key taken from the queue never reaches the window it was meant for: the press goes to
// the bar of that window's top-level window, the release and the repeats are dropped. Keys in
// an open menu, and in windows without a bar, stay what they are.
LRESULT CALLBACK CMenuBarWindow::SoftKeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* message = reinterpret_cast<MSG*>(lParam);
    const bool isKey = message->message == WM_KEYDOWN || message->message == WM_KEYUP;
    if (code != HC_ACTION || wParam != PM_REMOVE || !isKey ||
        (message->wParam != VK_TSOFT1 && message->wParam != VK_TSOFT2))
        return CallNextHookEx(nullptr, code, wParam, lParam);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    const bool inMenu = GetGUIThreadInfo(GetCurrentThreadId(), &thread) && (thread.flags & GUI_INMENUMODE);
    HWND bar = message->hwnd ? FindForOwner(GetAncestor(message->hwnd, GA_ROOT)) : nullptr;
    if (inMenu || !bar || !DeviceHasSoftKeys())
        return CallNextHookEx(nullptr, code, wParam, lParam);
    const bool repeat = (message->lParam & (1L << 30)) != 0;
    if (message->message == WM_KEYDOWN && !repeat)
        SendMessageW(bar, kSoftKeyPressed, message->wParam == VK_TSOFT1 ? 0 : 1, 0);
    message->message = WM_NULL;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
