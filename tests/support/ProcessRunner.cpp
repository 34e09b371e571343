// Process start with a time limit, and paths of the built programs.
#include "tests/support/ProcessRunner.h"

bool StartProcess(const CString& program, const CString& arguments, const wchar_t* workingDirectory,
                  PROCESS_INFORMATION& process)
{
    CString commandLine = QuoteArgument(program);
    if (!arguments.IsEmpty())
        commandLine += L" " + arguments;
    for (int attempt = 0; attempt < 3; ++attempt) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        process = PROCESS_INFORMATION();
        // CreateProcessW may write into the command line buffer: a fresh copy for each try.
        CString buffer = commandLine;
        wchar_t* text = buffer.GetBuffer(buffer.GetLength() + 1);
        BOOL started = CreateProcessW(program, text, nullptr, nullptr, FALSE, 0, nullptr, workingDirectory,
                                      &startup, &process);
        DWORD error = GetLastError();
        buffer.ReleaseBuffer();
        if (started)
            return true;
        if (error != ERROR_INTERNAL_ERROR) {
            SetLastError(error);
            return false;
        }
    }
    return false;
}

SProcessResult RunProcess(const CString& program, const CString& arguments, DWORD timeoutMs,
                          const wchar_t* workingDirectory)
{
    SProcessResult result;
    PROCESS_INFORMATION process = {};
    if (!StartProcess(program, arguments, workingDirectory, process))
        return result;
    result.started = true;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        result.finished = true;
        GetExitCodeProcess(process.hProcess, &result.exitCode);
    } else {
        TerminateProcess(process.hProcess, 255);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

CString BuiltFile(const wchar_t* relativePath)
{
    // The build directory is a Linux path; Wine shows the Linux root as drive Z:.
    CString path = L"Z:";
    const char* dir = HIVELET_BINARY_DIR;
    for (const char* p = dir; *p; ++p)
        path += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
    path += L"\\";
    for (const wchar_t* p = relativePath; *p; ++p)
        path += *p == L'/' ? L'\\' : *p;
    return path;
}

CString QuoteArgument(const CString& argument)
{
    if (argument.Find(L' ') < 0)
        return argument;
    return L"\"" + argument + L"\"";
}
