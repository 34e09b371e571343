// The desktop uninstaller's run: uninstall entry, package files, then the self-deleting batch file.
#pragma once

#include "shd/String.h"

#include <windows.h>

class CUninstaller
{
public:
    // The program's own path and folder as the steps use them.
    CUninstaller(const CString& programPath, const CString& programFolder);

    // Every step in order; a failing step is silent and never stops the later ones.
    void Run() const;

    // Removes the entry with its whole branch from the desktop's list of installed programs.
    static void DeleteUninstallEntry();

    // Clears the attributes of each package file in the folder and deletes it.
    static void DeletePackageFiles(const CString& programFolder);

    // Writes the batch file beside the program folder and starts it; a batch file that was not
    // written whole or could not be started is deleted again. False when it is not running.
    bool StartSelfDelete() const;

    CString GetBatchPath() const;

private:
    CString m_programPath;
    CString m_programFolder;
};

// Names in the program's folder and above it.
extern const wchar_t kBatchFileName[];
extern const wchar_t* const kPackageFileNames[2];
// The uninstall entry below HKEY_LOCAL_MACHINE.
extern const wchar_t kUninstallParentPath[];
extern const wchar_t kUninstallEntryName[];
