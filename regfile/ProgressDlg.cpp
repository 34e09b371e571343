// The delayed progress dialog and its message loop.
#include "regfile/ProgressDlg.h"

#include "platform/DeviceScreen.h"
#include "res/resource.h"

CProgressDlg::~CProgressDlg()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

bool CProgressDlg::Run(HWND parent, const wchar_t* text, UINT delayMs, HANDLE waitHandle)
{
    m_delay = delayMs;
    m_text = text;
    m_cancelled = false;
    m_shown = false;
    if (!CreateModeless(GetModuleHandleW(nullptr), IDD_PROGRESS, parent, 0))
        return false;
    bool reenable = false;
    if (parent) {
        UpdateWindow(parent);
        if (IsWindowEnabled(parent)) {
            EnableWindow(parent, FALSE);
            reenable = true;
        }
    }
    while (m_hwnd) {
        DWORD wait = MsgWaitForMultipleObjectsEx(1, &waitHandle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (wait == WAIT_OBJECT_0) {
            DestroyWindow(m_hwnd);
            break;
        }
        if (wait == WAIT_FAILED) {
            // A handle that cannot be waited on would spin here for ever.
            m_cancelled = true;
            DestroyWindow(m_hwnd);
            break;
        }
        if (!PumpMessages())
            break;
    }
    if (reenable)
        EnableWindow(parent, TRUE);
    return !m_cancelled;
}

// Takes every queued message; false after a quit message.
bool CProgressDlg::PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            if (m_hwnd)
                DestroyWindow(m_hwnd);
            PostQuitMessage(static_cast<int>(message.wParam));
            m_cancelled = true;
            return false;
        }
        if (m_hwnd && IsDialogMessageW(m_hwnd, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

INT_PTR CProgressDlg::DialogProc(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return FALSE; // no focus yet: focusing a control would activate the hidden dialog
    case WM_TIMER:
        if (wParam == kShowTimer)
            OnShowTimer();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            m_cancelled = true;
            DestroyWindow(m_hwnd);
        }
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(m_hwnd); // the job runs on; Run reports it as not cancelled
        return TRUE;
    case WM_DESTROY:
        return TRUE;
    }
    return FALSE;
}

void CProgressDlg::OnInitDialog()
{
    MoveIntoDeviceScreen(m_hwnd, true);
    ShowWindow(m_hwnd, SW_HIDE);
    SetDlgItemTextW(m_hwnd, IDC_PROGRESS_TEXT, m_text);
    SetTimer(m_hwnd, kShowTimer, m_delay, nullptr);
}

void CProgressDlg::OnShowTimer()
{
    KillTimer(m_hwnd, kShowTimer);
    m_shown = true;
    ShowWindow(m_hwnd, SW_SHOW);
    SetForegroundWindow(m_hwnd);
    SetFocus(GetDlgItem(m_hwnd, IDCANCEL));
    UpdateWindow(m_hwnd);
}
