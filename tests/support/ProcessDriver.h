// Drives a started program as a user at the screen would: records each message box the
// process shows (caption, text, buttons, icon) and answers it from a script.
//   CProcessDriver run;
//   run.QueueAnswer(IDYES);                 // optional; once used up: IDOK, questions IDNO
//   ASSERT_TRUE(run.Start(program, arguments));
//   ASSERT_TRUE(run.WaitForExit(30000));    // false: limit passed, the process was ended
//   run.ExitCode(), run.Boxes()[0].text ...
// A message box is a "#32770" top-level window of the process with the box's text static
// (id 0xFFFF) and icon static (0x0440 under Wine, 0x0014 on Windows); the program's own
// dialogs have neither. Waiting polls the windows between short waits on the process handle.
// The destructor ends a process that is still running.
#pragma once

#include "shd/String.h"

#include <windows.h>

#include <deque>
#include <vector>

class CProcessDriver
{
public:
    struct SBox
    {
        HWND window = nullptr;
        CString caption;
        CString text;
        UINT buttons = MB_OK; // MB_OK, MB_OKCANCEL, MB_YESNO or MB_YESNOCANCEL
        bool hasIcon = false;
        int answer = 0; // 0 while held unanswered
    };

    CProcessDriver() = default;
    ~CProcessDriver();
    CProcessDriver(const CProcessDriver&) = delete;
    CProcessDriver& operator=(const CProcessDriver&) = delete;

    void QueueAnswer(int answer) { m_answers.push_back(answer); }

    bool Start(const CString& program, const CString& arguments, const wchar_t* workingDirectory = nullptr);
    // Answers boxes until the process ends; false when the limit passed (the process is then ended).
    bool WaitForExit(DWORD limitMs);
    // Answers boxes until the process shows a top-level window of the class; null when it ends
    // first or the limit passes (the process keeps running).
    HWND WaitForWindow(const wchar_t* className, DWORD limitMs);
    // Waits for the next message box and records it without answering it; it is answered by
    // the next wait. False when the process ends first or the limit passes.
    bool WaitForBox(DWORD limitMs);
    void Terminate();

    bool IsRunning() const;
    DWORD ProcessId() const { return m_processId; }
    HANDLE Process() const { return m_process; }
    DWORD ExitCode() const { return m_exitCode; }
    // Milliseconds from Start to the end that WaitForExit saw.
    DWORD ElapsedMs() const { return m_elapsedMs; }
    const std::vector<SBox>& Boxes() const { return m_boxes; }

    // The top-level window of a class that the process shows, or null.
    HWND FindWindowOfClass(const wchar_t* className) const;

private:
    enum EWait
    {
        kWaitExit,
        kWaitWindow,
        kWaitBox
    };
    bool Wait(EWait what, const wchar_t* className, DWORD limitMs, HWND* found);
    // Records new boxes; answers every recorded one unless holding. Returns how many are new.
    size_t Scan(bool hold);
    static BOOL CALLBACK CollectWindow(HWND window, LPARAM state);
    static bool IsMessageBox(HWND window);
    int NextAnswer(UINT buttons);

    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    DWORD m_exitCode = STILL_ACTIVE;
    ULONGLONG m_startTick = 0;
    DWORD m_elapsedMs = 0;
    std::deque<int> m_answers;
    std::vector<SBox> m_boxes;
};
