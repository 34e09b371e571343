// Path rules of the uninstaller: the running program's path, folders above it, names beside them.
#pragma once

#include "shd/String.h"

#include <windows.h>

// Full path of the module, at most MAX_PATH characters; empty when it cannot be read.
CString GetProgramPath(HINSTANCE instance);

// The path up to, not including, its last backslash; "\" when that backslash is the first
// character; empty when there is no backslash.
CString GetFolderOfPath(const CString& path);

// The folder, a backslash unless it already ends in one, and the name. An empty folder
// gives the name alone.
CString JoinFolderAndName(const CString& folder, const wchar_t* name);
