// The hex edit control's context menu and clipboard: bytes out as text of hex pairs, and text in
// as hex pairs, ANSI text or UTF-16.
#include "dialogs/HexEditCtrl.h"

#include "platform/AygShell.h"
#include "platform/DeviceScreen.h"
#include "shd/HexDigits.h"

#include <cstring>
#include <cwctype>

// ---- Conversions ----

bool CHexEditCtrl::HexTextToBytes(const wchar_t* text, size_t length, CShdBinaryBuffer& bytes)
{
    // Read backwards so that digits pair up from the right of each group.
    if (length >= 0xFFFFFFFF || !bytes.SetSize(DWORD(length / 2 + 1)))
        return false;
    BYTE* out = bytes.GetData() + bytes.GetSize();
    int low = -1;
    for (size_t i = length; i-- > 0;) {
        wchar_t ch = text[i];
        if (iswspace(ch)) {
            if (low >= 0)
                *--out = BYTE(low);
            low = -1;
            continue;
        }
        int digit = HexDigitValue(ch);
        if (digit < 0)
            return false;
        if (low < 0) {
            low = digit;
        } else {
            *--out = BYTE(digit << 4 | low);
            low = -1;
        }
    }
    if (low >= 0)
        *--out = BYTE(low);
    DWORD count = DWORD(bytes.GetData() + bytes.GetSize() - out);
    memmove(bytes.GetData(), out, count);
    return bytes.SetSize(count);
}

bool CHexEditCtrl::AnsiTextToBytes(const wchar_t* text, size_t length, CShdBinaryBuffer& bytes)
{
    if (length > 0x7FFFFFFF || !bytes.SetSize(DWORD(length)))
        return false;
    if (length == 0)
        return true;
    int converted =
        WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text, int(length),
                            reinterpret_cast<char*>(bytes.GetData()), int(length), nullptr, nullptr);
    return converted == int(length);
}

bool CHexEditCtrl::UnicodeTextToBytes(const wchar_t* text, size_t length, CShdBinaryBuffer& bytes)
{
    if (length > 0x7FFFFFFF || !bytes.SetSize(DWORD(length * 2)))
        return false;
    BYTE* out = bytes.GetData();
    for (size_t i = 0; i < length; ++i) {
        out[2 * i] = BYTE(text[i] & 0xFF);
        out[2 * i + 1] = BYTE(text[i] >> 8);
    }
    return true;
}

// ---- Context menu ----

void CHexEditCtrl::OnContextMenu(int x, int y)
{
    if (m_menuOpen)
        return;
    if (x < 0 || y < 0) {
        RECT window;
        GetWindowRect(m_hwnd, &window);
        x = (window.left + window.right) / 2;
        y = (window.top + window.bottom) / 2;
    }
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuW(menu, MF_STRING, kCut, L"Cut");
    AppendMenuW(menu, MF_STRING, kCopy, L"Copy");
    AppendMenuW(menu, MF_STRING, kPasteHex, L"Paste Hex Data");
    AppendMenuW(menu, MF_STRING, kPasteText, L"Paste as Text");
    AppendMenuW(menu, MF_STRING, kPasteUnicode, L"Paste as Unicode Text");
    AppendMenuW(menu, MF_STRING, kClear, L"Clear");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kSelectAll, L"Select All");
    // TPM_NONOTIFY keeps WM_INITMENUPOPUP away on some platforms, so the items are set up here too.
    UpdateMenuItems(menu);
    m_menuOpen = true;
    m_menu = menu;
    UINT command = UINT(DeviceTrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY, x, y, m_hwnd, nullptr));
    m_menu = nullptr;
    m_menuOpen = false;
    DestroyMenu(menu);
    if (command)
        ExecuteCommand(command);
}

void CHexEditCtrl::UpdateMenuItems(HMENU menu) const
{
    bool editable = !m_readOnly;
    bool selection = HasSelection();
    bool all = m_model.IsAllSelected();
    bool text = IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
    auto enable = [menu](UINT id, bool on) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    enable(kCut, selection && editable);
    enable(kCopy, selection);
    enable(kPasteHex, text && editable);
    enable(kPasteText, text && editable);
    enable(kPasteUnicode, text && editable);
    enable(kClear, selection && editable);
    enable(kSelectAll, !all);
}

// ---- Clipboard ----

void CHexEditCtrl::Copy() const
{
    DWORD low = m_model.GetSelectionLow();
    DWORD high = m_model.GetSelectionHigh();
    if (low >= high)
        return;
    SIZE_T count = high - low;
    // "XX" per byte, a space between, and the terminating NUL.
    HLOCAL memory = LocalAlloc(LMEM_FIXED, count * 3 * sizeof(wchar_t));
    if (!memory)
        return;
    wchar_t* text = static_cast<wchar_t*>(memory);
    const BYTE* data = m_model.GetData() + low;
    for (SIZE_T i = 0; i < count; ++i) {
        text[3 * i] = L"0123456789ABCDEF"[data[i] >> 4];
        text[3 * i + 1] = L"0123456789ABCDEF"[data[i] & 15];
        text[3 * i + 2] = i + 1 < count ? L' ' : L'\0';
    }
    if (!OpenClipboard(m_hwnd)) {
        LocalFree(memory);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory))
        LocalFree(memory);
    CloseClipboard();
}

void CHexEditCtrl::Paste(UINT command)
{
    CShdBinaryBuffer bytes;
    if (!ReadClipboardBytes(command, bytes) || !m_model.Paste(bytes.GetData(), bytes.GetSize())) {
        NotifyPasteFailed();
        return;
    }
    Refresh();
}

bool CHexEditCtrl::ReadClipboardBytes(UINT command, CShdBinaryBuffer& bytes) const
{
    if (!OpenClipboard(m_hwnd))
        return false;
    HANDLE copy = GetClipboardDataAlloc(CF_UNICODETEXT);
    CloseClipboard();
    if (!copy)
        return false;
    // The clipboard's text need not end in a NUL; never read past its block.
    const wchar_t* text = static_cast<const wchar_t*>(copy);
    size_t capacity = LocalSize(copy) / sizeof(wchar_t), length = 0;
    while (length < capacity && text[length])
        ++length;
    bool converted = command == kPasteHex    ? HexTextToBytes(text, length, bytes)
                     : command == kPasteText ? AnsiTextToBytes(text, length, bytes)
                                             : UnicodeTextToBytes(text, length, bytes);
    LocalFree(copy);
    return converted;
}

void CHexEditCtrl::NotifyPasteFailed() const
{
    if (HWND parent = GetParent(m_hwnd)) {
        WORD id = WORD(GetDlgCtrlID(m_hwnd));
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, kPasteFailed), reinterpret_cast<LPARAM>(m_hwnd));
    }
}
