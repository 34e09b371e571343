// The invisible cover window and its scoped use.
#include "shd/TransparentWindow.h"

const wchar_t CTransparentWindow::kClassName[] = L"Transparent_{5B8C6868-67C5-444A-9282-2E4154B78AE3}";

CShdWnd::CClass& CTransparentWindow::GetClass()
{
    static CClass windowClass;
    return windowClass;
}

CTransparentWindow::CTransparentWindow()
{
    if (!GetClass().IsRegistered())
        GetClass().Register(kClassName, 0, nullptr);
}

CTransparentWindow::~CTransparentWindow()
{
    Destroy();
}

bool CTransparentWindow::Create(DWORD exStyle, DWORD style, int x, int y, int width, int height, HWND parent,
                                UINT id, HINSTANCE instance)
{
    return CShdWnd::Create(exStyle, &GetClass(), L"", style, x, y, width, height, parent, id, instance);
}

LRESULT CTransparentWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(m_hwnd, &paint);
        EndPaint(m_hwnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    }
    return CShdWnd::WindowProc(message, wParam, lParam);
}

bool CResizeNoFlickering::Cover(HWND parent, HINSTANCE instance)
{
    m_cover.Destroy();
    RECT client;
    if (!GetClientRect(parent, &client))
        return false;
    if (!m_cover.Create(0, WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom, parent, 0, instance))
        return false;
    SetWindowPos(m_cover.GetHwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    return true;
}
