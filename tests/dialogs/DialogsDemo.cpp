// Shows one of the search, export options, file selection and options dialogs over an emulated
// device window, for tools/screenshots.sh. Argument: search, export, selectfile, options or
// options-import. Runs until the dialog is closed or the process is ended.
#include "settings/Settings.h"
#include "dialogs/ExportOptionsDlg.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/SelectFileDlg.h"
#include "res/resource.h"
#include "search/SearchDlg.h"
#include "shd/ScreenScale.h"
#include "shd/ShdWnd.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

namespace {

HHOOK g_hook = nullptr;

// Turns the options sheet to its second page once it is shown.
LRESULT CALLBACK ShowImportPage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE)
        PostMessageW(reinterpret_cast<HWND>(wParam), PSM_SETCURSEL, 1, 0);
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

void ShowDialog(const wchar_t* which, HWND device)
{
    if (!wcscmp(which, L"search")) {
        SSearchOptions options;
        bool findAll = false;
        CSearchDlg().DoModal(device, options, findAll);
    } else if (!wcscmp(which, L"export")) {
        bool branch = true, unicode = true;
        CExportOptionsDlg().Run(device, L"\\My Documents\\Registry backups\\software settings.reg", branch,
                                unicode);
    } else if (!wcscmp(which, L"selectfile")) {
        CString path = L"\\";
        CSelectFileDlg().Run(device, path);
    } else {
        if (!wcscmp(which, L"options-import"))
            g_hook = SetWindowsHookExW(WH_CBT, ShowImportPage, nullptr, GetCurrentThreadId());
        COptionsDlg().ShowOptions(device);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, wchar_t* commandLine, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    Settings().Load();
    CShdWnd device;
    const int height = ScaleY(320) - ScaleY(26);
    if (!device.Create(0, nullptr, L"Hivelet", WS_POPUP | WS_VISIBLE, 0, 0, ScaleX(240), height, nullptr, 0,
                       instance))
        return 1;
    CShdWnd::CreateMenuBar(device.GetHwnd(), instance, IDR_MAIN_MENU, false);
    ShowDialog(commandLine && *commandLine ? commandLine : L"search", device.GetHwnd());
    if (g_hook)
        UnhookWindowsHookEx(g_hook);
    return 0;
}
