// Clipboard and geometry helpers of the hex edit tests.
#include "tests/dialogs/HexEditFixture.h"

#include "shd/ScreenScale.h"

#include <cstring>

int HexEditTest::ScaleYTop()
{
    return ScaleY(3);
}

bool HexEditTest::SetClipboardText(const std::wstring& text)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool done = false;
    if (memory) {
        memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!done)
            GlobalFree(memory);
    }
    CloseClipboard();
    return done;
}

std::wstring HexEditTest::GetClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<not opened>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    } else {
        text = L"<no text>";
    }
    CloseClipboard();
    return text;
}

bool HexEditTest::ClearClipboard()
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    CloseClipboard();
    return true;
}

int HexEditTest::PasteFailures() const
{
    int count = 0;
    for (const auto& command : m_parent.commands) {
        if (command.id == kId && command.code == CHexEditCtrl::kPasteFailed && command.from == Hwnd())
            ++count;
    }
    return count;
}
