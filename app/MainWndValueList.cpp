// The value list of the main window: columns and type icons, the refill from the registry with
// the one-line rendering of each value, and the lookups by name.
#include "app/MainWnd.h"

#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/ScreenScale.h"
#include "shd/ShdObjArray.h"
#include "shd/WaitCursor.h"
#include "shd/WndNoRedraw.h"

#include <cwchar>

namespace {

const int kGhostOffset = 7;     // the ghosted twin of icon i is i - 7
const DWORD kMaxHexBytes = 128; // the hexadecimal text shows no more

int TypeIcon(DWORD type)
{
    switch (type) {
    case REG_SZ:
        return 7;
    case REG_BINARY:
        return 8;
    case REG_DWORD:
        return 9;
    case REG_MULTI_SZ:
        return 10;
    case REG_EXPAND_SZ:
        return 11;
    case REG_NONE:
        return 12;
    }
    return 13;
}

CString HexText(const CShdBinaryBuffer& data)
{
    CString text;
    const DWORD shown = data.GetSize() < kMaxHexBytes ? data.GetSize() : kMaxHexBytes;
    for (DWORD i = 0; i < shown; ++i)
        text.AppendFormat(i == 0 ? L"%02X" : L" %02X", data.GetData()[i]);
    if (data.GetSize() > kMaxHexBytes)
        text += L"...";
    return text;
}

// The "Value" column's text; empty when the data cannot be read.
CString ValueText(const CShdRegKey& key, const wchar_t* name, DWORD type)
{
    CString text;
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        key.QueryString(name, text);
        return text;
    case REG_MULTI_SZ:
        return key.QueryString(name, text) ? text + L"..." : CString();
    case REG_DWORD: {
        DWORD number = 0;
        if (key.QueryDword(name, number))
            text.Format(L"%lu (0x%08X)", number, number);
        return text;
    }
    }
    DWORD readType = 0;
    CShdBinaryBuffer data;
    return key.QueryValue(name, readType, data) ? HexText(data) : CString();
}

bool NameLess(const CString& a, const CString& b)
{
    return _wcsicmp(a, b) < 0;
}

} // namespace

void CMainWnd::CreateValueColumns(int width)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width / 2 - 2 * GetSystemMetrics(SM_CXVSCROLL);
    column.pszText = const_cast<wchar_t*>(L"Name");
    ListView_InsertColumn(m_list, 0, &column);
    column.cx = width / 2;
    column.pszText = const_cast<wchar_t*>(L"Value");
    column.iSubItem = 1;
    ListView_InsertColumn(m_list, 1, &column);
    const bool large = IsHighResolution();
    HIMAGELIST images = ImageList_LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(large ? IDB_VALUES_LARGE : IDB_VALUES), large ? 32 : 16,
        1, RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (images)
        ListView_SetImageList(m_list, images, LVSIL_SMALL);
}

void CMainWnd::FillValueList(HTREEITEM item, bool keepSelection, const wchar_t* nameToSelect)
{
    if (!m_list)
        return;
    CWaitCursor wait;
    CWndNoRedraw noRedraw(m_list, true, false, false);
    int selectedIndex = -1;
    CString remembered;
    bool haveRemembered = keepSelection && GetSelectedValue(selectedIndex, remembered);
    ListView_DeleteAllItems(m_list);
    m_longestValueName = 0;
    HKEY root = nullptr;
    CString path;
    CShdRegKey key(false);
    if (!item)
        item = m_tree.GetSelection();
    if (!item || !m_tree.GetItemPath(item, root, path) || !key.Open(root, path))
        return;
    CShdObjArray<CString> names;
    CString name;
    for (DWORD index = 0; key.EnumValueName260(index, name); ++index)
        names.Add(name);
    names.Sort(NameLess);
    const bool cutHere =
        m_clipState == kClipValueCut && m_clipRoot == root && m_clipKeyPath.EqualsNoCase(path);
    int row = 0;
    for (int i = 0; i < names.GetSize(); ++i) {
        DWORD type = 0;
        if (!key.QueryValueType(names[i], type))
            continue;
        int icon = TypeIcon(type);
        if (cutHere && m_clipValueName.EqualsNoCase(names[i]))
            icon -= kGhostOffset;
        if (names[i].GetLength() > m_longestValueName)
            m_longestValueName = names[i].GetLength();
        if (InsertValueRow(row, names[i], icon, ValueText(key, names[i], type)))
            ++row;
    }
    const wchar_t* wanted = haveRemembered ? remembered.c_str() : nameToSelect;
    if (wanted) {
        LVFINDINFOW find = {};
        find.flags = LVFI_STRING;
        find.psz = wanted;
        int found = ListView_FindItem(m_list, -1, &find);
        if (found >= 0)
            SelectValueItem(found);
    }
}

bool CMainWnd::InsertValueRow(int row, const wchar_t* name, int image, const wchar_t* text)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(name);
    item.iImage = image;
    int inserted = ListView_InsertItem(m_list, &item);
    if (inserted < 0)
        return false;
    LVITEMW value = {};
    value.mask = LVIF_TEXT;
    value.iItem = inserted;
    value.iSubItem = 1;
    value.pszText = const_cast<wchar_t*>(text);
    SendMessageW(m_list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&value));
    return true;
}

void CMainWnd::SelectValueItem(int index)
{
    const UINT states = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(m_list, index, states, states);
    ListView_EnsureVisible(m_list, index, FALSE);
}

bool CMainWnd::GetValueName(int index, int room, CString& name) const
{
    LVITEMW item = {};
    item.iSubItem = 0;
    item.cchTextMax = room;
    item.pszText = name.GetBuffer(room);
    item.pszText[0] = L'\0';
    LRESULT copied = SendMessageW(m_list, LVM_GETITEMTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    name.ReleaseBuffer(-1);
    return copied >= 0 && index >= 0 && index < ListView_GetItemCount(m_list);
}

bool CMainWnd::GetSelectedValue(int& index, CString& name) const
{
    name.Empty();
    index = m_list ? ListView_GetNextItem(m_list, -1, LVNI_SELECTED) : -1;
    if (index < 0)
        return false;
    return GetValueName(index, m_longestValueName + 16, name);
}

int CMainWnd::FindValueItem(const wchar_t* name) const
{
    const int count = m_list ? ListView_GetItemCount(m_list) : 0;
    CString text;
    for (int i = 0; i < count; ++i) {
        if (GetValueName(i, m_longestValueName + 1, text) && _wcsicmp(text, name ? name : L"") == 0)
            return i;
    }
    return -1;
}

bool CMainWnd::SelectValueByName(const wchar_t* name)
{
    int index = FindValueItem(name);
    if (index < 0)
        return false;
    SelectValueItem(index);
    return true;
}

void CMainWnd::SetValueCutLook(int index, bool cut)
{
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    if (!ListView_GetItem(m_list, &item))
        return;
    if (cut && item.iImage >= kGhostOffset)
        item.iImage -= kGhostOffset;
    else if (!cut && item.iImage < kGhostOffset)
        item.iImage += kGhostOffset;
    else
        return;
    ListView_SetItem(m_list, &item);
    InvalidateRect(m_list, nullptr, FALSE);
}
