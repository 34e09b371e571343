// Program entry of Hivelet.exe: single instance for interactive runs, settings, the main
// window and the message loop with the keyboard accelerators.
#include "app/CommandLine.h"
#include "app/MainWnd.h"
#include "journal/RecordingRegistryBackend.h"
#include "journal/UndoJournal.h"
#include "registry/ShdRegKey.h"
#include "shd/MessageBox.h"
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

// The keys added for desktop habits keep their text meaning in a label or a text field being
// edited; the older accelerators act everywhere as before.
bool IsTextKeyInEditor(const MSG& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    wchar_t className[16] = {};
    HWND focus = GetFocus();
    if (!focus || !GetClassNameW(focus, className, 16) || _wcsicmp(className, L"Edit") != 0)
        return false;
    const WPARAM key = message.wParam;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    return key == VK_F2 || key == VK_F3 ||
           (control && (key == 'Z' || key == 'Y' || key == 'X' || key == 'C' || key == 'V' || key == 'F'));
}

// The journal lives in the program's folder ("InstallDir"), else beside the .exe.
std::wstring JournalPath()
{
    CString folder;
    CShdRegKey key(false);
    if (!key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Ordwyn\\Keyhaven") || !key.QueryString(L"InstallDir", folder) ||
        folder.IsEmpty()) {
        wchar_t module[MAX_PATH] = {};
        DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
        folder = CString(module, static_cast<int>(length));
        folder.Truncate(folder.ReverseFind(L'\\') + 1);
    }
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != L'\\')
        folder += L'\\';
    return std::wstring(folder.c_str()) + L"Hivelet.undo";
}

int RunMessageLoop(HINSTANCE instance, CMainWnd& main)
{
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators && main.GetHwnd() && !IsTextKeyInEditor(message) &&
            TranslateAcceleratorW(main.GetHwnd(), accelerators, &message))
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
        // Every registry call passes the recorder, so that each open key's path is known when a
        // command's entry begins.
        CUndoJournal journal(Registry());
        const bool journalWhole = journal.Open(JournalPath());
        CRecordingRegistryBackend recorder(Registry(), journal);
        CScopedRegistryBackend recording(recorder);
        auto main = std::make_unique<CMainWnd>(!interactive, commandLine);
        main->SetJournal(&journal);
        if (main->CreateMain(instance)) {
            if (!journalWhole && interactive)
                ShowInfoMessage(main->GetHwnd(), L"The undo journal could not be read and was reset.");
            exitCode = RunMessageLoop(instance, *main);
        }
    }
    if (mutex)
        CloseHandle(mutex);
    return exitCode;
}
