// The hex edit control driven through its messages, for what the randomized model test does not
// reach: invalid characters and the character column, tabbing out, stylus hits outside the cells,
// auto-scroll, the scroll bar, clipboard and paste conversions, context menu, read-only, focus,
// the Smartphone keys, layout.
#include "tests/dialogs/HexEditFixture.h"
#include "tests/dialogs/MenuProbe.h"

#include "platform/AygShell.h"
#include "platform/PlatformInfo.h"
#include "shd/DeviceInfo.h"

#include <string>

class HexEditMenu : public HexEditTest
{
protected:
    // Opens the context menu with the keyboard's coordinates (-1, -1); the probe reads it.
    void OpenMenu(CMenuProbe& probe) const
    {
        PostMessageW(Hwnd(), WM_NULL, 0, 0); // gives the menu loop a message to filter
        SendMessageW(Hwnd(), WM_CONTEXTMENU, WPARAM(Hwnd()), MAKELPARAM(-1, -1));
        EXPECT_TRUE(probe.seen);
    }
    std::vector<bool> EnabledItems() const
    {
        CMenuProbe probe;
        OpenMenu(probe);
        return probe.enabled;
    }
};

TEST_F(HexEditMenu, EnablesItsCommandsBySelectionAndClipboardAndCarriesThemOut)
{
    // Cut, Copy, Paste Hex Data, Paste as Text, Paste as Unicode Text, Clear, separator, Select All.
    ASSERT_TRUE(ClearClipboard());
    EXPECT_EQ(std::vector<bool>(8, false), EnabledItems()); // empty data, no text to paste
    SetData({0x00, 0xFF, 0x10, 0x20});
    ASSERT_TRUE(SetClipboardText(L"41"));
    EXPECT_EQ((std::vector<bool>{false, false, true, true, true, false, false, true}), EnabledItems());
    Drag(HexCell(1), HexCell(2));
    EXPECT_EQ((std::vector<bool>{true, true, true, true, true, true, false, true}), EnabledItems());
    // The whole data selected, backwards too: nothing more to select.
    Drag(HexCell(4), HexCell(0));
    EXPECT_FALSE(EnabledItems()[7]);
    Drag(HexCell(0), HexCell(3));
    CMenuProbe probe(CHexEditCtrl::kCut);
    OpenMenu(probe);
    EXPECT_EQ((Bytes{0x20}), Data());
    EXPECT_EQ(L"00 FF 10", GetClipboardText());
}

TEST_F(HexEditTest, TypingInBothColumnsAndTabbingOut)
{
    // Letters past f, punctuation and control characters change nothing in the hex column.
    Type(L"7gZ-\x08 F");
    EXPECT_EQ((Bytes{0x7F}), Data());
    // A single digit followed by a move leaves its byte with a zero low nibble.
    Type(L"4");
    Key(VK_RIGHT);
    EXPECT_EQ((Bytes{0x7F, 0x40}), Data());

    Key(VK_TAB);
    EXPECT_FALSE(m_hex.IsHexColumnActive());
    // The euro sign is 0x80 in code page 1252; a character outside it becomes the code page's "?".
    Type(L"\x00E9\x20AC\x4E01");
    EXPECT_EQ((Bytes{0x7F, 0x40, 0xE9, 0x80, 0x3F}), Data());
    Key(VK_TAB); // past the character column: to the next control
    SetShift(true);
    Key(VK_TAB); // character column back to hex
    EXPECT_TRUE(m_hex.IsHexColumnActive());
    Key(VK_TAB); // hex column: to the previous control
    SetShift(false);
    EXPECT_EQ((std::vector<int>{0, 1}), m_parent.focusMoves);
}

TEST_F(HexEditTest, ScrollBarFollowsTheLinesAndScrollingTakesTheCaretAlong)
{
    SetData(Bytes(400, 0x11));
    DWORD rows = m_hex.GetFullRows();
    ASSERT_GT(rows, 2u);
    Key(VK_END);
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Hwnd(), SB_VERT, &info);
    EXPECT_EQ(100, info.nMax); // 100 lines and the caret's line after them
    EXPECT_EQ(int(rows), int(info.nPage));
    EXPECT_EQ(101 - int(rows), info.nPos);
    EXPECT_EQ(DWORD(101 - rows) * 4, m_hex.GetTopOffset());

    SendMessageW(Hwnd(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(0u, m_hex.GetTopOffset());
    EXPECT_EQ((rows - 1) * 4, m_hex.GetCaret());
    SendMessageW(Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessageW(Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ((rows + 1) * 4, m_hex.GetTopOffset());
    EXPECT_EQ(m_hex.GetTopOffset(), m_hex.GetCaret());
    SendMessageW(Hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageW(Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(DWORD(101 - rows) * 4, m_hex.GetTopOffset());
}

TEST_F(HexEditTest, StylusHitsOutsideTheByteCellsAndADragKeepsItsColumn)
{
    SetData({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    Stylus(WM_LBUTTONDOWN, CharCell(5));
    EXPECT_EQ(Hwnd(), GetCapture());
    Stylus(WM_LBUTTONUP, CharCell(5));
    EXPECT_EQ(nullptr, GetCapture());
    // From the hex column over the character column: still hex geometry, so the line's end.
    Drag(HexCell(0), CharCell(1));
    EXPECT_TRUE(m_hex.IsHexColumnActive());
    EXPECT_EQ(0u, m_hex.GetAnchor());
    EXPECT_EQ(4u, m_hex.GetSelectionEnd());
    // The offset column gives the line's start; past the data gives the size.
    Drag({1, HexCell(4).y}, {1, HexCell(4).y});
    EXPECT_EQ(4u, m_hex.GetCaret());
    Drag(HexCell(11), HexCell(11));
    EXPECT_EQ(10u, m_hex.GetCaret());
    // Outside to the right: the caret goes to the top, no drag.
    RECT client;
    GetClientRect(Hwnd(), &client);
    Stylus(WM_LBUTTONDOWN, {client.right + 5, 5});
    EXPECT_EQ(0u, m_hex.GetCaret());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(HexEditTest, DragBelowTheWindowAutoScrollsUntilTheCaptureIsLost)
{
    Bytes data(400, 0x33);
    SetData(data);
    RECT client;
    GetClientRect(Hwnd(), &client);
    Stylus(WM_LBUTTONDOWN, HexCell(0));
    POINT below = {HexCell(0).x, client.bottom + 10};
    Stylus(WM_MOUSEMOVE, below);
    DWORD end = m_hex.GetSelectionEnd();
    EXPECT_EQ((m_hex.GetRows() - 1) * 4, end); // the last line's start
    EXPECT_EQ(0u, m_hex.GetTopOffset());
    SendMessageW(Hwnd(), WM_TIMER, CHexEditCtrl::kAutoScrollTimer, 0);
    EXPECT_EQ(4u, m_hex.GetTopOffset());
    EXPECT_EQ(end + 4, m_hex.GetSelectionEnd());
    EXPECT_EQ(0u, m_hex.GetCaret()); // the caret stays where the drag began
    ReleaseCapture();
    EXPECT_FALSE(m_hex.IsLowNibblePending());
    SendMessageW(Hwnd(), WM_TIMER, CHexEditCtrl::kAutoScrollTimer, 0);
    EXPECT_EQ(4u, m_hex.GetTopOffset());
    Stylus(WM_MOUSEMOVE, below); // no drag any more
    EXPECT_EQ(end + 4, m_hex.GetSelectionEnd());
}

TEST_F(HexEditTest, CopyThenPasteBackAndSelectionCommands)
{
    SetData({0x00, 0xFF, 0x10});
    Command(CHexEditCtrl::kSelectAll);
    Command(CHexEditCtrl::kCopy);
    EXPECT_EQ(L"00 FF 10", GetClipboardText());
    Key(VK_END);
    Command(CHexEditCtrl::kPasteHex);
    EXPECT_EQ((Bytes{0x00, 0xFF, 0x10, 0x00, 0xFF, 0x10}), Data());
    EXPECT_EQ(3u, m_hex.GetCaret()); // before the pasted bytes
    // Paste replaces a selection; Clear removes it.
    Drag(HexCell(1), HexCell(5));
    Command(CHexEditCtrl::kPasteHex);
    EXPECT_EQ((Bytes{0x00, 0x00, 0xFF, 0x10, 0x10}), Data());
    Drag(HexCell(1), HexCell(3));
    Command(CHexEditCtrl::kClear);
    EXPECT_EQ((Bytes{0x00, 0x10, 0x10}), Data());
    // A paste while a byte waits for its low nibble ends the nibble: the next digit is a new byte.
    Key(VK_HOME);
    Type(L"1");
    Command(CHexEditCtrl::kPasteHex);
    EXPECT_FALSE(m_hex.IsLowNibblePending());
    Type(L"2");
    EXPECT_EQ((Bytes{0x20, 0x00, 0xFF, 0x10, 0x10, 0x00, 0x10, 0x10}), Data());
    EXPECT_EQ(0, PasteFailures());
}

TEST_F(HexEditTest, PasteConversions)
{
    struct SCase
    {
        UINT command;
        const wchar_t* text;
        Bytes bytes;
    };
    const SCase cases[] = {
        {CHexEditCtrl::kPasteHex, L"1 23 456", {0x01, 0x23, 0x04, 0x56}},
        {CHexEditCtrl::kPasteHex, L"4142", {0x41, 0x42}},
        {CHexEditCtrl::kPasteHex, L"41 2", {0x41, 0x02}},
        {CHexEditCtrl::kPasteHex, L"\t0a\r\nBc  ", {0x0A, 0xBC}},
        {CHexEditCtrl::kPasteHex, L" \t ", {}},
        {CHexEditCtrl::kPasteText, L"AB", {0x41, 0x42}},
        {CHexEditCtrl::kPasteText, L"\x00E9\x20AC", {0xE9, 0x80}},
        {CHexEditCtrl::kPasteUnicode, L"AB", {0x41, 0x00, 0x42, 0x00}},
        {CHexEditCtrl::kPasteUnicode, L"\x20AC", {0xAC, 0x20}},
    };
    for (const SCase& test : cases) {
        SetData({});
        ASSERT_TRUE(SetClipboardText(test.text));
        Command(test.command);
        EXPECT_EQ(test.bytes, Data()) << "command " << test.command << " text " << test.text;
    }
    EXPECT_EQ(0, PasteFailures());
}

TEST_F(HexEditTest, FailedPasteChangesNothingAndTellsTheParent)
{
    SetData({1, 2, 3});
    Drag(HexCell(0), HexCell(2)); // a selection a successful paste would replace
    ASSERT_TRUE(SetClipboardText(L"4G"));
    Command(CHexEditCtrl::kPasteHex);
    EXPECT_EQ(1, PasteFailures());
    ASSERT_TRUE(SetClipboardText(L"12 x"));
    Command(CHexEditCtrl::kPasteHex);
    EXPECT_EQ(2, PasteFailures());
    // Two characters that compose into one ANSI character cannot be one byte each.
    ASSERT_TRUE(SetClipboardText(L"e\x0301"));
    Command(CHexEditCtrl::kPasteText);
    EXPECT_EQ(3, PasteFailures());
    ASSERT_TRUE(ClearClipboard());
    Command(CHexEditCtrl::kPasteUnicode);
    EXPECT_EQ(4, PasteFailures());
    EXPECT_EQ((Bytes{1, 2, 3}), Data());
    EXPECT_EQ(0u, m_hex.GetAnchor());
    EXPECT_EQ(2u, m_hex.GetSelectionEnd());
}

TEST_F(HexEditTest, ReadOnlyAllowsMovingSelectingAndCopyingOnly)
{
    SetData({1, 2, 3});
    m_hex.SetReadOnly(true);
    Type(L"12");
    Key(VK_DELETE);
    Key(VK_END);
    Key(VK_BACK);
    Command(CHexEditCtrl::kSelectAll);
    Command(CHexEditCtrl::kCut);
    Command(CHexEditCtrl::kClear);
    ASSERT_TRUE(SetClipboardText(L"99"));
    Command(CHexEditCtrl::kPasteHex);
    EXPECT_EQ((Bytes{1, 2, 3}), Data());
    Command(CHexEditCtrl::kCopy);
    EXPECT_EQ(L"01 02 03", GetClipboardText());
}

TEST_F(HexEditTest, FocusLossReturnsToTheHexColumnAndEndsTheNibble)
{
    Type(L"3");
    Key(VK_TAB);
    EXPECT_FALSE(m_hex.IsHexColumnActive());
    EXPECT_FALSE(m_hex.IsLowNibblePending());
    Type(L"x"); // at the caret, which stayed before the 0x30
    SetFocus(m_parent.GetHwnd());
    EXPECT_TRUE(m_hex.IsHexColumnActive());
    SetFocus(Hwnd());
    Type(L"4");
    EXPECT_TRUE(m_hex.IsLowNibblePending());
    SetFocus(m_parent.GetHwnd());
    EXPECT_FALSE(m_hex.IsLowNibblePending());
    SetFocus(Hwnd());
    Type(L"5"); // a new byte, not the low nibble of the 0x40
    EXPECT_EQ((Bytes{0x78, 0x50, 0x40, 0x30}), Data());
    // Enter asks the shell for the context gesture, which reaches the parent here.
    Key(VK_RETURN);
    EXPECT_EQ((std::vector<int>{GN_CONTEXTMENU}), m_parent.notifyCodes);
}

TEST_F(HexEditTest, SmartphoneUpAndDownLeaveTheControlAtTheDataEnds)
{
    OverridePlatformType(L"Smartphone");
    ResetDeviceInfo();
    SetData({1, 2, 3, 4, 5, 6});
    Key(VK_DOWN);
    EXPECT_EQ(4u, m_hex.GetCaret());
    Key(VK_DOWN); // 4 + 4 > 6
    EXPECT_EQ(4u, m_hex.GetCaret());
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(0u, m_hex.GetCaret());
    ClearPlatformOverrides();
    ResetDeviceInfo();
    EXPECT_EQ((std::vector<int>{0, 1}), m_parent.focusMoves);
}

TEST_F(HexEditTest, RequiredWidthGivesTheFixedBytesPerLineWhenMeasured)
{
    for (DWORD count : {1u, 4u, 8u, 16u}) {
        m_hex.SetBytesPerLine(count);
        int width = m_hex.GetRequiredWidth();
        ASSERT_GT(width, 0);
        MoveWindow(Hwnd(), 10, 10, width, 120, TRUE);
        m_hex.SetBytesPerLine(0);
        EXPECT_EQ(count, m_hex.GetAutoBytesPerLine()) << width;
        EXPECT_EQ(count, m_hex.GetBytesPerLine());
    }
    EXPECT_EQ(0, m_hex.GetRequiredWidth());
    MoveWindow(Hwnd(), 10, 10, 5, 120, TRUE); // narrower than the offsets
    EXPECT_EQ(1u, m_hex.GetBytesPerLine());
}

TEST_F(HexEditTest, OffsetsPastFourDigitsWidenTheOffsetColumn)
{
    int fourDigits = m_hex.GetHexColumnX();
    Bytes data(0xFFFF, 0);
    SetData(data);
    EXPECT_EQ(fourDigits, m_hex.GetHexColumnX()); // the caret's line after the data starts at 0xFFFC
    Key(VK_END);
    Type(L"1");
    EXPECT_GT(m_hex.GetHexColumnX(), fourDigits);
    EXPECT_EQ(0xFFFFu, m_hex.HitTest(HexCell(0xFFFF).x, HexCell(0xFFFF).y).position);
    Key(VK_BACK);
    EXPECT_EQ(fourDigits, m_hex.GetHexColumnX());
}
