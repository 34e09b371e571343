// Whole-branch operations, synchronous, reporting only their end state.
//   DeleteKeyTree      the key and everything below it; true when the key is gone. A root
//                      with an empty path is refused (false) and left untouched.
//   DeleteKeyContents  every subkey branch and value, keeping the key; true when it is empty
//                      (or cannot be opened)
//   DeleteAllValues    every value; true when none is left (or the key cannot be opened)
//   CopyKeyTree        class, values and subkeys, recursively, onto the target (created when
//                      missing, other contents kept); true when every item was copied. The
//                      source branch's names are all read before the first write, so a target
//                      inside the source copies the branch as it stood, once.
// Every walk opens each key relative to its parent, so no depth is too deep.
// A count that cannot be read counts as a failure, never as an empty key.
// The parent is a root handle or an open key's handle; an empty path means the parent itself.
#pragma once

#include <windows.h>

bool DeleteKeyTree(HKEY parent, const wchar_t* path);
bool DeleteKeyContents(HKEY parent, const wchar_t* path);
bool DeleteAllValues(HKEY parent, const wchar_t* path);
bool CopyKeyTree(HKEY sourceParent, const wchar_t* sourcePath, HKEY targetParent, const wchar_t* targetPath);
