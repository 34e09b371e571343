// The key tree's items: paths and lookups, labels and their order, label edits, the cut mark's
// test and the tree-view item accessors.
#include "app/RegTree.h"

#include "registry/RootKeys.h"

#include <cwchar>

bool CRegTree::GetItemPath(HTREEITEM item, HKEY& root, CString& path) const
{
    root = nullptr;
    path.Empty();
    if (!item || item == m_registry)
        return false;
    CString result;
    for (HTREEITEM current = item;;) {
        HTREEITEM parent = GetParent(current);
        if (!parent)
            return false;
        CString label;
        if (!GetItemLabel(current, label))
            return false;
        if (parent == m_registry) {
            root = ParseRootKeyLongName(label);
            if (!root)
                return false;
            path = result;
            return true;
        }
        result = result.IsEmpty() ? label : label + L"\\" + result;
        current = parent;
    }
}

HTREEITEM CRegTree::FindChild(HTREEITEM parent, const wchar_t* name) const
{
    CString label;
    for (HTREEITEM child = GetChild(parent); child; child = GetNext(child)) {
        if (GetItemLabel(child, label) && _wcsicmp(label, name) == 0)
            return child;
    }
    return nullptr;
}

HTREEITEM CRegTree::FindItem(HKEY root, const wchar_t* path) const
{
    const wchar_t* rootLabel = RootKeyLongName(root);
    HTREEITEM item = rootLabel ? FindChild(m_registry, rootLabel) : nullptr;
    CString rest = path ? path : L"";
    while (item && !rest.IsEmpty()) {
        int slash = rest.Find(L'\\');
        CString component = slash < 0 ? rest : rest.Left(slash);
        rest = slash < 0 ? CString() : rest.Mid(slash + 1);
        item = FindChild(item, component);
    }
    return item;
}

void CRegTree::DeleteItem(HKEY root, const wchar_t* path)
{
    if (HTREEITEM item = FindItem(root, path))
        TreeView_DeleteItem(m_hwnd, item);
}

void CRegTree::SetItemText(HTREEITEM item, const wchar_t* text)
{
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = const_cast<wchar_t*>(text ? text : L"");
    TreeView_SetItem(m_hwnd, &data);
    NoteLabelLength(data.pszText);
    HTREEITEM parent = GetParent(item);
    if (parent && parent != m_registry)
        SortChildren(parent);
}

static int CALLBACK CompareRanks(LPARAM a, LPARAM b, LPARAM)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// The tree-view's own sort compares with the locale's rules; children here follow _wcsicmp.
// Each child's data briefly holds its rank in that order for the sort's callback.
void CRegTree::SortChildren(HTREEITEM parent)
{
    struct SChild
    {
        HTREEITEM item;
        CString label;
        LPARAM flags;
    };
    CShdObjArray<SChild> children;
    for (HTREEITEM child = GetChild(parent); child; child = GetNext(child)) {
        SChild entry{child, CString(), GetItemFlags(child)};
        GetItemLabel(child, entry.label);
        if (children.Add(entry) < 0)
            return;
    }
    children.Sort([](const SChild& a, const SChild& b) { return _wcsicmp(a.label, b.label) < 0; });
    for (int i = 0; i < children.GetSize(); ++i)
        SetItemFlags(children[i].item, i);
    TVSORTCB sort = {};
    sort.hParent = parent;
    sort.lpfnCompare = CompareRanks;
    TreeView_SortChildrenCB(m_hwnd, &sort, FALSE);
    for (int i = 0; i < children.GetSize(); ++i)
        SetItemFlags(children[i].item, children[i].flags);
}

bool CRegTree::IsCutMarked(HTREEITEM item) const
{
    HKEY root = nullptr;
    CString path;
    return m_cutActive && GetItemPath(item, root, path) && root == m_cutRoot && path.EqualsNoCase(m_cutPath);
}

bool CRegTree::OnBeginLabelEdit(const NMTVDISPINFOW* info)
{
    m_rename = SRenameInfo();
    HKEY root = nullptr;
    CString path;
    if (!info || !GetItemPath(info->item.hItem, root, path) || path.IsEmpty())
        return true;
    int slash = path.ReverseFind(L'\\');
    m_rename.item = info->item.hItem;
    m_rename.root = root;
    m_rename.parentPath = slash < 0 ? CString() : path.Left(slash);
    m_rename.oldName = path.Mid(slash + 1);
    return false;
}

bool CRegTree::OnEndLabelEdit(const NMTVDISPINFOW* info)
{
    if (!info || !info->item.pszText)
        return false;
    m_rename.newName = info->item.pszText;
    return true;
}

bool CRegTree::IsSameOrBelow(HKEY rootA, const wchar_t* pathA, HKEY rootB, const wchar_t* pathB,
                             bool includeSelf)
{
    if (rootA != rootB || !pathA || !pathB)
        return false;
    size_t length = wcslen(pathB);
    if (_wcsnicmp(pathA, pathB, length) != 0)
        return false;
    if (pathA[length] == L'\0')
        return includeSelf;
    return pathA[length] == L'\\';
}

CString CRegTree::FormatFullPath(HKEY root, const wchar_t* path)
{
    const wchar_t* label = RootKeyLongName(root);
    if (!label)
        return CString();
    CString text = label;
    if (path && *path)
        text += CString(L"\\") + path;
    return text;
}

HTREEITEM CRegTree::GetSelection() const
{
    return m_hwnd ? TreeView_GetSelection(m_hwnd) : nullptr;
}

bool CRegTree::GetItemLabel(HTREEITEM item, CString& label) const
{
    label.Empty();
    if (!item)
        return false;
    int size = m_longestLabel + 16;
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = label.GetBuffer(size);
    data.cchTextMax = size;
    data.pszText[0] = L'\0';
    bool ok = TreeView_GetItem(m_hwnd, &data) != FALSE;
    label.ReleaseBuffer(-1);
    return ok;
}

bool CRegTree::IsExpanded(HTREEITEM item) const
{
    return (TreeView_GetItemState(m_hwnd, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

LPARAM CRegTree::GetItemFlags(HTREEITEM item) const
{
    TVITEMW data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    return item && TreeView_GetItem(m_hwnd, &data) ? data.lParam : 0;
}

void CRegTree::SetItemFlags(HTREEITEM item, LPARAM flags)
{
    TVITEMW data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    data.lParam = flags;
    TreeView_SetItem(m_hwnd, &data);
}

void CRegTree::SetItemChildren(HTREEITEM item, int children)
{
    TVITEMW data = {};
    data.mask = TVIF_CHILDREN;
    data.hItem = item;
    data.cChildren = children;
    TreeView_SetItem(m_hwnd, &data);
}

bool CRegTree::HasButton(HTREEITEM item) const
{
    TVITEMW data = {};
    data.mask = TVIF_CHILDREN;
    data.hItem = item;
    return item && TreeView_GetItem(m_hwnd, &data) && data.cChildren != 0 &&
           data.cChildren != I_CHILDRENCALLBACK;
}

void CRegTree::SetItemImages(HTREEITEM item, int image, int selectedImage)
{
    TVITEMW data = {};
    data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    data.hItem = item;
    data.iImage = image;
    data.iSelectedImage = selectedImage;
    TreeView_SetItem(m_hwnd, &data);
}

bool CRegTree::IsBelow(HTREEITEM item, HTREEITEM ancestor) const
{
    for (HTREEITEM parent = item ? GetParent(item) : nullptr; parent; parent = GetParent(parent)) {
        if (parent == ancestor)
            return true;
    }
    return false;
}

HTREEITEM CRegTree::GetChild(HTREEITEM item) const
{
    return TreeView_GetChild(m_hwnd, item);
}

HTREEITEM CRegTree::GetNext(HTREEITEM item) const
{
    return TreeView_GetNextSibling(m_hwnd, item);
}

HTREEITEM CRegTree::GetParent(HTREEITEM item) const
{
    return TreeView_GetParent(m_hwnd, item);
}

void CRegTree::NoteLabelLength(const wchar_t* label)
{
    int length = static_cast<int>(wcslen(label));
    if (length > m_longestLabel)
        m_longestLabel = length;
}
