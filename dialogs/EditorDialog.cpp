// The editing dialogs' common frame: command bar, Back key, activation, title.
#include "dialogs/EditorDialog.h"

#include "shd/DeviceInfo.h"
#include "shd/MessageBox.h"
#include "shd/ShdWnd.h"

CEditorDialog::CEditorDialog(const wchar_t* title, bool inputPanel) : m_title(title)
{
    SetFullScreen(true);
    GetPpcHelper().SetHeader(title);
    GetPpcHelper().NoVerticalScroll();
    if (inputPanel)
        GetPpcHelper().EnableInputPanel();
}

INT_PTR CEditorDialog::Run(HWND parent, UINT templateId)
{
    return DoModal(Instance(), templateId, parent, 0);
}

void CEditorDialog::SetTitle(const wchar_t* title)
{
    m_title = title;
    GetPpcHelper().SetHeaderText(title);
    if (m_hwnd)
        SetWindowTextW(m_hwnd, title);
}

INT_PTR CEditorDialog::PreProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(m_hwnd, m_title);
        return 0;
    case WM_ACTIVATE:
    case WM_SETTINGCHANGE:
        HandleShellMessage(message, wParam, lParam);
        return 0;
    case WM_HOTKEY:
        return HandleShellMessage(message, wParam, lParam) ? 1 : 0;
    case WM_CLOSE:
        EndDialog(m_hwnd, kCancelled);
        return 1;
    }
    return 0;
}

CString CEditorDialog::ItemText(int id) const
{
    return CShdWnd::QueryWindowText(Item(id), L"");
}

void CEditorDialog::Error(const wchar_t* text)
{
    ShowErrorMessage(m_hwnd, text);
}
