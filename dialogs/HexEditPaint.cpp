// The hex edit control's painting: one off-screen bitmap per paint, the visible lines only.
#include "dialogs/HexEditCtrl.h"

#include "shd/ScreenScale.h"
#include "shd/SelectObject.h"

namespace {

DWORD Min(DWORD a, DWORD b)
{
    return a < b ? a : b;
}

class CGdiObject
{
public:
    explicit CGdiObject(HGDIOBJ object) : m_object(object) {}
    ~CGdiObject()
    {
        if (m_object)
            DeleteObject(m_object);
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    HGDIOBJ Get() const { return m_object; }

private:
    HGDIOBJ m_object;
};

void DrawCellText(HDC dc, const wchar_t* text, int x, int y)
{
    RECT rect = {x, y, x + 1, y + 1};
    DrawTextW(dc, text, -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

wchar_t ByteToChar(BYTE value)
{
    if (value < 0x21 || value == 0x7F || value == 0xFF)
        return L'.';
    if (value < 0x80)
        return wchar_t(value);
    wchar_t converted[2] = {};
    char source = char(value);
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, &source, 1, converted, 2) != 1)
        return L'.';
    return converted[0];
}

} // namespace

void CHexEditCtrl::OnPaint()
{
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(m_hwnd, &paint);
    if (!screen)
        return;
    PaintClient(screen);
    EndPaint(m_hwnd, &paint);
}

void CHexEditCtrl::PaintClient(HDC target) const
{
    // Everything is drawn off screen first and copied in one piece, so nothing flickers.
    int width = GetClientWidth();
    int height = GetClientHeight();
    if (width <= 0 || height <= 0)
        return;
    HDC memory = CreateCompatibleDC(target);
    CGdiObject bitmap(CreateCompatibleBitmap(target, width, height));
    if (memory && bitmap.Get()) {
        CSelectObject selectBitmap(memory, bitmap.Get());
        PaintLines(memory, width, height);
        BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    }
    if (memory)
        DeleteDC(memory);
}

void CHexEditCtrl::PaintLines(HDC dc, int width, int height) const
{
    RECT client = {0, 0, width, height};
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    int top = TopMargin();
    CGdiObject pen(CreatePen(PS_SOLID, ScaleX(1), GetSysColor(COLOR_GRAYTEXT)));
    {
        CSelectObject selectPen(dc, pen.Get());
        int x = LeftMargin() + m_offsetWidth + ColumnGap() / 2;
        POINT first[2] = {{x, top}, {x, height - top}};
        Polyline(dc, first, 2);
        x += GetCharColumnX() - GetHexColumnX();
        POINT second[2] = {{x, top}, {x, height - top}};
        Polyline(dc, second, 2);
    }
    CSelectObject font(dc, m_font);
    SetBkMode(dc, TRANSPARENT);
    DWORD b = GetBytesPerLine();
    DWORD size = m_model.GetSize();
    unsigned long long lineStart = m_model.GetTopOffset();
    for (int y = top; lineStart <= size && y < height && m_lineHeight > 0; y += m_lineHeight, lineStart += b)
        PaintLine(dc, DWORD(lineStart), y);
}

void CHexEditCtrl::PaintLine(HDC dc, DWORD lineStart, int y) const
{
    if (HasSelection())
        PaintSelection(dc, lineStart, y);
    else
        PaintCaretFrame(dc, lineStart, y);
    CString offset;
    offset.Format(L"%04X", lineStart);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawCellText(dc, offset, LeftMargin(), y);
    PaintCells(dc, lineStart, y);
}

COLORREF CHexEditCtrl::GetMarkColor(bool hexColumn) const
{
    bool focused = GetFocus() == m_hwnd;
    return GetSysColor(hexColumn == m_model.IsHexColumnActive() && focused ? COLOR_HIGHLIGHT
                                                                           : COLOR_GRAYTEXT);
}

void CHexEditCtrl::PaintSelection(HDC dc, DWORD lineStart, int y) const
{
    DWORD b = GetBytesPerLine();
    DWORD low = m_model.GetSelectionLow(), high = m_model.GetSelectionHigh();
    if (high <= lineStart || low >= lineStart + b)
        return;
    int s = int(low > lineStart ? low - lineStart : 0);
    int e = int(high - lineStart < b ? high - lineStart : b);
    for (int hex = 1; hex >= 0; --hex) {
        CGdiObject brush(CreateSolidBrush(GetMarkColor(hex != 0)));
        RECT rect;
        if (hex) {
            int cell = GetByteCellWidth();
            rect.left = GetHexColumnX() + s * cell - m_gapWidth / 2;
            rect.right = rect.left + (e - s) * cell;
        } else {
            int cell = GetCharCellWidth();
            rect.left = GetCharColumnX() + s * cell - CharGap() / 2;
            rect.right = rect.left + (e - s) * cell;
        }
        rect.top = y;
        rect.bottom = y + m_lineHeight;
        FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
    }
}

void CHexEditCtrl::PaintCaretFrame(HDC dc, DWORD lineStart, int y) const
{
    DWORD b = GetBytesPerLine();
    DWORD caret = m_model.GetCaret();
    if (caret < lineStart || caret - lineStart >= b)
        return;
    int j = int(caret - lineStart);
    CSelectObject brush(dc, GetStockObject(NULL_BRUSH));
    for (int hex = 1; hex >= 0; --hex) {
        CGdiObject pen(CreatePen(PS_SOLID, ScaleX(2), GetMarkColor(hex != 0)));
        CSelectObject selectPen(dc, pen.Get());
        int left, right;
        if (hex) {
            left = GetHexColumnX() + j * GetByteCellWidth() - m_gapWidth / 2;
            right = left + GetByteCellWidth();
            if (m_model.IsLowNibblePending())
                left += GetByteCellWidth() / 2;
        } else {
            left = GetCharColumnX() + j * GetCharCellWidth() - CharGap() / 2;
            right = left + GetCharCellWidth();
        }
        Rectangle(dc, left, y, right, y + m_lineHeight);
    }
}

void CHexEditCtrl::PaintCells(HDC dc, DWORD lineStart, int y) const
{
    DWORD size = m_model.GetSize();
    if (lineStart >= size)
        return;
    DWORD count = Min(GetBytesPerLine(), size - lineStart);
    // Selected bytes of the line: [from, to) counted from the line's start.
    DWORD low = m_model.GetSelectionLow(), high = m_model.GetSelectionHigh();
    DWORD from = low > lineStart ? Min(low - lineStart, count) : 0;
    DWORD to = high > lineStart ? Min(high - lineStart, count) : 0;
    if (from >= to)
        from = to = count;
    COLORREF normal = GetSysColor(COLOR_WINDOWTEXT);
    SetTextColor(dc, normal);
    PaintRun(dc, lineStart, 0, from, y);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    PaintRun(dc, lineStart, from, to, y);
    SetTextColor(dc, normal);
    PaintRun(dc, lineStart, to, count, y);
}

void CHexEditCtrl::PaintRun(HDC dc, DWORD lineStart, DWORD first, DWORD last, int y) const
{
    // A run of cells in one call per column; each character advances by its share of its cell,
    // so the text stands where cell-by-cell drawing would put it.
    const DWORD kChunk = 64;
    wchar_t hex[2 * kChunk], chars[kChunk];
    INT hexAdvance[2 * kChunk], charAdvance[kChunk];
    const BYTE* bytes = m_model.GetData() + lineStart;
    int firstDigit = m_byteWidth / 2;
    for (DWORD start = first; start < last; start += kChunk) {
        DWORD count = Min(kChunk, last - start);
        for (DWORD i = 0; i < count; ++i) {
            BYTE value = bytes[start + i];
            hex[2 * i] = L"0123456789ABCDEF"[value >> 4];
            hex[2 * i + 1] = L"0123456789ABCDEF"[value & 15];
            hexAdvance[2 * i] = firstDigit;
            hexAdvance[2 * i + 1] = GetByteCellWidth() - firstDigit;
            chars[i] = ByteToChar(value);
            charAdvance[i] = GetCharCellWidth();
        }
        ExtTextOutW(dc, GetHexColumnX() + int(start) * GetByteCellWidth(), y, 0, nullptr, hex,
                    UINT(2 * count), hexAdvance);
        ExtTextOutW(dc, GetCharColumnX() + int(start) * GetCharCellWidth(), y, 0, nullptr, chars, UINT(count),
                    charAdvance);
    }
}
