// Shows the hex edit control in a small window for the screenshots: "selection" (a dragged
// selection), "end" (the caret after the last byte), "menu" (the context menu open), "large"
// (offsets of five digits). Ends after the seconds given second (default 20).
#include "dialogs/HexEditCtrl.h"
#include "shd/ScreenScale.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <vector>

namespace {

const UINT_PTR kQuitTimer = 1;
const UINT kOpenMenu = WM_APP + 1;

class CDemoWnd : public CShdWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_TIMER:
            EndMenu();
            PostQuitMessage(0);
            return 0;
        case kOpenMenu:
            SendMessageW(hex.GetHwnd(), WM_CONTEXTMENU, WPARAM(hex.GetHwnd()), MAKELPARAM(-1, -1));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        }
        return CShdWnd::WindowProc(message, wParam, lParam);
    }
    CHexEditCtrl hex;
};

void Stylus(HWND window, UINT message, POINT point)
{
    SendMessageW(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

POINT HexCell(const CHexEditCtrl& hex, DWORD position)
{
    DWORD b = hex.GetBytesPerLine();
    DWORD line = (position - hex.GetTopOffset()) / b;
    int x = hex.GetHexColumnX() + int(position % b) * hex.GetByteCellWidth() + 2;
    return {x, ScaleY(3) + int(line) * hex.GetLineHeight() + hex.GetLineHeight() / 2};
}

void Prepare(CDemoWnd& demo, const wchar_t* scene)
{
    CHexEditCtrl& hex = demo.hex;
    std::vector<BYTE> data;
    const char sample[] = "Hivelet\x01\x02\x7F\xFF\xE9\x80 0123 Ordwyn Keyhaven";
    data.assign(sample, sample + sizeof(sample) - 1);
    for (int i = 0; i < 40; ++i)
        data.push_back(BYTE(i * 7));
    if (wcscmp(scene, L"large") == 0)
        data.assign(0x10040, 0x5A);
    hex.SetBytes(data.data(), DWORD(data.size()));
    hex.Focus();
    HWND window = hex.GetHwnd();
    if (wcscmp(scene, L"selection") == 0 || wcscmp(scene, L"menu") == 0) {
        Stylus(window, WM_LBUTTONDOWN, HexCell(hex, 3));
        Stylus(window, WM_MOUSEMOVE, HexCell(hex, 13));
        Stylus(window, WM_LBUTTONUP, HexCell(hex, 13));
    } else if (wcscmp(scene, L"end") == 0 || wcscmp(scene, L"large") == 0) {
        SendMessageW(window, WM_KEYDOWN, VK_END, 1);
    }
    if (wcscmp(scene, L"menu") == 0)
        PostMessageW(demo.GetHwnd(), kOpenMenu, 0, 0);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t* scene = argc > 1 ? argv[1] : L"selection";
    UINT seconds = argc > 2 ? UINT(_wtoi(argv[2])) : 20;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    CDemoWnd demo;
    if (!demo.Create(0, nullptr, L"Hex", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, ScaleX(320), ScaleY(240),
                     nullptr, 0, nullptr))
        return 1;
    RECT rect = {ScaleX(8), ScaleY(8), ScaleX(312), ScaleY(232)};
    if (!demo.hex.Create(demo.GetHwnd(), 1032, rect))
        return 1;
    demo.hex.SetBytesPerLine(8);
    Prepare(demo, scene);
    // As wide as eight bytes a line need with this data's offsets.
    int width = demo.hex.GetRequiredWidth();
    MoveWindow(demo.hex.GetHwnd(), ScaleX(8), ScaleY(8), width, ScaleY(224), TRUE);
    MoveWindow(demo.GetHwnd(), 0, 0, width + ScaleX(16), ScaleY(240), TRUE);
    SetTimer(demo.GetHwnd(), kQuitTimer, seconds * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    LocalFree(argv);
    return 0;
}
