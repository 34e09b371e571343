// The key name bar: its text and the painting that cuts the text from the front.
#include "app/KeyNameWnd.h"

#include "app/RegTree.h"
#include "shd/ScreenScale.h"
#include "shd/SelectObject.h"
#include "shd/ShdFontsManager.h"

namespace {

int Margin()
{
    static const int margin = ScaleX(3);
    return margin;
}

} // namespace

CKeyNameWnd::~CKeyNameWnd()
{
    Destroy();
}

bool CKeyNameWnd::Create(HWND parent, const RECT& rect, UINT id)
{
    m_font = CShdFontsManager::Instance().GetDialogFont();
    return CShdWnd::Create(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent, id,
                           GetModuleHandleW(nullptr));
}

LRESULT CKeyNameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
    case WM_CREATE:
        return 0;
    }
    return CShdWnd::WindowProc(message, wParam, lParam);
}

void CKeyNameWnd::SetKey(HKEY root, const wchar_t* path)
{
    if (!root && (!path || !*path))
        SetText(L"ROOT");
    else
        SetText(CRegTree::FormatFullPath(root, path));
}

void CKeyNameWnd::SetText(const wchar_t* text)
{
    m_text = text ? text : L"";
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

RECT CKeyNameWnd::GetTextRect() const
{
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    return {Margin(), ScaleY(1), client.right - Margin(), client.bottom};
}

CString CKeyNameWnd::FitFromFront(HDC dc, const wchar_t* text, int width)
{
    CString work = text ? text : L"";
    CString display = work;
    for (bool cut = false;;) {
        display = cut ? L"..." + work : work;
        SIZE size = {};
        int fit = 0;
        if (!GetTextExtentExPointW(dc, display, display.GetLength(), 0, &fit, nullptr, &size) ||
            size.cx <= width || work.IsEmpty())
            return display;
        cut = true;
        work.Delete(0);
    }
}

CString CKeyNameWnd::GetDisplayText() const
{
    HDC dc = GetDC(m_hwnd);
    if (!dc)
        return m_text;
    CString display;
    {
        CSelectObject font(dc, m_font);
        RECT rect = GetTextRect();
        display = FitFromFront(dc, m_text, rect.right - rect.left);
    }
    ReleaseDC(m_hwnd, dc);
    return display;
}

void CKeyNameWnd::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    {
        CSelectObject font(dc, m_font);
        RECT rect = GetTextRect();
        CString display = FitFromFront(dc, m_text, rect.right - rect.left);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, display, display.GetLength(), &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        HPEN line = CreatePen(PS_SOLID, ScaleY(1), GetSysColor(COLOR_BTNTEXT));
        {
            CSelectObject pen(dc, line);
            MoveToEx(dc, 0, 0, nullptr);
            LineTo(dc, client.right, 0);
        }
        DeleteObject(line);
    }
    EndPaint(m_hwnd, &paint);
}
