// The hex edit control with 1 MiB of data: loading it, painting one page, paging, and a keystroke
// at the end of the buffer (typing a byte, deleting it).
#include "dialogs/HexEditCtrl.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

template <typename Action> double AverageMs(int times, Action action)
{
    double begin = NowMs();
    for (int i = 0; i < times; ++i)
        action();
    return (NowMs() - begin) / times;
}

void Paint(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

} // namespace

int main()
{
    CShdWnd parent;
    if (!parent.Create(0, nullptr, L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 480, 640, nullptr, 0, nullptr))
        return 1;
    CHexEditCtrl hex;
    RECT rect = {0, 0, 480, 640};
    if (!hex.Create(parent.GetHwnd(), 1032, rect))
        return 1;
    HWND window = hex.GetHwnd();
    SetFocus(window);
    std::vector<BYTE> data(1 << 20);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = BYTE(i * 31);

    double load = AverageMs(20, [&] { hex.SetBytes(data.data(), DWORD(data.size())); });
    DWORD size = hex.GetSize();
    double paint = AverageMs(50, [&] { Paint(window); });
    double pageDown = AverageMs(50, [&] {
        SendMessageW(window, WM_KEYDOWN, VK_NEXT, 1);
        Paint(window);
    });
    SendMessageW(window, WM_KEYDOWN, VK_END, 1);
    Paint(window);
    double type = AverageMs(200, [&] {
        SendMessageW(window, WM_CHAR, L'4', 1);
        SendMessageW(window, WM_CHAR, L'1', 1);
        Paint(window);
    });
    double arrow = AverageMs(200, [&] { SendMessageW(window, WM_KEYDOWN, VK_LEFT, 1); });
    double erase = AverageMs(200, [&] {
        SendMessageW(window, WM_KEYDOWN, VK_BACK, 1);
        Paint(window);
    });
    double typeFront = AverageMs(20, [&] {
        SendMessageW(window, WM_KEYDOWN, VK_HOME, 1);
        SendMessageW(window, WM_CHAR, L'4', 1);
        SendMessageW(window, WM_CHAR, L'1', 1);
        Paint(window);
    });

    printf("hex edit, %lu bytes, %lu bytes per line, %lu rows\n", size, (unsigned long)hex.GetBytesPerLine(),
           (unsigned long)hex.GetFullRows());
    printf("  load 1 MiB (SetBytes)               %8.3f ms\n", load);
    printf("  paint one page                      %8.3f ms\n", paint);
    printf("  Page Down and paint                 %8.3f ms\n", pageDown);
    printf("  type a byte at the end and paint    %8.3f ms\n", type);
    printf("  Left arrow without painting         %8.3f ms\n", arrow);
    printf("  Backspace at the end and paint      %8.3f ms\n", erase);
    printf("  type a byte at the start and paint  %8.3f ms\n", typeFront);
    return 0;
}
