// Shows the search windows for a screenshot over an emulated device window: "results" lists the
// rows of a finished "Find All" over a small in-memory registry with the floating toolbar over
// them; "about" opens the About box. Ends after the number of seconds given as second argument
// (default 20).
#include "app/AboutDlg.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "search/FindResultsWnd.h"
#include "search/FloatingToolBar.h"
#include "shd/ScreenScale.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

namespace {

void FillRegistry()
{
    const wchar_t* const colours[] = {L"Red", L"Green", L"Blue"};
    for (const wchar_t* colour : colours) {
        CShdRegKey key;
        CString path;
        path.Format(L"Software\\Demo\\Colours\\%s", colour);
        key.Create(HKEY_CURRENT_USER, path);
        key.SetString(L"ColourName", colour);
        key.SetString(L"Comment", L"a colour of the demo");
    }
    CShdRegKey theme;
    theme.Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Themes\\Colour scheme");
    theme.SetString(L"Active", L"1");
}

void RunFor(UINT seconds)
{
    SetTimer(nullptr, 0, seconds * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && !message.hwnd)
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void ShowResults(HWND device, UINT seconds)
{
    RECT client;
    GetClientRect(device, &client);
    CFindResultsWnd results;
    results.Create(device, 105, 0, 0, client.right, client.bottom);
    ShowWindow(results.GetHwnd(), SW_SHOW);
    SSearchOptions options;
    options.searchString = L"colour";
    results.StartSearch(options, CRegFinder::SStartPosition());
    MSG message;
    while (results.IsSearchActive() && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);

    CFloatingToolBar toolbar;
    toolbar.Create(device, 106, 10, 10, 50, 50);
    bool large = IsHighResolution();
    toolbar.SetImageList(ImageList_LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(large ? IDB_SEARCH_TOOLBAR_48 : IDB_SEARCH_TOOLBAR_24),
        large ? 48 : 24, 0, RGB(255, 0, 255), IMAGE_BITMAP, 0));
    toolbar.AddButton(ID_SEARCH_PAUSE, 4, 4, 5);
    toolbar.AddButton(ID_SEARCH_STOP, 2, 2, 3);
    toolbar.AddButton(ID_SEARCH_SHOW_RESULTS, 8, 8, 9);
    toolbar.AddButton(ID_SEARCH_SHOW_TOOLBAR, 6, 6, 7);
    toolbar.EnableButton(0, false);
    toolbar.EnableButton(1, false);
    toolbar.SetPosition(-ScaleX(20), -ScaleY(20));
    ShowWindow(toolbar.GetHwnd(), SW_SHOW);
    SetWindowPos(toolbar.GetHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RunFor(seconds);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    bool about = argc > 1 && wcscmp(argv[1], L"about") == 0;
    UINT seconds = argc > 2 ? UINT(_wtoi(argv[2])) : 20;
    CMemoryRegistryBackend memory;
    CScopedRegistryBackend scope(memory);
    FillRegistry();
    CShdWnd device;
    device.Create(0, nullptr, L"Hivelet", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, ScaleX(240),
                  ScaleY(320), nullptr, 0, GetModuleHandleW(nullptr));
    if (about) {
        SetTimer(nullptr, 0, seconds * 1000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
        CAboutDlg dialog;
        dialog.Run(device.GetHwnd());
    } else {
        ShowResults(device.GetHwnd(), seconds);
    }
    return 0;
}
