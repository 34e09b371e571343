// The splitter bar: painting, drag phases, key moves and the feedback window.
#include "shd/SplitterWnd.h"

#include "shd/ScreenScale.h"

namespace {

POINT PointFromLParam(LPARAM lParam)
{
    return {short(LOWORD(lParam)), short(HIWORD(lParam))};
}

// A pen-wide line from (x1, y1) to (x2, y2).
void DrawLine(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

} // namespace

CSplitterWnd::CDragWnd::~CDragWnd()
{
    Destroy();
}

LRESULT CSplitterWnd::CDragWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return CShdWnd::WindowProc(message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    RECT client;
    GetClientRect(m_hwnd, &client);
    HBRUSH gray = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(dc, &client, gray);
    DeleteObject(gray);
    EndPaint(m_hwnd, &paint);
    return 0;
}

CSplitterWnd::~CSplitterWnd()
{
    m_drag.Destroy();
    Destroy();
}

bool CSplitterWnd::Create(bool horizontal, DWORD style, int x, int y, int width, int height, HWND parent,
                          UINT id, HINSTANCE instance)
{
    if (m_hwnd)
        return false;
    m_horizontal = horizontal;
    return CShdWnd::Create(0, nullptr, L"", style, x, y, width, height, parent, id, instance);
}

void CSplitterWnd::SetNotify(HWND target, UINT message)
{
    m_target = target;
    m_message = message;
}

void CSplitterWnd::MoveBy(int dx, int dy)
{
    RECT rect = GetRectInParent();
    if (m_horizontal)
        OffsetRect(&rect, 0, dy);
    else
        OffsetRect(&rect, dx, 0);
    SetWindowPos(m_hwnd, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Repaint();
}

LRESULT CSplitterWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Repaint();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, m_horizontal ? IDC_SIZENS : IDC_SIZEWE));
        return TRUE;
    case WM_LBUTTONDOWN:
        OnButtonDown(PointFromLParam(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(PointFromLParam(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(PointFromLParam(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged();
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(UINT(wParam));
        return 0;
    }
    return CShdWnd::WindowProc(message, wParam, lParam);
}

LRESULT CSplitterWnd::OnCreate()
{
    RECT rect = GetRectInParent();
    m_drag.Create(WS_EX_NOACTIVATE, nullptr, L"", WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, GetParent(m_hwnd), 0, nullptr);
    return 0;
}

RECT CSplitterWnd::GetRectInParent() const
{
    RECT rect = {};
    GetWindowRect(m_hwnd, &rect);
    MapWindowPoints(nullptr, GetParent(m_hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CSplitterWnd::Repaint()
{
    InvalidateRect(m_hwnd, nullptr, TRUE);
    UpdateWindow(m_hwnd);
}

void CSplitterWnd::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    RECT client;
    GetClientRect(m_hwnd, &client);
    const bool focused = GetFocus() == m_hwnd;
    FillRect(dc, &client, GetSysColorBrush(focused ? COLOR_BTNTEXT : COLOR_BTNFACE));
    const int width = m_horizontal ? ScaleY(1) : ScaleX(1);
    HPEN pen = CreatePen(PS_SOLID, width, GetSysColor(focused ? COLOR_BTNFACE : COLOR_BTNTEXT));
    HGDIOBJ previous = SelectObject(dc, pen);
    const int nearEdge = width / 2, farEdge = (width - 1) / 2 + 1;
    if (m_horizontal) {
        DrawLine(dc, client.left, client.top + nearEdge, client.right, client.top + nearEdge);
        DrawLine(dc, client.left, client.bottom - farEdge, client.right, client.bottom - farEdge);
    } else {
        DrawLine(dc, client.left + nearEdge, client.top, client.left + nearEdge, client.bottom);
        DrawLine(dc, client.right - farEdge, client.top, client.right - farEdge, client.bottom);
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
    EndPaint(m_hwnd, &paint);
}

void CSplitterWnd::OnButtonDown(POINT point)
{
    m_dragging = true;
    SetCapture(m_hwnd);
    m_start = m_current = point;
    RECT rect = GetRectInParent();
    SetWindowPos(m_drag.GetHwnd(), HWND_TOP, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Notify(kBegin, 0);
}

void CSplitterWnd::OnMouseMove(POINT point)
{
    if (!m_dragging)
        return;
    m_current = point;
    RECT rect = GetRectInParent();
    const int offset = GetOffset();
    if (m_horizontal)
        OffsetRect(&rect, 0, offset);
    else
        OffsetRect(&rect, offset, 0);
    SetWindowPos(m_drag.GetHwnd(), nullptr, rect.left, rect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Notify(kMove, offset);
    UpdateWindow(GetParent(m_hwnd));
}

void CSplitterWnd::OnButtonUp(POINT point)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    ReleaseCapture();
    m_current = point;
    EndMove();
}

void CSplitterWnd::OnCaptureChanged()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    EndMove();
}

void CSplitterWnd::OnKeyDown(UINT key)
{
    if (!m_target)
        return;
    int step = 0;
    if (m_horizontal && (key == VK_UP || key == VK_DOWN))
        step = key == VK_UP ? -ScaleY(5) : ScaleY(5);
    else if (!m_horizontal && (key == VK_LEFT || key == VK_RIGHT))
        step = key == VK_LEFT ? -ScaleX(5) : ScaleX(5);
    if (step == 0)
        return;
    Notify(kBegin, 0);
    Notify(kEnd, step);
}

void CSplitterWnd::EndMove()
{
    ShowWindow(m_drag.GetHwnd(), SW_HIDE);
    const int offset = GetOffset();
    m_start = m_current = POINT();
    Notify(kEnd, offset);
}

int CSplitterWnd::GetOffset() const
{
    return m_horizontal ? m_current.y - m_start.y : m_current.x - m_start.x;
}

void CSplitterWnd::Notify(EPhase phase, int offset)
{
    if (!m_target)
        return;
    LPARAM lParam = m_horizontal ? MAKELPARAM(0, short(offset)) : MAKELPARAM(short(offset), 0);
    if (phase == kBegin)
        lParam = 0;
    SendMessageW(m_target, m_message, phase, lParam);
}
