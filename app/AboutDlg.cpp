// The About box: menu bar, version line, layout on resizing and the emblem.
#include "app/AboutDlg.h"

#include "platform/AygShell.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/ScreenScale.h"
#include "shd/ShdWnd.h"

#include <initializer_list>

namespace {

const INT_PTR kResultNoMenuBar = 3;

// Moves a child of dialog to x and gives it width, keeping the rest of its rectangle.
void PlaceChild(HWND dialog, HWND child, int x, int width, bool keepX)
{
    if (!child)
        return;
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    if (keepX)
        x = rect.left;
    if (width < 0)
        width = rect.right - rect.left;
    SetWindowPos(child, nullptr, x, rect.top, width, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

CAboutDlg::CAboutDlg()
{
    SetFullScreen(true);
}

INT_PTR CAboutDlg::Run(HWND parent)
{
    return DoModal(GetModuleHandleW(nullptr), IDD_ABOUT, parent, 0);
}

CString CAboutDlg::FormatVersion()
{
    CString text;
    text.Format(L"Version %i.%i.%i, Build %i", HIVELET_VERSION_MAJOR, HIVELET_VERSION_MINOR,
                HIVELET_VERSION_PATCH, HIVELET_VERSION_BUILD);
    return text;
}

INT_PTR CAboutDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == ID_DIALOG_CLOSE)
            EndDialog(m_hwnd, IDOK);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_CLOSE:
        EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_SIZE:
        OnSize(LOWORD(lParam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return TRUE;
    }
    return CShdDialog::DialogProc(message, wParam, lParam);
}

BOOL CAboutDlg::OnInitDialog()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_menuBar = IsSmartphone() && GetOsVersion() < 0x0500
                    ? CShdWnd::CreateMenuBar(m_hwnd, instance, IDR_CLOSE_SOFTKEYS, true)
                    : CShdWnd::CreateMenuBar(m_hwnd, instance, IDR_CLOSE_MENU, false);
    if (!m_menuBar) {
        EndDialog(m_hwnd, kResultNoMenuBar);
        return TRUE;
    }
    SHDoneButton(m_hwnd, SHDB_SHOW);
    m_product = GetDlgItem(m_hwnd, IDC_ABOUT_PRODUCT);
    m_version = GetDlgItem(m_hwnd, IDC_ABOUT_VERSION);
    m_text = GetDlgItem(m_hwnd, IDC_ABOUT_TEXT);
    m_icon = GetDlgItem(m_hwnd, IDC_ABOUT_ICON);
    SetWindowTextW(m_version, FormatVersion());
    RECT client;
    GetClientRect(m_hwnd, &client);
    OnSize(client.right);
    return TRUE;
}

void CAboutDlg::OnSize(int width)
{
    int margin = ScaleX(8);
    for (HWND text : {m_product, m_version, m_text})
        PlaceChild(m_hwnd, text, 0, width - 2 * margin, true);
    if (m_icon) {
        RECT icon;
        GetWindowRect(m_icon, &icon);
        PlaceChild(m_hwnd, m_icon, (width - (icon.right - icon.left)) / 2, -1, false);
    }
}

void CAboutDlg::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    if (dc) {
        RECT client;
        GetClientRect(m_hwnd, &client);
        DrawEmblem(dc, client);
    }
    EndPaint(m_hwnd, &paint);
}

void CAboutDlg::DrawEmblem(HDC dc, const RECT& client)
{
    int hx = ScaleX(10), mx = ScaleX(8), hy = ScaleY(10), my = ScaleY(8);
    int cx = client.right - mx - hx, cy = client.bottom - my - hy;
    HPEN pen = CreatePen(PS_SOLID, ScaleX(1), RGB(0, 0, 0));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, cx - hx, cy, nullptr);
    LineTo(dc, cx, cy - hy);
    LineTo(dc, cx + hx, cy);
    LineTo(dc, cx, cy + hy);
    LineTo(dc, cx - hx, cy);
    SetPixel(dc, cx + hx, cy, RGB(0, 0, 0));
    int a = (3 * hx + 5) / 10, b = (3 * hy + 5) / 10;
    MoveToEx(dc, cx + a, cy - b, nullptr);
    LineTo(dc, cx - a, cy - b);
    LineTo(dc, cx + a, cy + b);
    LineTo(dc, cx - a - ScaleX(1), cy + b);
    SelectObject(dc, previous);
    DeleteObject(pen);
}
