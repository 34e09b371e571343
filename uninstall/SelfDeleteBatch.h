// The batch file that removes the uninstaller and its folder once the uninstaller has ended.
#pragma once

#include "shd/String.h"

#include <windows.h>

#include <string>

class CSelfDeleteBatch
{
public:
    static const int kLineCount = 7;

    CSelfDeleteBatch(const CString& programPath, const CString& programFolder);

    // The lines without their line ends.
    const CString& GetLine(int index) const { return m_lines[index]; }

    // Writes every line in the ANSI code page followed by CR LF. False when the file cannot be
    // created, or when a line cannot be converted or written whole; such a file is deleted again.
    bool Write(const CString& batchPath) const;

    // Starts the batch file hidden with the "open" verb, in the given folder (none when empty).
    static bool Start(const CString& batchPath, const CString& directory);

private:
    CString m_lines[kLineCount];

    bool WriteLines(HANDLE file) const;
};

// A path as batch text: cmd expands "%" even inside quotes, so each one is doubled.
CString EscapeForBatch(const CString& path);

// The text in the ANSI code page; false when a character has no exact equivalent there
// (a stand-in such as "?" would be a wildcard in a batch command).
bool ConvertToAnsi(const CString& text, std::string& out);
