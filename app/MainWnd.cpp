// The main window: the window procedure, creation of the menu bar and the child windows, the
// layout of both orientations, the last position, and the end of the window.
#include "app/MainWnd.h"

#include "settings/Settings.h"
#include "registry/RootKeys.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/ScreenScale.h"

const wchar_t CMainWnd::kInteractiveClass[] = L"Hivelet_{A55A0214-0F7E-46FE-B53B-52C2AE3EC850}";
const wchar_t CMainWnd::kCommandLineClass[] = L"CmdLine_Hivelet_{A55A0214-0F7E-46FE-B53B-52C2AE3EC850}";

namespace {

const int kCommonControlsVersion = 0x020C;
const int kBarHeight = 17;          // key name bar, vertical scaling
const int kSplitterThickness = 6;   // vertical scaling in both orientations
const int kMinPaneWidth = 100;      // side by side, horizontal scaling
const int kMinPaneHeight = 50;      // stacked, vertical scaling
const int kStackedFromHeight = 180; // full client height, vertical scaling

// Keeps position within [minimum, total - thickness - minimum], the low edge winning.
int ClampSplit(int position, int total, int thickness, int minimum)
{
    if (position < minimum)
        return minimum;
    if (total - position < thickness + minimum)
        return total - thickness - minimum;
    return position;
}

} // namespace

CMainWnd::CMainWnd(bool commandLineMode, const wchar_t* arguments)
    : m_commandLineMode(commandLineMode), m_arguments(arguments)
{
}

CMainWnd::~CMainWnd()
{
    RemoveInputPanel();
    Destroy();
}

bool CMainWnd::CreateMain(HINSTANCE instance)
{
    CClass& windowClass = m_commandLineMode ? m_commandLineClass : m_interactiveClass;
    if (!windowClass.IsRegistered() &&
        !windowClass.RegisterDefault(m_commandLineMode ? kCommandLineClass : kInteractiveClass))
        return false;
    return Create(0, &windowClass, L"Hivelet", WS_VISIBLE | WS_CAPTION, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, 0, instance);
}

LRESULT CMainWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        PostMessageW(m_hwnd, kStartupMessage, 0, 0);
        return OnCreate();
    case kStartupMessage:
        OnStartup();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        Layout(false);
        return 0;
    case kSplitterMessage:
        OnSplitterMoved(wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        SHHandleWMActivate(m_hwnd, wParam, lParam, &m_activation, 0);
        return 1;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(m_hwnd, wParam, lParam, &m_activation);
        return 1;
    case WM_HOTKEY:
        if (HIWORD(lParam) == VK_TBACK)
            SHSendBackToFocusWindow(message, wParam, lParam);
        return 1;
    case WM_COPYDATA:
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        UpdateMenu(reinterpret_cast<HMENU>(wParam));
        return 1;
    }
    return CShdWnd::WindowProc(message, wParam, lParam);
}

LRESULT CMainWnd::OnCreate()
{
    m_activation = {};
    m_activation.cbSize = sizeof(m_activation);
    SHINITDLGINFO info = {SHIDIM_FLAGS, m_hwnd, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    SetWindowLongPtrW(m_hwnd, GWL_STYLE, GetWindowLongPtrW(m_hwnd, GWL_STYLE) & ~LONG_PTR(WS_BORDER));
    SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE,
                      GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_DLGMODALFRAME));
    // Without the border bit the caption is gone; the frame is worked out again for that.
    SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!CreateMenuBarForPlatform())
        return -1;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    const int w = client.right, h = client.bottom;
    if (m_tree.Create(0, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_EDITLABELS, 0, 0, w, h / 2, m_hwnd,
                      kTreeId, instance))
        SendMessageW(m_tree.GetHwnd(), CCM_SETVERSION, kCommonControlsVersion, 0);
    CreateValueList(w, h);
    m_splitter.Create(true, WS_CHILD | WS_VISIBLE, 0, h / 2, w, ScaleY(kSplitterThickness), m_hwnd,
                      kSplitterId, instance);
    m_splitter.SetNotify(m_hwnd, kSplitterMessage);
    RECT bar = {0, h - ScaleY(kBarHeight), w, h};
    m_keyName.Create(m_hwnd, bar, kKeyNameId);
    m_keyName.SetKey(nullptr, nullptr);
    CreateSearchWindows();
    m_splitSide = m_splitStacked = 0;
    // The first layout halves the work area in either orientation (the splitter's place at
    // creation only fits the stacked one).
    Layout(false);
    SetFocus(m_tree.GetHwnd());
    FillValueList(nullptr, false, nullptr);
    m_finder.Reset();
    if (!m_commandLineMode)
        RestoreLastPosition();
    return 0;
}

bool CMainWnd::CreateMenuBarForPlatform()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const int version = GetOsVersion();
    if (IsSmartphone() && version < 0x0500)
        m_menuBar = CreateMenuBar(m_hwnd, instance, IDR_MAIN_SOFTKEYS, true);
    else
        m_menuBar =
            CreateMenuBar(m_hwnd, instance, version < 0x0500 ? IDR_MAIN_MENU_OLD : IDR_MAIN_MENU, false);
    return m_menuBar != nullptr;
}

bool CMainWnd::CreateValueList(int width, int height)
{
    const DWORD style =
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_EDITLABELS | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_REPORT;
    m_list = CreateWindowExW(0, WC_LISTVIEWW, L"", style, 0, height / 2, width, height - height / 2, m_hwnd,
                             reinterpret_cast<HMENU>(UINT_PTR(kListId)), GetModuleHandleW(nullptr), nullptr);
    if (!m_list)
        return false;
    SendMessageW(m_list, CCM_SETVERSION, kCommonControlsVersion, 0);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    CreateValueColumns(width);
    return true;
}

void CMainWnd::Layout(bool fromSplitter)
{
    if (!m_tree.GetHwnd() || !m_list || !m_splitter.GetHwnd() || !m_keyName.GetHwnd())
        return;
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    const int W = client.right, H = client.bottom;
    const int barHeight = ScaleY(kBarHeight), workHeight = H - barHeight;
    const int thickness = ScaleY(kSplitterThickness);
    MoveSearchWindows(W, workHeight);
    const bool stacked = H >= ScaleY(kStackedFromHeight);
    m_splitter.SetHorizontal(stacked);
    if (m_splitSide == 0 && m_splitStacked == 0) {
        m_splitSide = W / 2;
        m_splitStacked = workHeight / 2;
    }
    RECT bar = {};
    GetWindowRect(m_splitter.GetHwnd(), &bar);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&bar), 2);
    if (!stacked) {
        int x = ClampSplit(fromSplitter ? int(bar.left) : m_splitSide, W, thickness, ScaleX(kMinPaneWidth));
        MoveChild(m_tree.GetHwnd(), 0, 0, x, workHeight);
        MoveChild(m_splitter.GetHwnd(), x, 0, x + thickness, workHeight);
        MoveChild(m_list, x + thickness, 0, W, workHeight);
        m_splitSide = x;
    } else {
        int y = ClampSplit(fromSplitter ? int(bar.top) : m_splitStacked, workHeight, thickness,
                           ScaleY(kMinPaneHeight));
        MoveChild(m_tree.GetHwnd(), 0, 0, W, y);
        MoveChild(m_splitter.GetHwnd(), 0, y, W, y + thickness);
        MoveChild(m_list, 0, y + thickness, W, workHeight);
        m_splitStacked = y;
    }
    MoveChild(m_keyName.GetHwnd(), 0, workHeight, W, H);
    PlaceToolBar();
}

void CMainWnd::MoveChild(HWND child, int left, int top, int right, int bottom)
{
    MoveWindow(child, left, top, right - left, bottom - top, TRUE);
}

void CMainWnd::OnSplitterMoved(WPARAM phase, LPARAM offsets)
{
    if (phase != CSplitterWnd::kEnd)
        return;
    m_splitter.MoveBy(short(LOWORD(offsets)), short(HIWORD(offsets)));
    Layout(true);
}

void CMainWnd::OnStartup()
{
    if (!m_commandLineMode)
        return;
    ProcessCommandLine(m_arguments);
    DestroyWindow(m_hwnd);
}

void CMainWnd::OnDestroy()
{
    if (!m_commandLineMode)
        SaveLastPosition();
    RemoveInputPanel();
    PostQuitMessage(0);
}

void CMainWnd::RestoreLastPosition()
{
    DWORD root = 0;
    CString path, valueName;
    bool valueSelected = false;
    const CSettings& settings = Settings();
    if (settings.GetSavePosition())
        settings.GetLastPosition(root, path, valueName, valueSelected);
    // A stored key or value that is gone is simply not selected.
    if (m_tree.SelectPath(RootKeyFromValue(root), path) && valueSelected)
        SelectValueByName(valueName);
}

void CMainWnd::SaveLastPosition()
{
    CSettings& settings = Settings();
    HKEY root = nullptr;
    CString path, valueName;
    int index = -1;
    GetCurrentKey(root, path);
    bool valueSelected = GetSelectedValue(index, valueName);
    const bool save = settings.GetSavePosition();
    if (!save) {
        root = nullptr;
        path.Empty();
        valueName.Empty();
    }
    settings.SaveLastPosition(RootKeyValue(root), path, valueName, save && valueSelected);
    settings.Flush();
}

bool CMainWnd::GetCurrentKey(HTREEITEM& item, HKEY& root, CString& path) const
{
    item = m_tree.GetSelection();
    return item && m_tree.GetItemPath(item, root, path);
}

bool CMainWnd::GetCurrentKey(HKEY& root, CString& path) const
{
    HTREEITEM item = nullptr;
    return GetCurrentKey(item, root, path);
}
