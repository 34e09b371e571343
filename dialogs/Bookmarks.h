// The bookmark store: saved key locations under HKLM\SOFTWARE\Ordwyn\Keyhaven\Bookmarks as
// "count" (REG_DWORD) and "item_0" ... "item_<count - 1>" (REG_SZ), and the location text:
// a root's short name and, below a root, a backslash and the path ("HKLM\Software\Apps").
// Two locations are the same bookmark when they are equal without regard to case.
#pragma once

#include "shd/ShdObjArray.h"
#include "shd/String.h"

#include <windows.h>

using CBookmarkList = CShdObjArray<CString>;

extern const wchar_t kBookmarksKeyPath[];

enum class EAddBookmarkResult
{
    kAdded,
    kAlreadyExists
};

// Empty and missing items are skipped; a missing key gives an empty list. No more items are
// read than the key holds values, whatever "count" says.
void LoadBookmarks(CBookmarkList& list);
// Write errors are not reported.
void SaveBookmarks(const CBookmarkList& list);
// Loads the list, appends the key's location unless present, and saves.
EAddBookmarkResult AddBookmark(HKEY root, const wchar_t* keyPath);

CString BookmarkLocation(HKEY root, const wchar_t* keyPath);
// Index of a bookmark equal to text without regard to case, leaving out the one at skip; or -1.
int FindBookmark(const CBookmarkList& list, const wchar_t* text, int skip = -1);
// Not empty, no backslash at the end or two in a row, and a root name that is known.
bool IsValidBookmarkLocation(const wchar_t* text);
