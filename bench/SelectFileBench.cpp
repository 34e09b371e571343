// Listing a folder of 5,000 files in the file selection dialog: the enumeration alone, and the
// dialog from its call to its first activation (creation, listing, sorting, filling the list).
#include "bench/BenchTree.h"

#include "dialogs/FilePaths.h"
#include "dialogs/FilesFinder.h"
#include "dialogs/SelectFileDlg.h"

#include <commctrl.h>

#include <cstdio>

namespace {

const int kFiles = 5000;

double g_activated = 0;

LRESULT CALLBACK CancelOnActivate(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && g_activated == 0) {
        g_activated = NowSeconds();
        PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

CString MakeFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString folder = AddBackslash(temp) + L"hivelet bench files";
    CreateDirectoryW(folder, nullptr);
    for (int i = 0; i < kFiles; ++i) {
        CString name;
        name.Format(L"%s\\file %05d%s", folder.c_str(), (i * 7919) % kFiles, i % 3 ? L".reg" : L".txt");
        HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    return folder;
}

void RemoveFolder(const CString& folder)
{
    CFilesFinder finder;
    for (bool more = finder.FindFirst(folder + L"\\*"); more; more = finder.FindNext())
        DeleteFileW(folder + L"\\" + finder.GetName());
    finder.Close();
    RemoveDirectoryW(folder);
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CString folder = MakeFolder();

    double begin = NowSeconds();
    int count = 0;
    CFilesFinder finder;
    for (bool more = finder.FindFirst(folder + L"\\*"); more; more = finder.FindNext())
        ++count;
    double enumerated = NowSeconds() - begin;

    HHOOK hook = SetWindowsHookExW(WH_CBT, CancelOnActivate, nullptr, GetCurrentThreadId());
    CSelectFileDlg dialog;
    CString path = folder;
    begin = NowSeconds();
    dialog.Run(nullptr, path);
    UnhookWindowsHookEx(hook);
    std::printf("files: %d listed: %d\n", count, dialog.GetItemCount());
    std::printf("enumeration: %.1f ms\n", enumerated * 1000);
    std::printf("dialog open and listed: %.1f ms\n", (g_activated - begin) * 1000);
    RemoveFolder(folder);
    return 0;
}
