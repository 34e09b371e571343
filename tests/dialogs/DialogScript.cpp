// Scripts run from a thread timer, which the dialog's own message loop dispatches.
#include "tests/dialogs/DialogScript.h"

#include <commctrl.h>

#include <map>

namespace {

struct SPendingScript
{
    HWND dialog;
    DialogScript script;
};

std::map<UINT_PTR, SPendingScript>& PendingScripts()
{
    static std::map<UINT_PTR, SPendingScript> scripts;
    return scripts;
}

void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto found = PendingScripts().find(id);
    if (found == PendingScripts().end())
        return;
    SPendingScript pending = std::move(found->second);
    PendingScripts().erase(found);
    pending.script(pending.dialog);
    PostMessageW(pending.dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

void ExpectDialog(CDialogDriver& driver, DialogScript script)
{
    driver.Expect([script](HWND dialog) {
        UINT_PTR id = SetTimer(nullptr, 0, 0, RunScript);
        PendingScripts()[id] = {dialog, script};
    });
}

void SendCommand(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SendClick(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    SendMessageW(button, BM_CLICK, 0, 0);
}

bool IsItemVisible(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item && (GetWindowLongPtrW(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

HWND DialogFocus(HWND dialog)
{
    if (GetActiveWindow() != dialog)
        SetActiveWindow(dialog);
    return GetFocus();
}

HWND FindCommandBar(HWND dialog)
{
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, TOOLBARCLASSNAMEW, nullptr));) {
        if (GetWindow(window, GW_OWNER) == dialog)
            return window;
    }
    return nullptr;
}

bool HasBarButton(HWND bar, int command)
{
    return SendMessageW(bar, TB_COMMANDTOINDEX, command, 0) >= 0;
}

bool IsBarButtonEnabled(HWND bar, int command)
{
    return SendMessageW(bar, TB_ISBUTTONENABLED, command, 0) != 0;
}
