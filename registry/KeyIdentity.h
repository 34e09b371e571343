// Whether two spellings name one key. One key is often reachable by two paths (HKEY_CURRENT_USER
// is HKEY_USERS\<sid>, HKEY_CLASSES_ROOT shows HKEY_LOCAL_MACHINE\Software\Classes, registry
// links join two paths of one root), so the spelling alone cannot tell. The test writes a
// short-lived marker value through one path and looks for it through the other, with the basic
// registry operations only, so it works alike on the handheld and on the desktop.
//   IsSameKey(rootA, pathA, rootB, pathB)           one key
//   IsSameOrBelowKey(root, path, topRoot, topPath)  (root, path) is the key (topRoot, topPath)
//                                                   or lies somewhere below it
//   IsKeyIdentityMarker(valueName)                  the name of a marker value (which lives only
//                                                   for the length of one test)
// Equal spellings decide at once without a registry call. When no marker can be written (the
// key is missing or cannot be written), the spelling decides.
#pragma once

#include <windows.h>

bool IsSameKey(HKEY rootA, const wchar_t* pathA, HKEY rootB, const wchar_t* pathB);
bool IsSameOrBelowKey(HKEY root, const wchar_t* path, HKEY topRoot, const wchar_t* topPath);
bool IsKeyIdentityMarker(const wchar_t* valueName);
