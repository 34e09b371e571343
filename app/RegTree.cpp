// The key tree: lazy loading, refresh, selection by path and the cut mark (its items: RegTreeItems.cpp).
#include "app/RegTree.h"

#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/ScreenScale.h"
#include "shd/WaitCursor.h"
#include "shd/WndNoRedraw.h"

#include <cwchar>

const wchar_t CRegTree::kRegistryLabel[] = L"Registry";

namespace {

enum EImage
{
    kImageCut = 0,
    kImageCutOpen = 1,
    kImageKey = 2,
    kImageKeyOpen = 3,
    kImageRegistry = 4
};

bool NameLess(const CString& a, const CString& b)
{
    return _wcsicmp(a, b) < 0;
}

CString JoinPath(const CString& path, const wchar_t* name)
{
    return path.IsEmpty() ? CString(name) : path + L"\\" + name;
}

// The name of the key at path as the registry spells it (the last component of a path that
// was matched without regard to case); the given spelling when it cannot be read.
CString RegistryName(HKEY root, const CString& path, const CString& component)
{
    int slash = path.ReverseFind(L'\\');
    CShdObjArray<CString> names;
    if (ReadSortedSubkeys(root, slash < 0 ? CString() : path.Left(slash), names)) {
        for (int i = 0; i < names.GetSize(); ++i) {
            if (names[i].EqualsNoCase(component))
                return names[i];
        }
    }
    return component;
}

} // namespace

bool ReadSortedSubkeys(HKEY root, const wchar_t* path, CShdObjArray<CString>& names)
{
    names.SetSize(0);
    CShdRegKey key(false);
    return key.Open(root, path) && ReadSortedSubkeys(key, names);
}

bool ReadSortedSubkeys(const CShdRegKey& key, CShdObjArray<CString>& names)
{
    names.SetSize(0);
    CShdRegKey::SInfo info;
    if (!key.QueryInfo(info))
        return false;
    // The count ends the walk and the longest name sizes the buffer: one call a name.
    CString name;
    WalkKeyItems(info.subKeys, [&](DWORD index) {
        if (!key.EnumKeyFrom(index, info.maxSubKeyLength, name))
            return false;
        names.Add(name);
        return true;
    });
    names.Sort(NameLess);
    return true;
}

// Wait cursor and redraw off for the outermost of nested bulk changes.
class CRegTree::CBusy
{
public:
    CBusy(HWND tree, bool waitCursor) : m_waitCursor(waitCursor)
    {
        if (m_waitCursor)
            CWaitCursor::Change(+1);
        if (Depth()++ == 0)
            m_noRedraw.Begin(tree);
    }
    ~CBusy()
    {
        if (--Depth() == 0)
            m_noRedraw.End();
        if (m_waitCursor)
            CWaitCursor::Change(-1);
    }
    CBusy(const CBusy&) = delete;
    CBusy& operator=(const CBusy&) = delete;

    // Ends the redraw pause early (the outermost only).
    void End() { m_noRedraw.End(); }

private:
    static int& Depth()
    {
        static int depth = 0;
        return depth;
    }
    CWndNoRedraw m_noRedraw;
    bool m_waitCursor;
};

CRegTree::~CRegTree()
{
    Destroy();
    if (m_images)
        ImageList_Destroy(m_images);
}

LRESULT CRegTree::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Enter opens the context menu (the tree's key-down notification); the control must not beep.
    if (message == WM_CHAR && wParam == VK_RETURN)
        return 0;
    return CShdWnd::WindowProc(message, wParam, lParam);
}

bool CRegTree::Create(DWORD exStyle, const wchar_t* caption, DWORD style, int x, int y, int width, int height,
                      HWND parent, UINT id, HINSTANCE instance)
{
    if (m_hwnd)
        return false;
    style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    HWND window = CreateWindowExW(exStyle, WC_TREEVIEWW, caption ? caption : L"", style, x, y, width, height,
                                  parent, reinterpret_cast<HMENU>(UINT_PTR(id)), instance, nullptr);
    if (!window)
        return false;
    if (!Attach(window)) {
        DestroyWindow(window);
        return false;
    }
    bool large = IsHighResolution();
    m_images =
        ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(large ? IDB_TREE_LARGE : IDB_TREE),
                             large ? 32 : 16, 1, RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (m_images)
        TreeView_SetImageList(m_hwnd, m_images, TVSIL_NORMAL);
    Reload();
    return true;
}

void CRegTree::Reload()
{
    {
        CBusy busy(m_hwnd, true);
        TreeView_DeleteAllItems(m_hwnd);
        m_longestLabel = 0;
        m_registry = InsertItem(TVI_ROOT, TVI_FIRST, kRegistryLabel, 0);
        FillRoots();
    }
    CWaitCursor wait;
    TreeView_Expand(m_hwnd, m_registry, TVE_EXPAND);
}

void CRegTree::OnItemExpanding(const NMTREEVIEWW* info)
{
    if (info && info->itemNew.hItem && !IsFilled(info->itemNew.hItem))
        Refill(info->itemNew.hItem);
}

void CRegTree::Refill(HTREEITEM item)
{
    if (!item)
        return;
    CBusy busy(m_hwnd, true);
    if (item == m_registry)
        FillRoots();
    else
        FillChildren(item);
}

void CRegTree::Refresh(HTREEITEM item)
{
    CBusy busy(m_hwnd, true);
    if (item && item != m_registry) {
        RefreshItem(item);
        return;
    }
    for (HKEY root : kRootKeys) {
        if (HTREEITEM rootItem = FindChild(m_registry, RootKeyLongName(root)))
            RefreshItem(rootItem);
    }
}

HTREEITEM CRegTree::InsertItem(HTREEITEM parent, HTREEITEM after, const wchar_t* label, LPARAM flags)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(label);
    bool top = parent == TVI_ROOT;
    insert.item.iImage = top ? kImageRegistry : kImageKey;
    insert.item.iSelectedImage = top ? kImageRegistry : kImageKeyOpen;
    insert.item.lParam = flags;
    if (!top) {
        // A key's expand button is decided when the control first needs it (OnGetDispInfo).
        insert.item.mask |= TVIF_CHILDREN;
        insert.item.cChildren = I_CHILDRENCALLBACK;
    }
    HTREEITEM item = TreeView_InsertItem(m_hwnd, &insert);
    if (!item)
        return nullptr;
    NoteLabelLength(label);
    if (!top && IsCutMarked(item))
        SetItemImages(item, kImageCut, kImageCutOpen);
    return item;
}

void CRegTree::OnGetDispInfo(NMTVDISPINFOW* info)
{
    if (!info || !(info->item.mask & TVIF_CHILDREN))
        return;
    // One RegQueryInfoKeyW for an item drawn or expanded for the first time; the control keeps
    // the answer. A key that cannot be read shows no button.
    HKEY root = nullptr;
    CString path;
    CShdRegKey key(false);
    DWORD subKeys = 0, values = 0;
    const bool counted =
        GetItemPath(info->item.hItem, root, path) && key.Open(root, path) && key.QueryCounts(subKeys, values);
    info->item.cChildren = counted && subKeys > 0 ? 1 : 0;
    info->item.mask |= TVIF_DI_SETITEM;
}

void CRegTree::ResetChildren(HTREEITEM item)
{
    SetItemFlags(item, GetItemFlags(item) & ~kFilled);
    SetItemChildren(item, I_CHILDRENCALLBACK);
}

void CRegTree::FillRoots()
{
    DeleteChildren(m_registry);
    for (HKEY root : kRootKeys)
        InsertItem(m_registry, TVI_LAST, RootKeyLongName(root), 0);
    SetItemFlags(m_registry, GetItemFlags(m_registry) | kFilled);
}

void CRegTree::FillChildren(HTREEITEM item)
{
    DeleteChildren(item);
    HKEY root = nullptr;
    CString path;
    CShdObjArray<CString> names;
    if (!GetItemPath(item, root, path) || !ReadSortedSubkeys(root, path, names)) {
        SetItemChildren(item, 0);
        return;
    }
    for (int i = 0; i < names.GetSize(); ++i)
        InsertItem(item, TVI_LAST, names[i], 0);
    SetItemChildren(item, names.GetSize() > 0 ? 1 : 0);
    SetItemFlags(item, GetItemFlags(item) | kFilled);
}

void CRegTree::RefreshItem(HTREEITEM item)
{
    if (!IsExpanded(item)) {
        // Children loaded under a collapsed item go at once; the next expansion, also one that
        // TVM_EXPAND asks for, loads them again.
        DeleteChildren(item);
        TreeView_SetItemState(m_hwnd, item, 0, TVIS_EXPANDEDONCE);
        ResetChildren(item);
        return;
    }
    if (!IsFilled(item)) {
        FillChildren(item);
        return;
    }
    HKEY root = nullptr;
    CString path;
    CShdRegKey key(false);
    if (!GetItemPath(item, root, path) || !key.Open(root, path))
        return;
    CShdObjArray<CString> names;
    if (!ReadSortedSubkeys(key, names))
        return;
    int next = 0;
    HTREEITEM previous = nullptr;
    for (HTREEITEM child = GetChild(item); child;) {
        HTREEITEM following = GetNext(child);
        CString label;
        CShdRegKey childKey(false);
        if (!GetItemLabel(child, label) || !childKey.Open(key.GetHandle(), label)) {
            TreeView_DeleteItem(m_hwnd, child);
            child = following;
            continue;
        }
        childKey.Close();
        RefreshItem(child);
        for (; next < names.GetSize() && _wcsicmp(names[next], label) < 0; ++next)
            previous = InsertItem(item, previous ? previous : TVI_FIRST, names[next], 0);
        if (next < names.GetSize() && _wcsicmp(names[next], label) == 0)
            ++next;
        previous = child;
        child = following;
    }
    for (; next < names.GetSize(); ++next)
        InsertItem(item, TVI_LAST, names[next], 0);
    SetItemChildren(item, GetChild(item) ? 1 : 0);
}

void CRegTree::DeleteChildren(HTREEITEM item)
{
    // A selected item that goes would hand the selection to each next sibling in turn, and
    // every selection change refills the value list: the selection moves up once instead.
    if (IsBelow(GetSelection(), item))
        TreeView_SelectItem(m_hwnd, item);
    for (HTREEITEM child = GetChild(item); child;) {
        HTREEITEM following = GetNext(child);
        TreeView_DeleteItem(m_hwnd, child);
        child = following;
    }
}

bool CRegTree::SelectPath(HKEY root, const wchar_t* path)
{
    const wchar_t* rootLabel = RootKeyLongName(root);
    if (!rootLabel || !m_registry)
        return false;
    CBusy busy(m_hwnd, false);
    HTREEITEM current = m_registry;
    CString component = rootLabel, partial, rest = path ? path : L"";
    for (;;) {
        if (!IsFilled(current))
            Refill(current);
        TreeView_Expand(m_hwnd, current, TVE_EXPAND);
        HTREEITEM found = nullptr, before = nullptr;
        CString label;
        for (HTREEITEM child = GetChild(current); child && !found; child = GetNext(child)) {
            if (!GetItemLabel(child, label))
                return false;
            int order = _wcsicmp(label, component);
            if (order == 0)
                found = child;
            else if (order < 0)
                before = child;
        }
        if (!found) {
            CShdRegKey key(false);
            if (current == m_registry || !key.Open(root, partial))
                return false;
            key.Close();
            found =
                InsertItem(current, before ? before : TVI_FIRST, RegistryName(root, partial, component), 0);
            if (!found)
                return false;
            // A key loaded as having none (or counted so) has this child now.
            SetItemFlags(current, GetItemFlags(current) | kFilled);
            SetItemChildren(current, 1);
        }
        if (rest.IsEmpty()) {
            TreeView_SelectItem(m_hwnd, found);
            busy.End();
            TreeView_EnsureVisible(m_hwnd, found);
            return true;
        }
        current = found;
        int slash = rest.Find(L'\\');
        component = slash < 0 ? rest : rest.Left(slash);
        rest = slash < 0 ? CString() : rest.Mid(slash + 1);
        if (component.IsEmpty())
            return false;
        partial = JoinPath(partial, component);
    }
}

void CRegTree::MarkCut(HKEY root, const wchar_t* path)
{
    UnmarkCut();
    m_cutRoot = root;
    m_cutPath = path ? path : L"";
    m_cutActive = true;
    if (HTREEITEM item = FindItem(root, path))
        SetItemImages(item, kImageCut, kImageCutOpen);
}

void CRegTree::UnmarkCut()
{
    if (!m_cutActive)
        return;
    if (HTREEITEM item = FindItem(m_cutRoot, m_cutPath))
        SetItemImages(item, kImageKey, kImageKeyOpen);
    m_cutActive = false;
    m_cutRoot = nullptr;
    m_cutPath.Empty();
}
