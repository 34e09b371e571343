// Starts a built program as a user would (under Wine, as a Windows process) and waits for it.
#pragma once

#include "shd/String.h"

#include <windows.h>

struct SProcessResult
{
    bool started = false;
    bool finished = false; // false: the time limit passed and the process was ended
    DWORD exitCode = 0;
};

// Runs "program" arguments with the working directory given (or the current one).
SProcessResult RunProcess(const CString& program, const CString& arguments, DWORD timeoutMs,
                          const wchar_t* workingDirectory = nullptr);

// Starts "program" arguments (CreateProcessW). Wine now and then fails a start with
// ERROR_INTERNAL_ERROR (about one start in a few hundred on a busy machine); such a start is
// tried again, up to three times. The caller closes both handles.
bool StartProcess(const CString& program, const CString& arguments, const wchar_t* workingDirectory,
                  PROCESS_INFORMATION& process);

// Windows path of a file in the build tree, e.g. BuiltFile(L"app/Hivelet.exe").
CString BuiltFile(const wchar_t* relativePath);

// Quotes an argument for the command line when it holds a space.
CString QuoteArgument(const CString& argument);
