// What the control paints, read back from a bitmap it printed its client area into: the caret
// frame and its half frame, the colours of the active and the other column, the selection fill,
// and that empty data shows just the first line.
#include "tests/dialogs/HexEditFixture.h"

#include "shd/ScreenScale.h"

namespace {

class CClientPicture
{
public:
    explicit CClientPicture(HWND window)
    {
        RECT client;
        GetClientRect(window, &client);
        m_width = client.right;
        BITMAPINFO info = {};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<const DWORD*>(bits);
        m_old = SelectObject(m_dc, m_bitmap);
        SendMessageW(window, WM_PRINTCLIENT, WPARAM(m_dc), PRF_CLIENT);
        GdiFlush();
    }
    ~CClientPicture()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    CClientPicture(const CClientPicture&) = delete;
    CClientPicture& operator=(const CClientPicture&) = delete;

    COLORREF At(int x, int y) const
    {
        DWORD pixel = m_bits[y * m_width + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    // Whether the pixel at x or one beside it has the colour (a two-pixel pen straddles its line).
    bool Near(int x, int y, int systemColor) const
    {
        COLORREF color = GetSysColor(systemColor);
        return At(x - 1, y) == color || At(x, y) == color || At(x + 1, y) == color;
    }
    int CountNot(RECT area, int systemColor) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x)
                count += At(x, y) != GetSysColor(systemColor);
        }
        return count;
    }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    const DWORD* m_bits = nullptr;
    int m_width = 0;
};

} // namespace

class HexEditPaint : public HexEditTest
{
protected:
    int MidLine(int line) const
    {
        return ScaleY(3) + line * m_hex.GetLineHeight() + m_hex.GetLineHeight() / 2;
    }
    // Left edges of a byte's cells: frames and fills start there.
    int HexCellLeft(int column) const
    {
        return m_hex.GetHexColumnX() + column * m_hex.GetByteCellWidth() - m_hex.GetGapWidth() / 2;
    }
    int CharCellLeft(int column) const
    {
        return m_hex.GetCharColumnX() + column * m_hex.GetCharCellWidth() - ScaleX(3) / 2;
    }
};

TEST_F(HexEditPaint, CaretFrameFollowsTheNibbleAndTheFocus)
{
    {
        // Empty data: one line "0000" and the frame on its first cells, nothing below.
        CClientPicture picture(Hwnd());
        EXPECT_TRUE(picture.Near(HexCellLeft(0), MidLine(0), COLOR_HIGHLIGHT));
        EXPECT_TRUE(picture.Near(CharCellLeft(0), MidLine(0), COLOR_GRAYTEXT));
        RECT offsets = {ScaleX(5), ScaleY(3), m_hex.GetHexColumnX() - ScaleX(8) - 2,
                        ScaleY(3) + m_hex.GetLineHeight()};
        EXPECT_GT(picture.CountNot(offsets, COLOR_WINDOW), 0);
        offsets.top += m_hex.GetLineHeight();
        offsets.bottom += 3 * m_hex.GetLineHeight();
        EXPECT_EQ(0, picture.CountNot(offsets, COLOR_WINDOW));
    }
    Type(L"7");
    {
        // Waiting for the low nibble: only the right half of the hex cell is framed.
        CClientPicture picture(Hwnd());
        EXPECT_FALSE(picture.Near(HexCellLeft(0), MidLine(0), COLOR_HIGHLIGHT));
        EXPECT_TRUE(picture.Near(HexCellLeft(0) + m_hex.GetByteCellWidth() / 2, MidLine(0), COLOR_HIGHLIGHT));
    }
    Type(L"F");
    Key(VK_TAB);
    {
        // The character column is active now; the frame moved on to the cells after the byte.
        CClientPicture picture(Hwnd());
        EXPECT_TRUE(picture.Near(HexCellLeft(1), MidLine(0), COLOR_GRAYTEXT));
        EXPECT_TRUE(picture.Near(CharCellLeft(1), MidLine(0), COLOR_HIGHLIGHT));
    }
    SetFocus(m_parent.GetHwnd());
    {
        CClientPicture picture(Hwnd());
        EXPECT_TRUE(picture.Near(HexCellLeft(1), MidLine(0), COLOR_GRAYTEXT));
        EXPECT_TRUE(picture.Near(CharCellLeft(1), MidLine(0), COLOR_GRAYTEXT));
    }
}

TEST_F(HexEditPaint, SelectionIsFilledInBothColumns)
{
    SetData({0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
    Drag(HexCell(1), HexCell(5)); // bytes 1 to 4, over two lines
    CClientPicture picture(Hwnd());
    // Just inside the fill's left edge, where no digit is drawn.
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), picture.At(HexCellLeft(1) + 1, MidLine(0)));
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), picture.At(CharCellLeft(1) + 1, MidLine(0)));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), picture.At(HexCellLeft(0) + 1, MidLine(1)));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), picture.At(HexCellLeft(1) + 1, MidLine(1)));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), picture.At(HexCellLeft(0) + 1, MidLine(0)));
}

TEST_F(HexEditPaint, OffsetsFromTheSixtyFifthKibibyteShowFiveDigits)
{
    SetData(Bytes(0x10008, 0));
    Key(VK_END);
    int digit = (m_hex.GetHexColumnX() - ScaleX(16) - ScaleX(5)) / 5;
    int line = int((m_hex.GetCaret() - m_hex.GetTopOffset()) / m_hex.GetBytesPerLine());
    CClientPicture picture(Hwnd());
    RECT fifthDigit = {ScaleX(5) + 4 * digit, MidLine(line) - m_hex.GetLineHeight() / 2,
                       ScaleX(5) + 5 * digit, MidLine(line) + m_hex.GetLineHeight() / 2};
    EXPECT_GT(picture.CountNot(fifthDigit, COLOR_WINDOW), 0);
    // Four lines up the offset is FFF8: four digits only.
    OffsetRect(&fifthDigit, 0, -4 * m_hex.GetLineHeight());
    EXPECT_EQ(0, picture.CountNot(fifthDigit, COLOR_WINDOW));
}
