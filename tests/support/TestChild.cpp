// Child program of the process runner's and driver's tests: exits with its argument, hangs on
// "hang", shows four message boxes on "boxes" (exit code: the answers, one hex digit each),
// or shows a dialog of its own that is no message box on "dialog".
#include <windows.h>

#include <cstdlib>
#include <cwchar>

namespace {

int ShowBoxes()
{
    struct SBox
    {
        const wchar_t* text;
        UINT style;
    } boxes[] = {{L"First question?", MB_YESNO | MB_ICONQUESTION},
                 {L"Plain note", MB_OK},
                 {L"Careful:\r\nsecond line", MB_OKCANCEL | MB_ICONEXCLAMATION},
                 {L"Last question?", MB_YESNOCANCEL | MB_ICONINFORMATION}};
    int result = 0;
    for (const SBox& box : boxes)
        result = result * 16 + MessageBoxW(nullptr, box.text, L"Child", box.style);
    return result;
}

INT_PTR CALLBACK IgnoreAll(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A dialog with a text static of id 0xFFFF and an OK button, like a message box but without
// its icon static; it ends only when the process is ended.
int ShowDialog()
{
    alignas(4) WORD t[128] = {};
    int n = 0;
    auto dword = [&](DWORD v) {
        t[n++] = LOWORD(v);
        t[n++] = HIWORD(v);
    };
    auto text = [&](const wchar_t* s) {
        for (; *s; ++s)
            t[n++] = *s;
        t[n++] = 0;
    };
    dword(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME);
    dword(0);
    t[n++] = 2; // items
    t[n++] = 0, t[n++] = 0, t[n++] = 120, t[n++] = 60;
    t[n++] = 0, t[n++] = 0; // menu, class
    text(L"Child dialog");
    const struct
    {
        DWORD style;
        WORD id;
        WORD classAtom;
    } items[] = {{WS_CHILD | WS_VISIBLE, 0xFFFF, 0x0082},
                 {WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, IDOK, 0x0080}};
    for (const auto& item : items) {
        if (n % 2)
            t[n++] = 0;
        dword(item.style);
        dword(0);
        t[n++] = 5, t[n++] = 5, t[n++] = 80, t[n++] = 12;
        t[n++] = item.id;
        t[n++] = 0xFFFF, t[n++] = item.classAtom;
        text(L"Not a box");
        t[n++] = 0;
    }
    for (;;)
        DialogBoxIndirectW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(t), nullptr, IgnoreAll);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && wcscmp(argv[1], L"hang") == 0) {
        Sleep(INFINITE);
        return 0;
    }
    if (argc > 1 && wcscmp(argv[1], L"boxes") == 0)
        return ShowBoxes();
    if (argc > 1 && wcscmp(argv[1], L"dialog") == 0)
        return ShowDialog();
    return argc > 1 ? _wtoi(argv[1]) : 0;
}
