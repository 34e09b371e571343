// CRegTree: the key tree of the main window. One top item, "Registry", holds the four roots;
// keys are loaded one level at a time when first expanded (until then a key's expand button
// is decided by one count of its subkeys when the control first draws or expands it), children
// are kept in case-insensitive name order, and items convert to and from (root, path) pairs. A
// path has no leading backslash; "" is the root itself.
#pragma once

#include "shd/ShdObjArray.h"
#include "shd/ShdWnd.h"
#include "shd/String.h"

#include <windows.h>
#include <commctrl.h>

class CRegTree : public CShdWnd
{
public:
    // Item data flags.
    static const LPARAM kFilled = 1; // children loaded, or the key has none

    static const wchar_t kRegistryLabel[];

    // The rename record of an accepted label edit.
    struct SRenameInfo
    {
        HTREEITEM item = nullptr;
        HKEY root = nullptr;
        CString parentPath;
        CString oldName;
        CString newName;
    };

    CRegTree() = default;
    ~CRegTree() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool Create(DWORD exStyle, const wchar_t* caption, DWORD style, int x, int y, int width, int height,
                HWND parent, UINT id, HINSTANCE instance);
    void Reload();
    void OnItemExpanding(const NMTREEVIEWW* info);
    // TVN_GETDISPINFO: the expand button of a key not loaded yet.
    void OnGetDispInfo(NMTVDISPINFOW* info);
    void Refill(HTREEITEM item);
    // nullptr or the "Registry" item: every root key.
    void Refresh(HTREEITEM item);

    bool GetItemPath(HTREEITEM item, HKEY& root, CString& path) const;
    HTREEITEM FindItem(HKEY root, const wchar_t* path) const;
    HTREEITEM FindChild(HTREEITEM parent, const wchar_t* name) const;
    bool SelectPath(HKEY root, const wchar_t* path);
    void DeleteItem(HKEY root, const wchar_t* path);
    void SetItemText(HTREEITEM item, const wchar_t* text);

    void MarkCut(HKEY root, const wchar_t* path);
    void UnmarkCut();

    // False: the edit may begin. The "Registry" item and the roots are refused (true).
    bool OnBeginLabelEdit(const NMTVDISPINFOW* info);
    // True when the edit ended with a text.
    bool OnEndLabelEdit(const NMTVDISPINFOW* info);
    const SRenameInfo& GetRenameInfo() const { return m_rename; }

    HTREEITEM GetRegistryItem() const { return m_registry; }
    HTREEITEM GetSelection() const;
    bool GetItemLabel(HTREEITEM item, CString& label) const;
    // Loaded, or nothing to load: a key without subkeys.
    bool IsFilled(HTREEITEM item) const { return (GetItemFlags(item) & kFilled) != 0 || !HasButton(item); }
    bool HasButton(HTREEITEM item) const;
    bool IsExpanded(HTREEITEM item) const;

    // Same root, and pathA below pathB (or equal to it with includeSelf); no regard to case.
    static bool IsSameOrBelow(HKEY rootA, const wchar_t* pathA, HKEY rootB, const wchar_t* pathB,
                              bool includeSelf);
    // "HKEY_LOCAL_MACHINE\path", the root's label alone for an empty path, "" for an unknown root.
    static CString FormatFullPath(HKEY root, const wchar_t* path);

private:
    class CBusy; // wait cursor and redraw off for a bulk change

    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const wchar_t* label, LPARAM flags);
    // Back to not loaded, its button to be decided again.
    void ResetChildren(HTREEITEM item);
    void FillRoots();
    void FillChildren(HTREEITEM item);
    void RefreshItem(HTREEITEM item);
    void DeleteChildren(HTREEITEM item);
    void SortChildren(HTREEITEM parent);
    LPARAM GetItemFlags(HTREEITEM item) const;
    void SetItemFlags(HTREEITEM item, LPARAM flags);
    void SetItemImages(HTREEITEM item, int image, int selectedImage);
    void SetItemChildren(HTREEITEM item, int children);
    bool IsCutMarked(HTREEITEM item) const;
    HTREEITEM GetChild(HTREEITEM item) const;
    HTREEITEM GetNext(HTREEITEM item) const;
    HTREEITEM GetParent(HTREEITEM item) const;
    bool IsBelow(HTREEITEM item, HTREEITEM ancestor) const;
    void NoteLabelLength(const wchar_t* label);

    HTREEITEM m_registry = nullptr;
    HIMAGELIST m_images = nullptr;
    int m_longestLabel = 0;
    SRenameInfo m_rename;
    bool m_cutActive = false;
    HKEY m_cutRoot = nullptr;
    CString m_cutPath;
};

class CShdRegKey;

// Reads a key's subkey names into names, sorted without regard to case; a name that cannot be
// read is stepped over. False when the key cannot be opened or its counts cannot be read.
bool ReadSortedSubkeys(HKEY root, const wchar_t* path, CShdObjArray<CString>& names);
bool ReadSortedSubkeys(const CShdRegKey& key, CShdObjArray<CString>& names);
