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

// Written into one buffer: the list can hold thousands of binary values.
CString HexText(const CShdBinaryBuffer& data)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    const DWORD shown = data.GetSize() < kMaxHexBytes ? data.GetSize() : kMaxHexBytes;
    CString text;
    if (shown == 0)
        return text;
    wchar_t* out = text.GetBuffer(static_cast<int>(shown * 3 + 3));
    wchar_t* start = out;
    for (DWORD i = 0; i < shown; ++i) {
        if (i > 0)
            *out++ = L' ';
        *out++ = kDigits[data.GetData()[i] >> 4];
        *out++ = kDigits[data.GetData()[i] & 15];
    }
    if (data.GetSize() > kMaxHexBytes) {
        for (int dot = 0; dot < 3; ++dot)
            *out++ = L'.';
    }
    text.ReleaseBuffer(static_cast<int>(out - start));
    return text;
}

// The text of string data: up to its first NUL, within the whole characters it holds.
CString StringText(const CShdBinaryBuffer& data)
{
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.GetData());
    const int characters = static_cast<int>(data.GetSize() / sizeof(wchar_t));
    int length = 0;
    while (length < characters && text[length] != L'\0')
        ++length;
    return CString(text, length);
}

// The "Value" column's text for data read whole.
CString ValueText(DWORD type, const CShdBinaryBuffer& data)
{
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return StringText(data);
    case REG_MULTI_SZ:
        return StringText(data) + L"...";
    case REG_DWORD: {
        CString text;
        if (data.GetSize() == sizeof(DWORD))
            text.Format(L"%lu (0x%08X)", data.ReadDword(0), data.ReadDword(0));
        return text;
    }
    }
    return HexText(data);
}

// One row of the list as read from the registry.
struct SValueRow
{
    CString name;
    DWORD type = 0;
    CString text;
};

// Every value of the key with its type and text, in name order. Each value is read whole in
// one call into buffers sized once by the key's longest name and data; a value whose data
// cannot be read is listed by its name and type with an empty text, one that cannot be read
// at all is stepped over.
void ReadValueRows(const CShdRegKey& key, CShdObjArray<SValueRow>& rows)
{
    CShdRegKey::SInfo info;
    if (!key.QueryInfo(info))
        return;
    SValueRow row;
    CShdBinaryBuffer data;
    WalkKeyItems(info.values, [&](DWORD index) {
        if (key.EnumValueFrom(index, info.maxValueNameLength, info.maxValueLength, row.name, row.type,
                              data)) {
            row.text = ValueText(row.type, data);
        } else if (GetLastError() == ERROR_NO_MORE_ITEMS ||
                   !key.EnumValueNameFrom(index, info.maxValueNameLength, row.name, row.type)) {
            return false;
        } else {
            row.text.Empty();
        }
        return rows.Add(row) >= 0;
    });
    rows.Sort([](const SValueRow& a, const SValueRow& b) { return _wcsicmp(a.name, b.name) < 0; });
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
    CShdObjArray<SValueRow> rows;
    ReadValueRows(key, rows);
    key.Close();
    const bool cutHere =
        m_clipState == kClipValueCut && m_clipRoot == root && m_clipKeyPath.EqualsNoCase(path);
    ListView_SetItemCount(m_list, rows.GetSize());
    int row = 0;
    for (int i = 0; i < rows.GetSize(); ++i) {
        const SValueRow& value = rows[i];
        int icon = TypeIcon(value.type);
        if (cutHere && m_clipValueName.EqualsNoCase(value.name))
            icon -= kGhostOffset;
        if (value.name.GetLength() > m_longestValueName)
            m_longestValueName = value.name.GetLength();
        if (InsertValueRow(row, value.name, icon, value.text))
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
