// Message boxes of another process: found by enumerating the top-level windows, read with
// WM_GETTEXT (copied across processes by the system) and answered with a posted WM_COMMAND.
#include "tests/support/ProcessDriver.h"

#include "tests/support/ProcessRunner.h"

namespace {

// Short enough that a box is answered about as fast as a user would see it.
const DWORD kPollMs = 10;

const int kTextId = 0xFFFF;
const int kWineIconId = 0x0440;
const int kWindowsIconId = 0x0014;

struct SCollect
{
    DWORD processId;
    std::vector<HWND> windows;
};

CString WindowText(HWND window)
{
    CString text;
    int length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    if (length <= 0)
        return text;
    wchar_t* buffer = text.GetBuffer(length + 1);
    LRESULT copied = SendMessageW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buffer));
    buffer[copied >= 0 && copied <= length ? copied : 0] = 0;
    text.ReleaseBuffer();
    return text;
}

bool HasClass(HWND window, const wchar_t* className)
{
    wchar_t name[256];
    return GetClassNameW(window, name, ARRAYSIZE(name)) > 0 && _wcsicmp(name, className) == 0;
}

HWND IconStatic(HWND box)
{
    HWND icon = GetDlgItem(box, kWineIconId);
    return icon ? icon : GetDlgItem(box, kWindowsIconId);
}

} // namespace

CProcessDriver::~CProcessDriver()
{
    if (IsRunning())
        Terminate();
    if (m_process)
        CloseHandle(m_process);
}

bool CProcessDriver::Start(const CString& program, const CString& arguments, const wchar_t* workingDirectory)
{
    if (m_process)
        return false;
    PROCESS_INFORMATION process = {};
    m_startTick = GetTickCount64();
    if (!StartProcess(program, arguments, workingDirectory, process))
        return false;
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;
    m_exitCode = STILL_ACTIVE;
    return true;
}

bool CProcessDriver::IsRunning() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

bool CProcessDriver::WaitForExit(DWORD limitMs)
{
    return Wait(kWaitExit, nullptr, limitMs, nullptr);
}

HWND CProcessDriver::WaitForWindow(const wchar_t* className, DWORD limitMs)
{
    HWND found = nullptr;
    return Wait(kWaitWindow, className, limitMs, &found) ? found : nullptr;
}

bool CProcessDriver::WaitForBox(DWORD limitMs)
{
    return Wait(kWaitBox, nullptr, limitMs, nullptr);
}

void CProcessDriver::Terminate()
{
    if (!m_process)
        return;
    TerminateProcess(m_process, 255);
    WaitForSingleObject(m_process, 5000);
    GetExitCodeProcess(m_process, &m_exitCode);
    m_elapsedMs = static_cast<DWORD>(GetTickCount64() - m_startTick);
}

bool CProcessDriver::Wait(EWait what, const wchar_t* className, DWORD limitMs, HWND* found)
{
    if (!m_process)
        return false;
    ULONGLONG begin = GetTickCount64();
    for (;;) {
        size_t fresh = Scan(what == kWaitBox);
        if (what == kWaitBox && fresh > 0)
            return true;
        if (what == kWaitWindow) {
            *found = FindWindowOfClass(className);
            if (*found)
                return true;
        }
        if (WaitForSingleObject(m_process, kPollMs) == WAIT_OBJECT_0) {
            m_elapsedMs = static_cast<DWORD>(GetTickCount64() - m_startTick);
            GetExitCodeProcess(m_process, &m_exitCode);
            return what == kWaitExit;
        }
        if (GetTickCount64() - begin > limitMs) {
            if (what == kWaitExit)
                Terminate();
            return false;
        }
    }
}

BOOL CALLBACK CProcessDriver::CollectWindow(HWND window, LPARAM state)
{
    auto* collect = reinterpret_cast<SCollect*>(state);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == collect->processId)
        collect->windows.push_back(window);
    return TRUE;
}

HWND CProcessDriver::FindWindowOfClass(const wchar_t* className) const
{
    SCollect collect = {m_processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&collect));
    for (HWND window : collect.windows) {
        if (IsWindowVisible(window) && HasClass(window, className))
            return window;
    }
    return nullptr;
}

bool CProcessDriver::IsMessageBox(HWND window)
{
    // Visible: the box has finished WM_INITDIALOG, so its texts and buttons are in place.
    return IsWindowVisible(window) && HasClass(window, L"#32770") && GetDlgItem(window, kTextId) &&
           IconStatic(window) && HasClass(IconStatic(window), L"Static");
}

size_t CProcessDriver::Scan(bool hold)
{
    SCollect collect = {m_processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&collect));
    size_t fresh = 0;
    for (HWND window : collect.windows) {
        if (!IsMessageBox(window))
            continue;
        bool known = false;
        for (const SBox& box : m_boxes) {
            // A box already recorded is only answered once; handles are not reused at once
            // (Wine's carry a generation count), so a new box has a new handle.
            known = known || box.window == window;
        }
        if (known)
            continue;
        SBox box;
        box.window = window;
        box.caption = WindowText(window);
        box.text = WindowText(GetDlgItem(window, kTextId));
        bool yes = GetDlgItem(window, IDYES) != nullptr;
        bool cancel = GetDlgItem(window, IDCANCEL) != nullptr;
        box.buttons = yes ? (cancel ? MB_YESNOCANCEL : MB_YESNO) : (cancel ? MB_OKCANCEL : MB_OK);
        box.hasIcon = SendMessageW(IconStatic(window), STM_GETICON, 0, 0) != 0;
        m_boxes.push_back(box);
        ++fresh;
    }
    if (!hold) {
        for (SBox& box : m_boxes) {
            if (box.answer || !IsWindow(box.window))
                continue;
            box.answer = NextAnswer(box.buttons);
            PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(box.answer, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box.window, box.answer)));
        }
    }
    return fresh;
}

int CProcessDriver::NextAnswer(UINT buttons)
{
    if (!m_answers.empty()) {
        int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDNO : IDOK;
}
