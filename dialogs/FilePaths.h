// Path helpers of the file selection dialog. Paths use backslashes; "\" is the root folder.
#pragma once

#include "shd/String.h"

// The text with one backslash appended unless it ends with one ("" becomes "\").
CString AddBackslash(const CString& text);
// Removes one trailing backslash from a text of at least 2 characters.
CString RemoveTrailingBackslash(const CString& text);
// Name: after the last backslash. Folder: up to it, without it unless it is the folder's only
// character ("\name" gives "\"). Without a backslash: folder "" and the whole path as name.
void SplitFilePath(const CString& path, CString& folder, CString& name);
// Cuts the last component off folder and returns it ("\a\b" -> "b", folder "\a"; "\a" -> "a",
// folder "\"); without a backslash the folder becomes "" and "" is returned.
CString SplitLastFolder(CString& folder);
// From the last "." to the end when that dot follows the last backslash; else "".
CString GetExtension(const CString& name);
// False when the name holds one of \ / : * ? " < > |
bool IsValidFileName(const CString& name);
// The root of the device or of a drive ("", "\", "C:", "C:\"): a folder without a parent entry.
bool IsRootFolder(const CString& folder);
