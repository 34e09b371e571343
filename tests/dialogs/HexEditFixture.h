// A live hex edit control in a parent window that records what the control tells it, with
// helpers that act as the user would: keys, characters, stylus, context-menu commands, clipboard.
#pragma once

#include "dialogs/HexEditCtrl.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

class CRecordingParent : public CShdWnd
{
public:
    struct SCommand
    {
        WORD id;
        WORD code;
        HWND from;
    };

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_COMMAND:
            commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
            return 0;
        case WM_NEXTDLGCTL:
            focusMoves.push_back(int(wParam));
            return 0;
        case WM_NOTIFY:
            notifyCodes.push_back(int(reinterpret_cast<NMHDR*>(lParam)->code));
            return 0;
        }
        return CShdWnd::WindowProc(message, wParam, lParam);
    }

    std::vector<SCommand> commands;
    std::vector<int> focusMoves;
    std::vector<int> notifyCodes;
};

class HexEditTest : public testing::Test
{
protected:
    static const UINT kId = 1032;

    void SetUp() override { CreateControl(4, 320, 120); }
    void TearDown() override
    {
        SetShift(false);
        m_hex.Destroy();
        m_parent.Destroy();
    }

    void CreateControl(DWORD bytesPerLine, int width, int height)
    {
        ASSERT_TRUE(m_parent.Create(0, nullptr, L"parent", WS_POPUP | WS_VISIBLE, 0, 0, width + 40,
                                    height + 40, nullptr, 0, nullptr));
        RECT rect = {10, 10, 10 + width, 10 + height};
        ASSERT_TRUE(m_hex.Create(m_parent.GetHwnd(), kId, rect));
        m_hex.SetBytesPerLine(bytesPerLine);
        SetFocus(m_hex.GetHwnd());
    }

    HWND Hwnd() const { return m_hex.GetHwnd(); }
    void SetData(const Bytes& bytes) { m_hex.SetBytes(bytes.data(), DWORD(bytes.size())); }
    Bytes Data() const { return Bytes(m_hex.GetData(), m_hex.GetData() + m_hex.GetSize()); }

    void Key(UINT key) const { SendMessageW(Hwnd(), WM_KEYDOWN, key, 1); }
    void Type(const wchar_t* text) const
    {
        for (; *text; ++text)
            SendMessageW(Hwnd(), WM_CHAR, *text, 1);
    }
    void Command(UINT command) const { SendMessageW(Hwnd(), WM_COMMAND, command, 0); }
    static void SetShift(bool down)
    {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(state);
    }

    // Client point of the hex cell (or character cell) of a byte on a visible line.
    POINT HexCell(DWORD position) const { return Cell(position, true); }
    POINT CharCell(DWORD position) const { return Cell(position, false); }
    POINT Cell(DWORD position, bool hex) const
    {
        DWORD b = m_hex.GetBytesPerLine();
        int row = int((position - m_hex.GetTopOffset()) / b);
        int column = int((position - m_hex.GetTopOffset()) % b);
        int x = hex ? m_hex.GetHexColumnX() + column * m_hex.GetByteCellWidth() + 2
                    : m_hex.GetCharColumnX() + column * m_hex.GetCharCellWidth() + 1;
        return {x, ScaleYTop() + row * m_hex.GetLineHeight() + m_hex.GetLineHeight() / 2};
    }
    static int ScaleYTop();
    void Stylus(UINT message, POINT point) const
    {
        SendMessageW(Hwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(point.x, point.y));
    }
    void Drag(POINT from, POINT to) const
    {
        Stylus(WM_LBUTTONDOWN, from);
        Stylus(WM_MOUSEMOVE, to);
        Stylus(WM_LBUTTONUP, to);
    }

    static bool SetClipboardText(const std::wstring& text);
    static std::wstring GetClipboardText();
    static bool ClearClipboard();
    int PasteFailures() const;

    CRecordingParent m_parent;
    CHexEditCtrl m_hex;
};
