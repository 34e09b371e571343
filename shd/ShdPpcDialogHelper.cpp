// Header, separator, input-panel control and scroll-bar rule of the program's dialogs.
#include "shd/ShdPpcDialogHelper.h"

#include "platform/AygShell.h"
#include "shd/ScreenScale.h"

CShdPpcDialogHelper::~CShdPpcDialogHelper()
{
    OnDestroy();
}

void CShdPpcDialogHelper::SetHeader(const wchar_t* text, UINT controlId)
{
    m_header = true;
    m_headerText = text ? text : L"";
    m_headerId = controlId;
}

void CShdPpcDialogHelper::SetHeaderText(const wchar_t* text)
{
    m_headerText = text ? text : L"";
    if (m_headerWindow)
        SetWindowTextW(m_headerWindow, m_headerText);
}

int CShdPpcDialogHelper::GetHeaderHeight() const
{
    return m_header ? ScaleY(17) + 2 * ScaleY(1) + ScaleY(5) : 0;
}

INT_PTR CShdPpcDialogHelper::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_dialog)
        return 0;
    if (m_noVerticalScroll) {
        LONG_PTR style = GetWindowLongPtrW(m_dialog, GWL_STYLE);
        if (style & WS_VSCROLL)
            SetWindowLongPtrW(m_dialog, GWL_STYLE, style & ~LONG_PTR(WS_VSCROLL));
    }
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return 0;
    case WM_PAINT:
        PaintSeparator();
        return 0;
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return 0;
}

void CShdPpcDialogHelper::OnInitDialog()
{
    if (m_header)
        CreateHeader();
    if (m_inputPanel) {
        SHInitExtraControls();
        m_sipPref = CreateWindowExW(0, L"SIPPREF", L"", WS_CHILD, -10, -10, 0, 0, m_dialog, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    }
}

void CShdPpcDialogHelper::CreateHeader()
{
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(m_dialog, WM_GETFONT, 0, 0));
    LOGFONTW font = {};
    if (!base || !GetObjectW(base, sizeof(font), &font))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfHeight = FontHeightFromPoints(8);
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    font.lfQuality = 0;
    m_headerFont = CreateFontIndirectW(&font);

    RECT client;
    GetClientRect(m_dialog, &client);
    m_headerWindow =
        CreateWindowExW(0, L"STATIC", m_headerText, WS_CHILD | WS_VISIBLE | SS_NOPREFIX, ScaleX(7), ScaleY(5),
                        client.right - 2 * ScaleX(7), ScaleY(17), m_dialog,
                        reinterpret_cast<HMENU>(UINT_PTR(m_headerId)), GetModuleHandleW(nullptr), nullptr);
    if (m_headerWindow && m_headerFont)
        SendMessageW(m_headerWindow, WM_SETFONT, reinterpret_cast<WPARAM>(m_headerFont), FALSE);
}

RECT CShdPpcDialogHelper::GetSeparatorRect() const
{
    RECT client;
    GetClientRect(m_dialog, &client);
    const int headerBottom = ScaleY(5) + ScaleY(17);
    return {0, headerBottom + ScaleY(1), client.right, headerBottom + 2 * ScaleY(1)};
}

// Drawn before the dialog paints; the band is then validated so nothing paints over it.
void CShdPpcDialogHelper::PaintSeparator()
{
    if (!m_header)
        return;
    RECT band = GetSeparatorRect();
    if (HDC dc = GetDC(m_dialog)) {
        COLORREF previous = SetBkColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &band, L"", 0, nullptr);
        SetBkColor(dc, previous);
        ReleaseDC(m_dialog, dc);
    }
    ValidateRect(m_dialog, &band);
}

INT_PTR CShdPpcDialogHelper::OnCtlColorStatic(HDC dc, HWND control)
{
    if (!m_headerWindow || control != m_headerWindow)
        return 0;
    SetTextColor(dc, GetSysColor(COLOR_ACTIVECAPTION));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void CShdPpcDialogHelper::OnDestroy()
{
    if (m_headerWindow && IsWindow(m_headerWindow)) {
        SendMessageW(m_headerWindow, WM_SETFONT, 0, FALSE);
        DestroyWindow(m_headerWindow);
    }
    m_headerWindow = nullptr;
    if (m_headerFont)
        DeleteObject(m_headerFont);
    m_headerFont = nullptr;
    if (m_sipPref && IsWindow(m_sipPref))
        DestroyWindow(m_sipPref);
    m_sipPref = nullptr;
    m_dialog = nullptr;
}
