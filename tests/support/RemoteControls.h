// Reads the tree-view and list-view controls of another process as a user's eyes would: the
// messages carry pointers into a buffer allocated in the target process, whose contents are
// copied back after each call.
//   CRemoteControls remote(treeOrList);  remote.IsOpen()
//   remote.TreeSelection(), TreeChildren(item), TreeText(item), TreeHasButton(item), TreeSelectionPath()
//   remote.ListCount(), ListText(row, column), ListSelection()
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class CRemoteControls
{
public:
    explicit CRemoteControls(HWND control);
    ~CRemoteControls();
    CRemoteControls(const CRemoteControls&) = delete;
    CRemoteControls& operator=(const CRemoteControls&) = delete;

    bool IsOpen() const { return m_buffer != nullptr; }

    HTREEITEM TreeSelection() const;
    std::vector<HTREEITEM> TreeChildren(HTREEITEM parent) const;
    std::wstring TreeText(HTREEITEM item) const;
    std::vector<std::wstring> TreeChildTexts(HTREEITEM parent) const;
    // The item shows an expand button (its children count as the control has it, or asks for it).
    bool TreeHasButton(HTREEITEM item) const;
    // The labels from the top item down to the selection.
    std::vector<std::wstring> TreeSelectionPath() const;

    int ListCount() const;
    int ListSelection() const;
    std::wstring ListText(int row, int column) const;

private:
    static const SIZE_T kBufferSize = 8192;
    static const SIZE_T kTextOffset = 1024; // the record first, the text after it
    static const int kTextCharacters = int((kBufferSize - kTextOffset) / sizeof(wchar_t));

    bool Write(const void* data, SIZE_T size) const;
    std::wstring ReadText() const;
    wchar_t* RemoteText() const
    {
        return reinterpret_cast<wchar_t*>(static_cast<char*>(m_buffer) + kTextOffset);
    }

    HWND m_control = nullptr;
    HANDLE m_process = nullptr;
    void* m_buffer = nullptr;
};
