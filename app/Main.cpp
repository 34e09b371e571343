// Program entry of Hivelet.exe: single instance for interactive runs, settings, the main
// window and the message loop with the keyboard accelerators.
#include "app/CommandLine.h"
#include "app/MainWnd.h"
#include "settings/Settings.h"
#include "platform/AygShell.h"
#include "platform/Foreground.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

namespace {

const wchar_t kMutexName[] = L"Hivelet_{CC166F37-60E2-4B85-9CB8-CDD36DBD7101}";

// Another interactive instance has a window: bring it (or the dialog it shows) forward.
bool HandOverToRunningInstance()
{
    HWND running = FindWindowW(CMainWnd::kInteractiveClass, nullptr);
    if (!running)
        return false;
    SetForegroundWindowWithPopups(running);
    return true;
}

int RunMessageLoop(HINSTANCE instance, CMainWnd& main)
{
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators && main.GetHwnd() && TranslateAcceleratorW(main.GetHwnd(), accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return main.ExitCode();
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    bool interactive = IsCommandLineBlank(commandLine);
    HANDLE mutex = nullptr;
    if (interactive) {
        if (HandOverToRunningInstance())
            return 0;
        mutex = CreateMutexW(nullptr, FALSE, kMutexName);
        if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mutex);
            return 0;
        }
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                     ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    SHInitExtraControls();
    Settings().Load();
    int exitCode = 1;
    {
        auto main = std::make_unique<CMainWnd>(!interactive, commandLine);
        if (main->CreateMain(instance))
            exitCode = RunMessageLoop(instance, *main);
    }
    if (mutex)
        CloseHandle(mutex);
    return exitCode;
}
