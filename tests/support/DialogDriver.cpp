// CBT-hook dialog driver; one per thread at a time (nested drivers stack).
#include "tests/support/DialogDriver.h"

namespace {

thread_local CDialogDriver* t_driver = nullptr;

} // namespace

CDialogDriver::CDialogDriver() : m_outer(t_driver)
{
    m_hook = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
    m_shownHook = SetWindowsHookExW(WH_CALLWNDPROCRET, ShownHookProc, nullptr, GetCurrentThreadId());
    t_driver = this;
}

CDialogDriver::~CDialogDriver()
{
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    if (m_shownHook)
        UnhookWindowsHookEx(m_shownHook);
    t_driver = m_outer;
}

void CDialogDriver::Expect(Handler handler, const wchar_t* className)
{
    m_pending.push_back({std::move(handler), className});
}

LRESULT CALLBACK CDialogDriver::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && t_driver)
        t_driver->OnActivate(reinterpret_cast<HWND>(wParam));
    if (code == HCBT_DESTROYWND && t_driver)
        t_driver->OnDestroy(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CDialogDriver::ShownHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && t_driver && call->message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW))
        t_driver->OnShown(call->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CDialogDriver::OnActivate(HWND window)
{
    if (m_pending.empty() || m_hidden)
        return;
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (!m_pending.front().className.EqualsNoCase(className))
        return;
    if (IsWindowVisible(window))
        Handle(window);
    else
        m_hidden = window;
}

void CDialogDriver::OnShown(HWND window)
{
    if (window != m_hidden || !IsWindowVisible(window))
        return;
    m_hidden = nullptr;
    Handle(window);
}

// A dialog that ends before it is shown leaves its handler to the next one.
void CDialogDriver::OnDestroy(HWND window)
{
    if (window == m_hidden)
        m_hidden = nullptr;
}

void CDialogDriver::Handle(HWND window)
{
    Handler handler = std::move(m_pending.front().handler);
    m_pending.pop_front();
    ++m_handled;
    handler(window);
}

void CDialogDriver::PostCommand(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void CDialogDriver::SetItemText(HWND dialog, int id, const wchar_t* text)
{
    SetDlgItemTextW(dialog, id, text);
}

CString CDialogDriver::GetItemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthW(item);
    CString text;
    GetWindowTextW(item, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
    return text;
}

void CDialogDriver::SetCheck(HWND dialog, int id, bool checked)
{
    SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
