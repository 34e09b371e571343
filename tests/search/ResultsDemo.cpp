// Shows the search windows of a real main window over a small in-memory registry, for the
// screenshots: "results" lists the rows of a finished "Find All" with the floating toolbar over
// them; "searching" shows them while the "Find All" still runs (each registry call of its worker
// slowed down, so that it runs for the whole demo); "toolbar" shows the main view with the
// toolbar floating over it; "about" opens the About box. Ends after the number of seconds given
// as second argument (default 20).
#include "app/MainWnd.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"

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

void CALLBACK Quit(HWND, UINT, UINT_PTR, DWORD)
{
    PostQuitMessage(0);
}

void RunFor(UINT seconds)
{
    SetTimer(nullptr, 0, seconds * 1000, Quit);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void FindAll(CMainWnd& main, bool wait)
{
    SSearchOptions options;
    options.searchString = L"colour";
    main.GetFindResults().StartSearch(options, CRegFinder::SStartPosition());
    main.ShowResultsView(true);
    main.SetToolbarVisible(true);
    MSG message;
    while (wait && main.GetFindResults().IsSearchActive() && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
}

// Every registry call of another thread than this one (the search's worker) takes a while.
void SlowDownWorker(CMemoryRegistryBackend& memory)
{
    const DWORD userInterface = GetCurrentThreadId();
    memory.SetCallHook([userInterface](CMemoryRegistryBackend::EOperation) {
        if (GetCurrentThreadId() != userInterface)
            Sleep(150);
    });
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                     ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const wchar_t* mode = argc > 1 ? argv[1] : L"results";
    UINT seconds = argc > 2 ? UINT(_wtoi(argv[2])) : 20;
    CMemoryRegistryBackend memory;
    CScopedRegistryBackend scope(memory);
    FillRegistry();
    CMainWnd main(true, L"");
    if (!main.CreateMain(GetModuleHandleW(nullptr)))
        return 1;
    // The start-up message of a command-line run would end the window.
    MSG message;
    while (PeekMessageW(&message, nullptr, CMainWnd::kStartupMessage, CMainWnd::kStartupMessage, PM_REMOVE)) {
    }
    if (wcscmp(mode, L"about") == 0) {
        SetTimer(nullptr, 0, seconds * 1000, Quit);
        SendMessageW(main.GetHwnd(), WM_COMMAND, ID_ABOUT, 0);
        return 0;
    }
    main.GetTree().SelectPath(HKEY_CURRENT_USER, L"Software\\Demo\\Colours\\Blue");
    const bool searching = wcscmp(mode, L"searching") == 0;
    if (searching)
        SlowDownWorker(memory);
    FindAll(main, !searching);
    if (wcscmp(mode, L"toolbar") == 0)
        main.ShowResultsView(false);
    RunFor(seconds);
    return 0;
}
