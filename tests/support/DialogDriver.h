// Drives modal dialogs shown on the test's own thread: a WH_CBT hook finds each newly
// activated dialog, and once that dialog is shown (a dialog can be activated while still
// hidden, before its modal loop shows it) it goes to the next scripted handler, which fills
// controls and posts a command.
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
    static LRESULT CALLBACK ShownHookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND window);
    void OnShown(HWND window);
    void OnDestroy(HWND window);
    void Handle(HWND window);

    HHOOK m_hook;
    HHOOK m_shownHook;
    std::deque<SPending> m_pending;
    HWND m_hidden = nullptr; // activated, its handler waiting for it to be shown
    int m_handled = 0;
    CDialogDriver* m_outer;
};
