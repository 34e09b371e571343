// The four registry roots, their names, and full key paths ("HKEY_LOCAL_MACHINE\Software").
//   Root handles are the predefined HKEY values; RootKeyValue/RootKeyFromValue convert to and
//   from the 32-bit handle numbers 0x80000000..0x80000003 (0 = no root) that settings store.
#pragma once

#include "shd/String.h"

#include <windows.h>

extern const HKEY kRootKeys[4]; // in the order every walk uses

DWORD RootKeyValue(HKEY root);
HKEY RootKeyFromValue(DWORD value);
bool IsRootKey(HKEY key);

const wchar_t* RootKeyLongName(HKEY root);  // nullptr for other handles
const wchar_t* RootKeyShortName(HKEY root); // "" for other handles
HKEY ParseRootKeyName(const wchar_t* text); // long or short names, any case; else nullptr
HKEY ParseRootKeyLongName(const wchar_t* text);

// Splits "ROOT\sub\path" at the first backslash; the root is null when its name is unknown.
// longNamesOnly chooses ParseRootKeyLongName over ParseRootKeyName.
HKEY SplitKeyPath(const wchar_t* text, CString& subkeyPath, bool longNamesOnly = false);

// "HKEY_LOCAL_MACHINE\path", or the root's name alone for an empty path.
CString FullKeyPath(HKEY root, const wchar_t* subkeyPath);
