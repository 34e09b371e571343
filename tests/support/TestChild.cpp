// Child program of the process runner's test: exits with its argument, or hangs on "hang".
#include <windows.h>

#include <cwchar>
#include <cstdlib>

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && wcscmp(argv[1], L"hang") == 0) {
        Sleep(INFINITE);
        return 0;
    }
    return argc > 1 ? _wtoi(argv[1]) : 0;
}
