// Tree-view and list-view reads across processes.
#include "tests/support/RemoteControls.h"

CRemoteControls::CRemoteControls(HWND control) : m_control(control)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(control, &processId);
    if (!processId)
        return;
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (m_process)
        m_buffer = VirtualAllocEx(m_process, nullptr, kBufferSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

CRemoteControls::~CRemoteControls()
{
    if (m_buffer)
        VirtualFreeEx(m_process, m_buffer, 0, MEM_RELEASE);
    if (m_process)
        CloseHandle(m_process);
}

bool CRemoteControls::Write(const void* data, SIZE_T size) const
{
    SIZE_T written = 0;
    const wchar_t empty = L'\0';
    return IsOpen() && WriteProcessMemory(m_process, m_buffer, data, size, &written) && written == size &&
           WriteProcessMemory(m_process, RemoteText(), &empty, sizeof(empty), &written);
}

std::wstring CRemoteControls::ReadText() const
{
    std::vector<wchar_t> text(kTextCharacters + 1, L'\0');
    SIZE_T read = 0;
    if (!ReadProcessMemory(m_process, RemoteText(), text.data(), kTextCharacters * sizeof(wchar_t), &read))
        return std::wstring();
    return std::wstring(text.data());
}

HTREEITEM CRemoteControls::TreeSelection() const
{
    return TreeView_GetSelection(m_control);
}

std::vector<HTREEITEM> CRemoteControls::TreeChildren(HTREEITEM parent) const
{
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = TreeView_GetChild(m_control, parent); child;
         child = TreeView_GetNextSibling(m_control, child))
        children.push_back(child);
    return children;
}

std::wstring CRemoteControls::TreeText(HTREEITEM item) const
{
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = RemoteText();
    data.cchTextMax = kTextCharacters;
    if (!Write(&data, sizeof(data)) ||
        !SendMessageW(m_control, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(m_buffer)))
        return std::wstring();
    return ReadText();
}

bool CRemoteControls::TreeHasButton(HTREEITEM item) const
{
    TVITEMW data = {};
    data.mask = TVIF_CHILDREN;
    data.hItem = item;
    SIZE_T read = 0;
    if (!Write(&data, sizeof(data)) ||
        !SendMessageW(m_control, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(m_buffer)) ||
        !ReadProcessMemory(m_process, m_buffer, &data, sizeof(data), &read) || read != sizeof(data))
        return false;
    return data.cChildren != 0 && data.cChildren != I_CHILDRENCALLBACK;
}

std::vector<std::wstring> CRemoteControls::TreeChildTexts(HTREEITEM parent) const
{
    std::vector<std::wstring> texts;
    for (HTREEITEM child : TreeChildren(parent))
        texts.push_back(TreeText(child));
    return texts;
}

std::vector<std::wstring> CRemoteControls::TreeSelectionPath() const
{
    std::vector<std::wstring> path;
    for (HTREEITEM item = TreeSelection(); item; item = TreeView_GetParent(m_control, item))
        path.insert(path.begin(), TreeText(item));
    return path;
}

int CRemoteControls::ListCount() const
{
    return ListView_GetItemCount(m_control);
}

int CRemoteControls::ListSelection() const
{
    return ListView_GetNextItem(m_control, -1, LVNI_SELECTED);
}

std::wstring CRemoteControls::ListText(int row, int column) const
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = RemoteText();
    item.cchTextMax = kTextCharacters;
    if (!Write(&item, sizeof(item)))
        return std::wstring();
    SendMessageW(m_control, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(m_buffer));
    return ReadText();
}
