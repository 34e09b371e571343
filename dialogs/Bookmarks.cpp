// Loading and saving the bookmark list, adding one, and the location rules.
#include "dialogs/Bookmarks.h"

#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"

const wchar_t kBookmarksKeyPath[] = L"SOFTWARE\\Ordwyn\\Keyhaven\\Bookmarks";

namespace {

const wchar_t kCountName[] = L"count";

CString ItemName(int index)
{
    CString name;
    name.Format(L"item_%i", index);
    return name;
}

// A "count" above the number of values the key holds cannot be right (each item is a value of
// its own); reading up to a damaged count of billions would never end. When the key cannot
// tell how many values it holds, the count stands: an empty list would be saved over the
// bookmarks by the next change.
DWORD BoundedCount(const CShdRegKey& key)
{
    DWORD subKeys = 0, values = 0;
    const DWORD count = key.GetDword(kCountName, 0);
    if (!key.QueryCounts(subKeys, values))
        return count;
    return count < values ? count : values;
}

} // namespace

void LoadBookmarks(CBookmarkList& list)
{
    list.RemoveAll();
    CShdRegKey key(false);
    if (!key.Open(HKEY_LOCAL_MACHINE, kBookmarksKeyPath))
        return;
    const DWORD count = BoundedCount(key);
    for (DWORD i = 0; i < count; ++i) {
        CString text = key.GetString(ItemName(int(i)), L"");
        if (!text.IsEmpty())
            list.Add(text);
    }
}

// The items are written before "count": a save cut short leaves the old count over items that
// are either new or old, so no bookmark that is in both the old and the new list goes missing.
void SaveBookmarks(const CBookmarkList& list)
{
    CShdRegKey key(true);
    if (!key.Create(HKEY_LOCAL_MACHINE, kBookmarksKeyPath))
        return;
    const DWORD oldCount = BoundedCount(key);
    const int count = list.GetSize();
    for (int i = 0; i < count; ++i)
        key.SetString(ItemName(i), list[i]);
    key.SetDword(kCountName, DWORD(count));
    for (DWORD i = DWORD(count); i < oldCount; ++i)
        key.DeleteValue(ItemName(int(i)));
    key.Close();
}

EAddBookmarkResult AddBookmark(HKEY root, const wchar_t* keyPath)
{
    CString location = BookmarkLocation(root, keyPath);
    CBookmarkList list;
    LoadBookmarks(list);
    if (FindBookmark(list, location) >= 0)
        return EAddBookmarkResult::kAlreadyExists;
    list.Add(location);
    SaveBookmarks(list);
    return EAddBookmarkResult::kAdded;
}

CString BookmarkLocation(HKEY root, const wchar_t* keyPath)
{
    CString location = RootKeyShortName(root);
    if (keyPath && *keyPath)
        location += CString(L"\\") + keyPath;
    return location;
}

int FindBookmark(const CBookmarkList& list, const wchar_t* text, int skip)
{
    for (int i = 0; i < list.GetSize(); ++i) {
        if (i != skip && list[i].EqualsNoCase(text))
            return i;
    }
    return -1;
}

bool IsValidBookmarkLocation(const wchar_t* text)
{
    CString location(text);
    int length = location.GetLength();
    if (length == 0 || location[length - 1] == L'\\' || location.Find(L"\\\\") >= 0)
        return false;
    CString path;
    return SplitKeyPath(location, path) != nullptr;
}
