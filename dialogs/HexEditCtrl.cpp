// The hex edit control's window: creation, messages, measuring, hit testing and the scroll bar.
// The bytes and what edits do to them are in HexEditModel.cpp; painting in HexEditPaint.cpp;
// keys and stylus in HexEditInput.cpp; context menu and clipboard in HexEditClipboard.cpp.
#include "dialogs/HexEditCtrl.h"

#include "platform/AygShell.h"
#include "shd/ScreenScale.h"
#include "shd/SelectObject.h"

#include <windowsx.h>

#include <cwchar>

namespace {

const wchar_t kClassName[] = L"HiveletHexEdit";

bool MeasureText(HDC dc, const wchar_t* text, SIZE& size)
{
    return GetTextExtentExPointW(dc, text, int(wcslen(text)), 0, nullptr, nullptr, &size) != FALSE;
}

} // namespace

int CHexEditCtrl::LeftMargin()
{
    return ScaleX(5);
}

int CHexEditCtrl::CharGap()
{
    return ScaleX(3);
}

int CHexEditCtrl::TopMargin()
{
    return ScaleY(3);
}

int CHexEditCtrl::ColumnGap()
{
    return ScaleX(16);
}

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
    bool copied = m_model.SetBytes(data, size);
    if (m_hwnd) {
        RemeasureIfOffsetDigitsChanged();
        RebuildScrollBar();
        Repaint();
    }
    return copied;
}

void CHexEditCtrl::SetBytesPerLine(DWORD count)
{
    m_fixedBytesPerLine = count;
    UpdateModelLayout();
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
        m_model.SelectAll();
        Repaint();
        return true;
    default:
        return false;
    }
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
        m_model.SetHexColumn(true);
        m_model.ClearLowNibble();
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
    m_lineHeight = 1;
    m_offsetWidth = 1;
    m_byteWidth = 1;
    m_gapWidth = 0;
    m_charWidth = 1;
}

void CHexEditCtrl::UpdateModelLayout()
{
    m_model.SetLayout(GetBytesPerLine(), m_model.GetFullRows(), m_model.GetRows());
}

DWORD CHexEditCtrl::GetOffsetDigits() const
{
    // The largest offset painted is the start of the line that holds the size.
    DWORD digits = 4;
    DWORD largest = m_model.GetSize();
    while (digits < 8 && (largest >> (4 * digits)) != 0)
        ++digits;
    return digits;
}

void CHexEditCtrl::Measure()
{
    ResetMetrics();
    if (!m_hwnd) {
        m_model.SetLayout(GetBytesPerLine(), 0, 1);
        return;
    }
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
    const DWORD fullRows = height > 0 ? DWORD(height / m_lineHeight) : 0;
    const DWORD rows = height > 0 ? DWORD((height + m_lineHeight - 1) / m_lineHeight) : 0;
    m_model.SetLayout(GetBytesPerLine(), fullRows, rows);
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

// ---- Hit testing ----

CHexEditCtrl::SHit CHexEditCtrl::HitTest(int x, int y, EColumn lockedTo) const
{
    SHit hit;
    if (m_lineHeight <= 0)
        return hit;
    int row = (y - TopMargin()) / m_lineHeight;
    const DWORD rows = m_model.GetRows();
    int lastRow = rows > 0 ? int(rows) - 1 : 0;
    row = row < 0 ? 0 : (row > lastRow ? lastRow : row);
    DWORD b = GetBytesPerLine();
    unsigned long long lineStart = m_model.GetTopOffset() + (unsigned long long)row * b;
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

// ---- Scroll bar and refresh ----

void CHexEditCtrl::Repaint()
{
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CHexEditCtrl::Refresh()
{
    RemeasureIfOffsetDigitsChanged();
    RebuildScrollBar();
    Repaint();
}

void CHexEditCtrl::RebuildScrollBar()
{
    if (!m_hwnd)
        return;
    m_model.ClampTop();
    int page = m_model.GetPage();
    int maximum = m_model.GetScrollMaximum();
    int position = m_model.GetTopLine();
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

void CHexEditCtrl::ShowCaretLine()
{
    SetScrollPosition(m_model.GetScrollLineForCaret());
    Repaint();
}

void CHexEditCtrl::OnVScroll(int code)
{
    int position = 0;
    if (!GetScrollTarget(code, position))
        return;
    SetScrollPosition(m_model.ScrollToLine(position, m_dragging));
    Repaint();
}

bool CHexEditCtrl::GetScrollTarget(int code, int& position) const
{
    int page = m_model.GetPage();
    int current = m_model.GetTopLine();
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
        position = m_model.GetScrollMaximum();
        return true;
    default:
        return false;
    }
}
