// Shows the framework's look for a screenshot: an emulated device window with its menu bar and,
// over it, a full-screen dialog with header, separator and its own menu bar. Ends after the
// number of seconds given as first argument (default 20), or when the dialog is closed.
#include "res/resource.h"
#include "shd/ShdDialog.h"
#include "shd/ShdWnd.h"
#include "shd/ScreenScale.h"
#include "tests/shd/TestResources.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

namespace {

class CDemoDialog : public CShdDialog
{
public:
    explicit CDemoDialog(UINT seconds) : m_seconds(seconds)
    {
        SetFullScreen(true);
        GetPpcHelper().SetHeader(L"Edit String Value");
        GetPpcHelper().EnableInputPanel();
        GetPpcHelper().NoVerticalScroll();
    }

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM) override
    {
        switch (message) {
        case WM_INITDIALOG:
            CShdWnd::CreateMenuBar(m_hwnd, GetModuleHandleW(nullptr), IDR_MAIN_MENU, false);
            SetDlgItemTextW(m_hwnd, IDC_TEST_EDIT, L"HKEY_LOCAL_MACHINE\\SOFTWARE");
            SetTimer(m_hwnd, 1, m_seconds * 1000, nullptr);
            return TRUE;
        case WM_TIMER:
            EndDialog(m_hwnd, IDCANCEL);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == ID_EXIT)
                EndDialog(m_hwnd, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }

private:
    UINT m_seconds;
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, wchar_t* commandLine, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    UINT seconds = commandLine && *commandLine ? UINT(_wtoi(commandLine)) : 20;
    CShdWnd device;
    const int height = ScaleY(320) - ScaleY(26);
    if (!device.Create(0, nullptr, L"Hivelet", WS_POPUP | WS_VISIBLE, 0, 0, ScaleX(240), height, nullptr, 0,
                       instance))
        return 1;
    CShdWnd::CreateMenuBar(device.GetHwnd(), instance, IDR_MAIN_MENU, false);
    CDemoDialog dialog(seconds ? seconds : 20);
    dialog.DoModal(instance, IDD_TEST_DIALOG, device.GetHwnd(), 0);
    return 0;
}
