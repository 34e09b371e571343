// The floating toolbar: metrics and size, hit test, mouse tracking (press and drag) and the
// double-buffered painting.
#include "search/FloatingToolBar.h"

#include "shd/ScreenScale.h"
#include "shd/SelectObject.h"

namespace {

int ImageOr(int image, int fallback)
{
    return image < 0 ? fallback : image;
}

} // namespace

CFloatingToolBar::SMetrics::SMetrics()
    : leftBorder(ScaleX(4) + 2 * ScaleX(1)), barWidth(ScaleX(4)), barGap(ScaleX(2)), gapAfterGrip(ScaleX(2)),
      gapBeforeButtons(ScaleX(3)), buttonGap(ScaleX(2)), rightBorder(ScaleX(4) + 2 * ScaleX(1)),
      topBorder(ScaleY(3) + 2 * ScaleY(1)), gripInset(ScaleY(2) + 2 * ScaleY(1)), penWidth(ScaleX(1)),
      imageOffsetX(ScaleX(1)), imageOffsetY(ScaleY(1))
{
}

CFloatingToolBar::~CFloatingToolBar()
{
    Destroy();
    if (m_images)
        ImageList_Destroy(m_images);
}

bool CFloatingToolBar::Create(HWND parent, UINT id, int x, int y, int width, int height)
{
    return CShdWnd::Create(0, nullptr, L"", WS_CHILD, x, y, width, height, parent, id,
                           GetModuleHandleW(nullptr));
}

void CFloatingToolBar::SetImageList(HIMAGELIST images)
{
    if (m_images && m_images != images)
        ImageList_Destroy(m_images);
    m_images = images;
    int width = 0, height = 0;
    if (images && ImageList_GetIconSize(images, &width, &height))
        m_buttonSize = {width + 2 * m_metrics.imageOffsetX, height + 2 * m_metrics.imageOffsetY};
    else
        m_buttonSize = {0, 0};
    Resize();
}

int CFloatingToolBar::AddButton(UINT command, int normalImage, int pressedImage, int disabledImage,
                                const wchar_t* text)
{
    SButtonInfo button;
    button.command = command;
    button.normalImage = normalImage;
    button.pressedImage = pressedImage;
    button.disabledImage = disabledImage;
    button.text = text ? text : L"";
    int index = m_buttons.Add(button);
    Resize();
    return index;
}

void CFloatingToolBar::SetButtonImages(int index, int normalImage, int pressedImage, int disabledImage)
{
    SButtonInfo* button = m_buttons.GetAt(index);
    if (!button)
        return;
    button->normalImage = ImageOr(normalImage, button->normalImage);
    button->pressedImage = ImageOr(pressedImage, button->pressedImage);
    button->disabledImage = ImageOr(disabledImage, button->disabledImage);
    Repaint();
}

void CFloatingToolBar::EnableButton(int index, bool enable)
{
    SButtonInfo* button = m_buttons.GetAt(index);
    if (!button)
        return;
    button->disabled = !enable;
    Repaint();
}

int CFloatingToolBar::GetGripWidth() const
{
    if (m_bars <= 0)
        return 0;
    const SMetrics& m = m_metrics;
    return (m_bars - 1) * m.barGap + m_bars * m.barWidth + m.gapAfterGrip + m.leftBorder;
}

SIZE CFloatingToolBar::CalcSize() const
{
    const SMetrics& m = m_metrics;
    int count = m_buttons.GetSize();
    int buttons = (count - 1) * m.buttonGap + count * m_buttonSize.cx + m.rightBorder + m.gapBeforeButtons;
    int height = count > 0 ? m_buttonSize.cy + 2 * m.topBorder : 2 * m.gripInset;
    return {GetGripWidth() + buttons, height};
}

RECT CFloatingToolBar::GetButtonRect(int index) const
{
    RECT client = {0, 0, 0, 0};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    else
        client.bottom = CalcSize().cy;
    int x = GetGripWidth() + m_metrics.gapBeforeButtons + index * (m_buttonSize.cx + m_metrics.buttonGap);
    int y = (client.bottom - m_buttonSize.cy) / 2;
    return {x, y, x + m_buttonSize.cx, y + m_buttonSize.cy};
}

int CFloatingToolBar::HitTest(POINT point) const
{
    RECT client = {0, 0, 0, 0};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    if (!PtInRect(&client, point))
        return HitNone;
    int x = point.x - GetGripWidth();
    if (x < 0)
        return HitGrip;
    int top = m_metrics.topBorder;
    if (m_buttons.IsEmpty() || point.y < top || point.y >= top + m_buttonSize.cy)
        return HitNone;
    x -= m_metrics.gapBeforeButtons;
    for (int index = 0; x >= 0 && index < m_buttons.GetSize(); ++index) {
        if (x < m_buttonSize.cx)
            return index;
        x -= m_buttonSize.cx + m_metrics.buttonGap;
    }
    return HitNone;
}

int CFloatingToolBar::GetShownImage(int index) const
{
    const SButtonInfo* button = m_buttons.GetAt(index);
    if (!button)
        return -1;
    if (button->disabled)
        return ImageOr(button->disabledImage, button->normalImage);
    if (index == m_pressed && m_pressedInside)
        return ImageOr(button->pressedImage, button->normalImage);
    return button->normalImage;
}

void CFloatingToolBar::Resize()
{
    if (!m_hwnd)
        return;
    SIZE size = CalcSize();
    SetWindowPos(m_hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    KeepInside();
    Repaint();
}

void CFloatingToolBar::Repaint(bool now)
{
    if (!m_hwnd)
        return;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    if (now)
        UpdateWindow(m_hwnd);
}

POINT CFloatingToolBar::GetTopLeftInParent() const
{
    RECT window;
    GetWindowRect(m_hwnd, &window);
    POINT topLeft = {window.left, window.top};
    MapWindowPoints(nullptr, GetParent(m_hwnd), &topLeft, 1);
    return topLeft;
}

void CFloatingToolBar::MoveTo(int x, int y)
{
    SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFloatingToolBar::SetPosition(int x, int y)
{
    if (!m_hwnd)
        return;
    RECT parent, window;
    GetClientRect(GetParent(m_hwnd), &parent);
    GetWindowRect(m_hwnd, &window);
    if (x < 0)
        x += parent.right - (window.right - window.left);
    if (y < 0)
        y += parent.bottom - (window.bottom - window.top);
    MoveTo(x, y);
    KeepInside();
}

void CFloatingToolBar::KeepInside()
{
    if (!m_hwnd)
        return;
    RECT parent, window;
    GetClientRect(GetParent(m_hwnd), &parent);
    GetWindowRect(m_hwnd, &window);
    int width = window.right - window.left, height = window.bottom - window.top;
    POINT topLeft = GetTopLeftInParent();
    int x = topLeft.x, y = topLeft.y;
    if (x + width > parent.right)
        x = parent.right - width;
    if (y + height > parent.bottom)
        y = parent.bottom - height;
    if (x < 0)
        x = 0;
    if (y < 0)
        y = 0;
    if (x != topLeft.x || y != topLeft.y)
        MoveTo(x, y);
}

LRESULT CFloatingToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT point = {short(LOWORD(lParam)), short(HIWORD(lParam))};
    switch (message) {
    case WM_CREATE:
        Resize();
        return 0;
    case WM_DESTROY:
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(m_hwnd, &paint);
        if (dc)
            Paint(dc);
        EndPaint(m_hwnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        OnLButtonDown(point);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(point);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(point);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged();
        return 0;
    }
    return CShdWnd::WindowProc(message, wParam, lParam);
}

void CFloatingToolBar::OnLButtonDown(POINT point)
{
    if (GetCapture() == m_hwnd)
        ReleaseCapture(); // ends an earlier drag or press without a command
    OnCaptureChanged();
    int hit = HitTest(point);
    const SButtonInfo* button = m_buttons.GetAt(hit);
    if (hit == HitGrip) {
        m_dragging = true;
    } else if (button && !button->disabled) {
        m_pressed = hit;
        m_pressedInside = true;
    } else {
        return;
    }
    SetCapture(m_hwnd);
    m_dragOrigin = GetTopLeftInParent();
    m_dragCursor = point;
    ClientToScreen(m_hwnd, &m_dragCursor);
    if (m_pressed >= 0)
        Repaint(true);
}

void CFloatingToolBar::OnMouseMove(POINT point)
{
    if (m_pressed >= 0) {
        bool inside = HitTest(point) == m_pressed;
        if (inside != m_pressedInside) {
            m_pressedInside = inside;
            Repaint();
        }
    }
    if (m_dragging) {
        DragTo(point);
        UpdateWindow(GetParent(m_hwnd));
    }
}

void CFloatingToolBar::DragTo(POINT client)
{
    POINT cursor = client;
    ClientToScreen(m_hwnd, &cursor);
    MoveTo(m_dragOrigin.x + cursor.x - m_dragCursor.x, m_dragOrigin.y + cursor.y - m_dragCursor.y);
    KeepInside();
}

void CFloatingToolBar::OnLButtonUp(POINT point)
{
    if (!m_dragging && m_pressed < 0)
        return;
    int hit = HitTest(point);
    int pressed = m_pressed;
    bool dragging = m_dragging;
    // Cleared before the capture goes, so WM_CAPTURECHANGED finds nothing under way.
    m_pressed = -1;
    m_dragging = false;
    m_pressedInside = false;
    ReleaseCapture();
    if (dragging)
        DragTo(point);
    if (pressed < 0)
        return;
    Repaint();
    const SButtonInfo* button = m_buttons.GetAt(pressed);
    // A button disabled while it was held sends nothing either.
    if (hit == pressed && button && !button->disabled)
        SendMessageW(GetParent(m_hwnd), WM_COMMAND, MAKEWPARAM(button->command, 0),
                     reinterpret_cast<LPARAM>(m_hwnd));
}

void CFloatingToolBar::OnCaptureChanged()
{
    if (!m_dragging && m_pressed < 0)
        return;
    m_dragging = false;
    m_pressed = -1;
    m_pressedInside = false;
    Repaint();
}

void CFloatingToolBar::DrawFrame(HDC dc, const RECT& rect, bool sunken) const
{
    HPEN light = CreatePen(PS_SOLID, m_metrics.penWidth, GetSysColor(COLOR_3DLIGHT));
    HPEN shadow = CreatePen(PS_SOLID, m_metrics.penWidth, GetSysColor(COLOR_BTNSHADOW));
    {
        CSelectObject selected(dc, sunken ? shadow : light);
        MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
        LineTo(dc, rect.left, rect.top);
        LineTo(dc, rect.right - 1, rect.top);
        SelectObject(dc, sunken ? light : shadow);
        LineTo(dc, rect.right - 1, rect.bottom - 1);
        LineTo(dc, rect.left - 1, rect.bottom - 1);
    }
    DeleteObject(light);
    DeleteObject(shadow);
}

void CFloatingToolBar::DrawContents(HDC dc, const RECT& client) const
{
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrame(dc, client, false);
    RECT inner = client;
    InflateRect(&inner, -1, -1);
    DrawFrame(dc, inner, false);
    const SMetrics& m = m_metrics;
    for (int bar = 0; bar < m_bars; ++bar) {
        int left = m.leftBorder + bar * (m.barWidth + m.barGap);
        RECT rect = {left, m.gripInset, left + m.barWidth, client.bottom - m.gripInset};
        DrawFrame(dc, rect, false);
    }
    for (int index = 0; index < m_buttons.GetSize(); ++index) {
        RECT rect = GetButtonRect(index);
        DrawFrame(dc, rect, index == m_pressed && m_pressedInside);
        int image = GetShownImage(index);
        if (m_images && image >= 0)
            ImageList_Draw(m_images, image, dc, rect.left + m.imageOffsetX, rect.top + m.imageOffsetY,
                           ILD_NORMAL);
    }
}

void CFloatingToolBar::Paint(HDC target)
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(target, client.right, client.bottom) : nullptr;
    if (bitmap) {
        CSelectObject selected(memory, bitmap);
        DrawContents(memory, client);
        BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
}
