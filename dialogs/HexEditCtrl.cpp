// The hex edit control: measuring, painting, the editing model, stylus, scrolling, clipboard.
#include "dialogs/HexEditCtrl.h"

#include "platform/AygShell.h"
#include "shd/DeviceInfo.h"
#include "shd/HexDigits.h"
#include "shd/ScreenScale.h"
#include "shd/SelectObject.h"

#include <windowsx.h>

#include <cstring>
#include <cwctype>

namespace {

const wchar_t kClassName[] = L"HiveletHexEdit";

// Margins and gaps at 96 dpi.
int LeftMargin()
{
    return ScaleX(5);
}
int CharGap()
{
    return ScaleX(3);
}
int TopMargin()
{
    return ScaleY(3);
}
int ColumnGap()
{
    return ScaleX(16);
}

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

bool MeasureText(HDC dc, const wchar_t* text, SIZE& size)
{
    return GetTextExtentExPointW(dc, text, int(wcslen(text)), 0, nullptr, nullptr, &size) != FALSE;
}

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

BYTE CharToByte(wchar_t ch)
{
    char converted[4] = {};
    if (WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, &ch, 1, converted, sizeof(converted), nullptr,
                            nullptr) != 1)
        return BYTE(ch & 0xFF);
    return BYTE(converted[0]);
}

} // namespace

CHexEditCtrl::~CHexEditCtrl()
{
    Destroy();
}

const CShdWnd::CClass* CHexEditCtrl::GetClass()
{
    static CClass windowClass;
    if (!windowClass.IsRegistered())
        windowClass.Register(kClassName, 0, nullptr);
    return &windowClass;
}

bool CHexEditCtrl::Create(HWND parent, UINT id, const RECT& rect, DWORD style)
{
    return CShdWnd::Create(0, GetClass(), L"", style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, id, GetModuleHandleW(nullptr));
}

bool CHexEditCtrl::CreateInPlaceOf(HWND placeholder)
{
    HWND parent = GetParent(placeholder);
    if (!parent || m_hwnd)
        return false;
    RECT rect;
    GetWindowRect(placeholder, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    DWORD style = DWORD(GetWindowLongPtrW(placeholder, GWL_STYLE)) & ~DWORD(0xFFFF);
    UINT id = UINT(GetDlgCtrlID(placeholder));
    if (!Create(parent, id, rect, style | WS_VSCROLL))
        return false;
    SetWindowPos(m_hwnd, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(placeholder);
    return true;
}

// ---- Public operations ----

bool CHexEditCtrl::SetBytes(const void* data, DWORD size)
{
    bool copied = (data || size == 0) && m_data.Assign(data, size);
    if (!copied)
        m_data.Free();
    m_top = m_anchor = m_end = m_caret = 0;
    m_lowNibblePending = false;
    if (m_hwnd) {
        RemeasureIfOffsetDigitsChanged();
        RebuildScrollBar();
        Repaint();
    }
    return copied;
}

bool CHexEditCtrl::GetBytes(CShdBinaryBuffer& target) const
{
    if (target.Assign(m_data.GetData(), m_data.GetSize()))
        return true;
    target.Free();
    return false;
}

void CHexEditCtrl::SetBytesPerLine(DWORD count)
{
    m_fixedBytesPerLine = count;
    if (m_hwnd) {
        RebuildScrollBar();
        Repaint();
    }
}

DWORD CHexEditCtrl::GetBytesPerLine() const
{
    DWORD count = m_fixedBytesPerLine ? m_fixedBytesPerLine : m_autoBytesPerLine;
    return count ? count : 1;
}

DWORD CHexEditCtrl::GetAutoBytesPerLine()
{
    if (m_autoBytesPerLine == 0 && m_hwnd)
        Measure();
    return m_autoBytesPerLine;
}

int CHexEditCtrl::GetRequiredWidth() const
{
    int count = int(m_fixedBytesPerLine);
    if (count == 0)
        return 0;
    int width = (m_gapWidth + CharGap()) * (count - 1) + (m_charWidth + m_byteWidth) * count +
                2 * (ColumnGap() + LeftMargin()) + m_offsetWidth;
    if (m_hwnd) {
        RECT window, client;
        GetWindowRect(m_hwnd, &window);
        GetClientRect(m_hwnd, &client);
        width += (window.right - window.left) - client.right;
        if (!(GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_VSCROLL))
            width += GetSystemMetrics(SM_CXVSCROLL);
    }
    return width;
}

void CHexEditCtrl::Focus() const
{
    if (m_hwnd)
        SetFocus(m_hwnd);
}

bool CHexEditCtrl::ExecuteCommand(UINT command)
{
    bool editable = !m_readOnly;
    switch (command) {
    case kCut:
        if (!editable || !HasSelection())
            return false;
        Copy();
        DeleteSelection();
        return true;
    case kCopy:
        if (!HasSelection())
            return false;
        Copy();
        return true;
    case kPasteHex:
    case kPasteText:
    case kPasteUnicode:
        if (!editable)
            return false;
        Paste(command);
        return true;
    case kClear:
        if (!editable)
            return false;
        DeleteSelection();
        return true;
    case kSelectAll:
        m_anchor = 0;
        m_end = m_data.GetSize();
        m_caret = 0;
        m_lowNibblePending = false;
        Repaint();
        return true;
    default:
        return false;
    }
}

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

// ---- Messages ----

LRESULT CHexEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        OnSize();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT:
        PaintClient(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETDLGCODE:
        return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        OnFocus(message == WM_SETFOCUS);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(UINT(wParam));
        return 0;
    case WM_CHAR:
        OnChar(wchar_t(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (m_dragging)
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_INITMENUPOPUP:
        if (m_menu && reinterpret_cast<HMENU>(wParam) == m_menu)
            UpdateMenuItems(m_menu);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0)
            ExecuteCommand(LOWORD(wParam));
        return 0;
    default:
        return CShdWnd::WindowProc(message, wParam, lParam);
    }
}

UINT CHexEditCtrl::OnGetDlgCode(const MSG* message) const
{
    // Enter is the control's own key (its context menu): a dialog must not take it for its
    // default button, or the editor would end while the user meant to cut, copy or paste.
    UINT code = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT CHexEditCtrl::OnCreate()
{
    LOGFONTW font = {};
    font.lfHeight = FontHeightFromPoints(9);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcscpy(font.lfFaceName, L"Courier New");
    m_font = CreateFontIndirectW(&font);
    m_dragging = false;
    m_autoScroll = false;
    m_scrollMaximum = m_scrollPage = m_scrollPosition = -1;
    Measure();
    RebuildScrollBar();
    return 0;
}

void CHexEditCtrl::OnSize()
{
    Measure();
    RebuildScrollBar();
}

void CHexEditCtrl::OnDestroy()
{
    SetAutoScroll(0);
    m_dragging = false;
    if (m_font)
        DeleteObject(m_font);
    m_font = nullptr;
}

void CHexEditCtrl::OnFocus(bool gained)
{
    if (!gained) {
        m_hexColumn = true;
        m_lowNibblePending = false;
    }
    Repaint();
    HWND parent = GetParent(m_hwnd);
    for (HWND child = parent ? GetWindow(parent, GW_CHILD) : nullptr; child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        CString name;
        if (QueryClassName(child, name) && _wcsicmp(name, L"SIPPREF") == 0) {
            SHSipPreference(parent, gained ? SIP_UP : SIP_DOWN);
            break;
        }
    }
}

// ---- Metrics ----

void CHexEditCtrl::ResetMetrics()
{
    m_autoBytesPerLine = 1;
    m_fullRows = 0;
    m_rows = 1;
    m_lineHeight = 1;
    m_offsetWidth = 1;
    m_byteWidth = 1;
    m_gapWidth = 0;
    m_charWidth = 1;
}

DWORD CHexEditCtrl::GetOffsetDigits() const
{
    // The largest offset painted is the start of the line that holds the size.
    DWORD digits = 4;
    DWORD largest = m_data.GetSize();
    while (digits < 8 && (largest >> (4 * digits)) != 0)
        ++digits;
    return digits;
}

void CHexEditCtrl::Measure()
{
    ResetMetrics();
    if (!m_hwnd)
        return;
    if (HDC dc = GetDC(m_hwnd)) {
        CSelectObject font(dc, m_font);
        SIZE size;
        // Offsets of more than four digits widen the column instead of running into the hex cells.
        m_measuredDigits = GetOffsetDigits();
        if (MeasureText(dc, CString(L'0', int(m_measuredDigits)), size)) {
            m_offsetWidth = size.cx;
            m_lineHeight = size.cy;
        }
        if (MeasureText(dc, L"00", size))
            m_byteWidth = size.cx;
        if (MeasureText(dc, L" ", size))
            m_gapWidth = size.cx;
        if (MeasureText(dc, L"W", size))
            m_charWidth = size.cx;
        ReleaseDC(m_hwnd, dc);
    }
    int available = GetClientWidth() - 2 * (LeftMargin() + ColumnGap()) - m_offsetWidth;
    if (available >= 0)
        m_autoBytesPerLine = DWORD(available + m_gapWidth + CharGap()) /
                             DWORD(m_byteWidth + m_gapWidth + m_charWidth + CharGap());
    else
        m_autoBytesPerLine = 1;
    int height = GetClientHeight() - 2 * TopMargin();
    m_fullRows = height > 0 ? DWORD(height / m_lineHeight) : 0;
    m_rows = height > 0 ? DWORD((height + m_lineHeight - 1) / m_lineHeight) : 0;
}

void CHexEditCtrl::RemeasureIfOffsetDigitsChanged()
{
    if (GetOffsetDigits() != m_measuredDigits)
        Measure();
}

int CHexEditCtrl::GetClientWidth() const
{
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    return client.right;
}

int CHexEditCtrl::GetClientHeight() const
{
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    return client.bottom;
}

int CHexEditCtrl::GetHexColumnX() const
{
    return LeftMargin() + m_offsetWidth + ColumnGap();
}

int CHexEditCtrl::GetCharColumnX() const
{
    int b = int(GetBytesPerLine());
    return GetHexColumnX() + b * m_byteWidth + (b - 1) * m_gapWidth + ColumnGap();
}

int CHexEditCtrl::GetCharCellWidth() const
{
    return m_charWidth + CharGap();
}

DWORD CHexEditCtrl::GetLineCount() const
{
    DWORD b = GetBytesPerLine();
    DWORD size = m_data.GetSize();
    return size / b + (size % b ? 1 : 0);
}

int CHexEditCtrl::GetScrollMaximum() const
{
    int page = m_fullRows > 1 ? int(m_fullRows) : 1;
    int lines = int(GetLineCount());
    return lines > page - 1 ? lines : page - 1;
}

// ---- Hit testing ----

CHexEditCtrl::SHit CHexEditCtrl::HitTest(int x, int y, EColumn lockedTo) const
{
    SHit hit;
    if (m_lineHeight <= 0)
        return hit;
    int row = (y - TopMargin()) / m_lineHeight;
    int lastRow = m_rows > 0 ? int(m_rows) - 1 : 0;
    row = row < 0 ? 0 : (row > lastRow ? lastRow : row);
    DWORD b = GetBytesPerLine();
    unsigned long long lineStart = m_top + (unsigned long long)row * b;
    int hx = GetHexColumnX();
    int tx = GetCharColumnX();
    int half = ColumnGap() / 2;
    if (x >= 0 && x < hx - half) {
        hit.column = EColumn::kOffset;
    } else if (lockedTo == EColumn::kHex || lockedTo == EColumn::kChar) {
        hit.column = lockedTo;
    } else if (x >= hx - half && x < tx - half) {
        hit.column = EColumn::kHex;
    } else if (x >= tx - half && x < GetClientWidth()) {
        hit.column = EColumn::kChar;
    } else {
        return hit;
    }
    unsigned long long column = 0;
    if (hit.column == EColumn::kHex) {
        int from = x + m_gapWidth / 2 - hx;
        column = DWORD(from > 0 ? from : 0) / DWORD(GetByteCellWidth() > 0 ? GetByteCellWidth() : 1);
    } else if (hit.column == EColumn::kChar) {
        int from = x + m_gapWidth / 2 - tx;
        column = DWORD(from > 0 ? from : 0) / DWORD(GetCharCellWidth() > 0 ? GetCharCellWidth() : 1);
    }
    if (column > b)
        column = b;
    unsigned long long position = lineStart + column;
    hit.position = position > 0xFFFFFFFFull ? 0xFFFFFFFF : DWORD(position);
    return hit;
}

// ---- Painting ----

void CHexEditCtrl::Repaint()
{
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

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
    DWORD size = m_data.GetSize();
    unsigned long long lineStart = m_top;
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
    return GetSysColor(hexColumn == m_hexColumn && focused ? COLOR_HIGHLIGHT : COLOR_GRAYTEXT);
}

void CHexEditCtrl::PaintSelection(HDC dc, DWORD lineStart, int y) const
{
    DWORD b = GetBytesPerLine();
    DWORD low = Min(m_anchor, m_end), high = m_anchor < m_end ? m_end : m_anchor;
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
    if (m_caret < lineStart || m_caret - lineStart >= b)
        return;
    int j = int(m_caret - lineStart);
    CSelectObject brush(dc, GetStockObject(NULL_BRUSH));
    for (int hex = 1; hex >= 0; --hex) {
        CGdiObject pen(CreatePen(PS_SOLID, ScaleX(2), GetMarkColor(hex != 0)));
        CSelectObject selectPen(dc, pen.Get());
        int left, right;
        if (hex) {
            left = GetHexColumnX() + j * GetByteCellWidth() - m_gapWidth / 2;
            right = left + GetByteCellWidth();
            if (m_lowNibblePending)
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
    DWORD size = m_data.GetSize();
    if (lineStart >= size)
        return;
    DWORD count = Min(GetBytesPerLine(), size - lineStart);
    // Selected bytes of the line: [from, to) counted from the line's start.
    DWORD low = Min(m_anchor, m_end), high = m_anchor < m_end ? m_end : m_anchor;
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
    const BYTE* bytes = m_data.GetData() + lineStart;
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

// ---- Scrolling ----

void CHexEditCtrl::RebuildScrollBar()
{
    if (!m_hwnd)
        return;
    DWORD b = GetBytesPerLine();
    int page = m_fullRows > 1 ? int(m_fullRows) : 1;
    int maximum = GetScrollMaximum();
    int position = int(m_top / b);
    if (position > maximum - page + 1)
        position = maximum - page + 1;
    m_top = DWORD(position) * b;
    // Setting the scroll bar is slow on some platforms; most edits leave it as it was.
    if (maximum == m_scrollMaximum && page == m_scrollPage && position == m_scrollPosition)
        return;
    SCROLLINFO info = {sizeof(info),
                       SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                       0,
                       maximum,
                       UINT(page),
                       position,
                       0};
    SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
    m_scrollMaximum = maximum;
    m_scrollPage = page;
    m_scrollPosition = position;
}

void CHexEditCtrl::SetScrollPosition(int position)
{
    if (position == m_scrollPosition)
        return;
    SCROLLINFO info = {sizeof(info), SIF_POS, 0, 0, 0, position, 0};
    SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
    m_scrollPosition = position;
}

void CHexEditCtrl::SetScrollPositionForCaret()
{
    DWORD b = GetBytesPerLine();
    DWORD size = m_data.GetSize();
    if (m_caret >= (size / b) * b)
        SetScrollPosition(GetScrollMaximum());
    else
        SetScrollPosition(int(m_top / b));
}

void CHexEditCtrl::ScrollCaretIntoView()
{
    DWORD b = GetBytesPerLine();
    unsigned long long rows = m_fullRows;
    if (m_caret >= m_top && rows > 0) {
        if (m_caret < m_top + rows * b)
            return;
        m_top = DWORD((m_caret - (rows - 1) * b) / b * b);
    } else {
        m_top = m_caret / b * b;
    }
}

void CHexEditCtrl::OnVScroll(int code)
{
    int position = 0;
    if (!GetScrollTarget(code, position))
        return;
    DWORD b = GetBytesPerLine();
    int page = m_fullRows > 1 ? int(m_fullRows) : 1;
    int last = GetScrollMaximum() - page + 1;
    position = position > last ? last : position;
    position = position < 0 ? 0 : position;
    m_top = DWORD(position) * b;
    // An empty selection's caret comes along into the page; a drag keeps where it began.
    if (!HasSelection() && !m_dragging) {
        unsigned long long visibleEnd = m_top + (unsigned long long)page * b;
        if (m_caret >= visibleEnd)
            SetCaret(Min(DWORD(visibleEnd - b), m_data.GetSize()));
        else if (m_caret < m_top)
            SetCaret(m_top);
    }
    SetScrollPosition(position);
    Repaint();
}

bool CHexEditCtrl::GetScrollTarget(int code, int& position) const
{
    int page = m_fullRows > 1 ? int(m_fullRows) : 1;
    int current = int(m_top / GetBytesPerLine());
    switch (code) {
    case SB_LINEUP:
        position = current - 1;
        return true;
    case SB_LINEDOWN:
        position = current + 1;
        return true;
    case SB_PAGEUP:
        position = current - page;
        return true;
    case SB_PAGEDOWN:
        position = current + page;
        return true;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        // The 32-bit track position: the message's own is 16 bits.
        SCROLLINFO info = {sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        position = GetScrollInfo(m_hwnd, SB_VERT, &info) ? info.nTrackPos : current;
        return true;
    }
    case SB_TOP:
        position = 0;
        return true;
    case SB_BOTTOM:
        position = GetScrollMaximum();
        return true;
    default:
        return false;
    }
}

// ---- Editing model ----

void CHexEditCtrl::SetCaret(DWORD caret)
{
    m_caret = m_anchor = m_end = caret;
    m_lowNibblePending = false;
}

void CHexEditCtrl::CollapseSelection(bool toUpper)
{
    if (!HasSelection())
        return;
    DWORD low = Min(m_anchor, m_end), high = m_anchor < m_end ? m_end : m_anchor;
    m_caret = m_anchor = m_end = toUpper ? high : low;
}

bool CHexEditCtrl::Reserve(DWORD size)
{
    // Grow by half again, so typing at the end of a large buffer does not copy it every time.
    DWORD capacity = m_data.GetCapacity();
    if (m_data.GetData() && size <= capacity)
        return true;
    DWORD used = m_data.GetSize();
    DWORD grown = capacity + capacity / 2 + 16;
    if (grown < capacity || grown < size)
        grown = size;
    if (!m_data.SetSize(grown) && !m_data.SetSize(size))
        return false;
    return m_data.SetSize(used);
}

bool CHexEditCtrl::InsertBytes(const BYTE* bytes, DWORD count, DWORD at)
{
    DWORD size = m_data.GetSize();
    if (count > 0xFFFFFFFF - size || !Reserve(size + count))
        return false;
    m_data.SetSize(size + count);
    BYTE* data = m_data.GetData();
    memmove(data + at + count, data + at, size - at);
    if (count)
        memcpy(data + at, bytes, count);
    return true;
}

void CHexEditCtrl::RemoveBytes(DWORD from, DWORD to)
{
    BYTE* data = m_data.GetData();
    DWORD size = m_data.GetSize();
    memmove(data + from, data + to, size - to);
    m_data.SetSize(size - (to - from));
}

void CHexEditCtrl::DeleteSelection()
{
    DWORD low = Min(m_anchor, m_end);
    DWORD high = Min(m_anchor < m_end ? m_end : m_anchor, m_data.GetSize());
    if (low >= high)
        return;
    RemoveBytes(low, high);
    SetCaret(low);
    ScrollCaretIntoView();
    RemeasureIfOffsetDigitsChanged();
    RebuildScrollBar();
    Repaint();
}

void CHexEditCtrl::OnKeyDown(UINT key)
{
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
        NavigationKey(key);
        break;
    case VK_BACK:
    case VK_DELETE:
        DeletionKey(key);
        break;
    case VK_TAB:
        TabKey();
        break;
    case VK_RETURN: {
        m_lowNibblePending = false;
        Repaint();
        SHRGINFO gesture = {sizeof(gesture), m_hwnd, {GetClientWidth() / 2, GetClientHeight() / 2}, 0};
        SHRecognizeGesture(&gesture);
        break;
    }
    default:
        break;
    }
}

void CHexEditCtrl::NavigationKey(UINT key)
{
    CollapseSelection(key == VK_RIGHT || key == VK_DOWN || key == VK_NEXT);
    m_lowNibblePending = false;
    unsigned long long caret = m_caret, b = GetBytesPerLine(), size = m_data.GetSize();
    // On a Smartphone Up and Down leave the control at the data's ends.
    if (IsSmartphone() && ((key == VK_UP && caret < b) || (key == VK_DOWN && caret + b > size))) {
        Repaint();
        MoveFocusOut(key == VK_UP);
        return;
    }
    caret = GetNavigationTarget(key);
    SetCaret(DWORD(caret < size ? caret : size));
    ScrollCaretIntoView();
    SetScrollPositionForCaret();
    Repaint();
}

unsigned long long CHexEditCtrl::GetNavigationTarget(UINT key) const
{
    unsigned long long caret = m_caret, b = GetBytesPerLine(), size = m_data.GetSize();
    unsigned long long top = m_top, page = m_fullRows * b;
    switch (key) {
    case VK_LEFT:
        return caret > 0 ? caret - 1 : 0;
    case VK_RIGHT:
        return caret < size ? caret + 1 : size;
    case VK_UP:
        return caret > b ? caret - b : 0;
    case VK_DOWN:
        return caret + b;
    case VK_PRIOR:
        if (caret >= top + b && caret < top + m_rows * b)
            return top;
        return caret > page ? caret - page : 0;
    case VK_NEXT:
        if (caret >= top && caret + b < top + page)
            return top + page - 1;
        return caret + page;
    case VK_END:
        return size;
    default: // VK_HOME
        return 0;
    }
}

bool CHexEditCtrl::DeletionKey(UINT key)
{
    if (m_readOnly)
        return false;
    DWORD size = m_data.GetSize();
    if (!HasSelection()) {
        // A byte whose low nibble is still awaited is the one being typed: Backspace takes it back.
        if (key == VK_BACK && m_lowNibblePending && m_caret < size) {
            m_anchor = m_caret;
            m_end = m_caret + 1;
        } else if (key == VK_BACK && m_caret > 0) {
            m_anchor = m_caret - 1;
            m_end = m_caret;
        } else if (key == VK_DELETE && m_caret < size) {
            m_anchor = m_caret;
            m_end = m_caret + 1;
        } else {
            return false;
        }
    }
    DeleteSelection();
    return true;
}

void CHexEditCtrl::TabKey()
{
    bool shift = GetKeyState(VK_SHIFT) < 0;
    m_lowNibblePending = false;
    if (m_hexColumn && !shift) {
        m_hexColumn = false;
    } else if (!m_hexColumn && shift) {
        m_hexColumn = true;
    } else {
        Repaint();
        MoveFocusOut(shift);
        return;
    }
    ScrollCaretIntoView();
    SetScrollPositionForCaret();
    Repaint();
}

void CHexEditCtrl::MoveFocusOut(bool previous) const
{
    if (HWND parent = GetParent(m_hwnd))
        SendMessageW(parent, WM_NEXTDLGCTL, previous ? 1 : 0, 0);
}

void CHexEditCtrl::OnChar(wchar_t ch)
{
    if (ch < 0x20 || m_readOnly)
        return;
    if (m_hexColumn) {
        int digit = HexDigitValue(ch);
        if (digit >= 0)
            TypeByte(BYTE(digit), true);
    } else {
        TypeByte(CharToByte(ch), false);
    }
}

void CHexEditCtrl::TypeByte(BYTE value, bool hexDigit)
{
    DeleteSelection();
    DWORD size = m_data.GetSize();
    if (m_caret > size)
        SetCaret(size);
    if (hexDigit && m_lowNibblePending && m_caret < size) {
        BYTE& target = m_data.GetData()[m_caret];
        target = BYTE((target & 0xF0) | value);
        SetCaret(m_caret + 1);
        ScrollCaretIntoView();
    } else {
        BYTE byte = hexDigit ? BYTE(value << 4) : value;
        if (!InsertBytes(&byte, 1, m_caret))
            return;
        if (hexDigit) {
            SetCaret(m_caret);
            m_lowNibblePending = true;
        } else {
            SetCaret(m_caret + 1);
            ScrollCaretIntoView();
        }
    }
    RemeasureIfOffsetDigitsChanged();
    RebuildScrollBar();
    Repaint();
}

// ---- Stylus ----

void CHexEditCtrl::OnLButtonDown(int x, int y)
{
    SetFocus(m_hwnd);
    if (m_dragging)
        EndDrag();
    m_lastPoint = {x, y};
    SHRGINFO gesture = {sizeof(gesture), m_hwnd, {x, y}, SHRG_RETURNCMD};
    if (SHRecognizeGesture(&gesture) != 0)
        return;
    SHit hit = HitTest(x, y);
    if (hit.column == EColumn::kOutside) {
        SetCaret(m_top);
        m_hexColumn = true;
        Repaint();
        return;
    }
    SetCaret(Min(hit.position, m_data.GetSize()));
    m_hexColumn = hit.column != EColumn::kChar;
    Repaint();
    m_dragging = true;
    SetCapture(m_hwnd);
}

void CHexEditCtrl::ApplyDragPoint(int x, int y)
{
    SHit hit = HitTest(x, y, m_hexColumn ? EColumn::kHex : EColumn::kChar);
    m_end = Min(hit.position, m_data.GetSize());
    Repaint();
    if (y < 0)
        SetAutoScroll(-1);
    else if (y >= GetClientHeight())
        SetAutoScroll(1);
    else
        SetAutoScroll(0);
}

void CHexEditCtrl::OnMouseMove(int x, int y)
{
    m_lastPoint = {x, y};
    ApplyDragPoint(x, y);
}

void CHexEditCtrl::OnLButtonUp(int x, int y)
{
    m_lastPoint = {x, y};
    if (!m_dragging)
        return;
    ApplyDragPoint(x, y);
    EndDrag();
    if (!HasSelection()) {
        DWORD top = m_top;
        ScrollCaretIntoView();
        if (top != m_top) {
            SetScrollPositionForCaret();
            Repaint();
        }
    }
}

void CHexEditCtrl::OnCaptureChanged()
{
    if (m_dragging)
        EndDrag();
}

void CHexEditCtrl::EndDrag()
{
    m_dragging = false;
    SetAutoScroll(0);
    if (GetCapture() == m_hwnd)
        ReleaseCapture();
}

void CHexEditCtrl::SetAutoScroll(int direction)
{
    m_autoScrollDirection = direction;
    if (direction != 0 && !m_autoScroll)
        m_autoScroll = SetTimer(m_hwnd, kAutoScrollTimer, kAutoScrollPeriod, nullptr) != 0;
    else if (direction == 0 && m_autoScroll) {
        KillTimer(m_hwnd, kAutoScrollTimer);
        m_autoScroll = false;
    }
}

void CHexEditCtrl::OnTimer(UINT_PTR id)
{
    if (id != kAutoScrollTimer || !m_autoScroll)
        return;
    OnVScroll(m_autoScrollDirection < 0 ? SB_LINEUP : SB_LINEDOWN);
    if (m_dragging)
        ApplyDragPoint(m_lastPoint.x, m_lastPoint.y);
}

// ---- Context menu and clipboard ----

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
    UINT command = UINT(TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY, x, y, m_hwnd, nullptr));
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
    DWORD size = m_data.GetSize();
    bool all = (m_anchor == 0 && m_end == size) || (m_end == 0 && m_anchor == size);
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

void CHexEditCtrl::Copy() const
{
    DWORD low = Min(m_anchor, m_end);
    DWORD high = Min(m_anchor < m_end ? m_end : m_anchor, m_data.GetSize());
    if (low >= high)
        return;
    SIZE_T count = high - low;
    // "XX" per byte, a space between, and the terminating NUL.
    HLOCAL memory = LocalAlloc(LMEM_FIXED, count * 3 * sizeof(wchar_t));
    if (!memory)
        return;
    wchar_t* text = static_cast<wchar_t*>(memory);
    const BYTE* data = m_data.GetData() + low;
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
    DWORD selected = (m_anchor < m_end ? m_end - m_anchor : m_anchor - m_end);
    DWORD size = m_data.GetSize();
    // Room for the result first, so a failure leaves the data as it was.
    if (!ReadClipboardBytes(command, bytes) || bytes.GetSize() > 0xFFFFFFFF - size ||
        !Reserve(size - selected + bytes.GetSize())) {
        NotifyPasteFailed();
        return;
    }
    DeleteSelection();
    DWORD at = Min(m_caret, m_data.GetSize());
    InsertBytes(bytes.GetData(), bytes.GetSize(), at);
    SetCaret(at);
    ScrollCaretIntoView();
    RemeasureIfOffsetDigitsChanged();
    RebuildScrollBar();
    Repaint();
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
