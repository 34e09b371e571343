// CProgressDlg: waits for a background job's done event while keeping the user-interface
// thread's messages flowing. The dialog (template 116) stays hidden until the job has run for
// the delay; the owner is disabled meanwhile. Run returns true when the event was signalled or
// the dialog was closed (the caller then waits for the job), false on Cancel or a quit message
// (the quit message is posted again).
#pragma once

#include "shd/ShdDialog.h"
#include "shd/String.h"

#include <windows.h>

class CProgressDlg : public CShdDialog
{
public:
    CProgressDlg() = default;
    ~CProgressDlg() override;

    bool Run(HWND parent, const wchar_t* text, UINT delayMs, HANDLE waitHandle);
    // Whether the dialog became visible during the last Run (for the callers' tests).
    bool WasShown() const { return m_shown; }

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static const UINT_PTR kShowTimer = 100;

    void OnInitDialog();
    void OnShowTimer();
    bool PumpMessages();

    UINT m_delay = 0;
    CString m_text;
    bool m_cancelled = false;
    bool m_shown = false;
};
