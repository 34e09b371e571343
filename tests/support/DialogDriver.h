// Drives modal dialogs shown on the test's own thread: a WH_CBT hook hands each newly
// activated dialog to the next scripted handler, which fills controls and posts a command.
#pragma once

#include "shd/String.h"

#include <windows.h>

#include <deque>
#include <functional>

class CDialogDriver
{
public:
    using Handler = std::function<void(HWND dialog)>;

    CDialogDriver();
    ~CDialogDriver();
    CDialogDriver(const CDialogDriver&) = delete;
    CDialogDriver& operator=(const CDialogDriver&) = delete;

    // The next activated window of the class (dialogs by default) goes to handler.
    void Expect(Handler handler, const wchar_t* className = L"#32770");
    int HandledCount() const { return m_handled; }
    bool AllHandled() const { return m_pending.empty(); }

    // What handlers usually do.
    static void PostCommand(HWND dialog, int id);
    static void SetItemText(HWND dialog, int id, const wchar_t* text);
    static CString GetItemText(HWND dialog, int id);
    static void SetCheck(HWND dialog, int id, bool checked);

private:
    struct SPending
    {
        Handler handler;
        CString className;
    };

    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND window);

    HHOOK m_hook;
    std::deque<SPending> m_pending;
    int m_handled = 0;
    CDialogDriver* m_outer;
};
