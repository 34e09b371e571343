// Opens one editing dialog over an emulated device window, for the screenshot script:
//   editors_demo.exe <dialog> <tall|short> [seconds]
// dialog: value-string, value-dword, value-multi, value-binary, value-custom, key-new,
// key-properties, bookmarks, bookmark-edit. The values it shows are written first under
// HKCU\Software\HiveletDemo\Editors. Tall is a 240 x 320 screen, short one of 320 x 200, below
// the height where the dialogs take their compact layouts. Ends after the seconds given (default 30).
#include "dialogs/Bookmarks.h"
#include "dialogs/BookmarksDlg.h"
#include "dialogs/EditBookmarkDlg.h"
#include "dialogs/EditKeyDlg.h"
#include "dialogs/EditValueDlg.h"
#include "dialogs/KeyPropertiesDlg.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/ScreenScale.h"
#include "shd/ShdWnd.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

namespace {

const wchar_t kDemoPath[] = L"Software\\HiveletDemo\\Editors";

void WriteDemoValues()
{
    CShdRegKey key(true);
    if (!key.Create(HKEY_CURRENT_USER, kDemoPath, L"DemoClass"))
        return;
    key.SetString(L"InstallDir", L"\\Program Files\\Hivelet");
    key.SetDword(L"Timeout", 255);
    const wchar_t lines[] = L"first line\0second line\0third\0";
    key.SetValue(L"Search Paths", REG_MULTI_SZ, lines, sizeof(lines));
    const BYTE bytes[] = {0x48, 0x69, 0x76, 0x65, 0x6C, 0x65, 0x74, 0x00, 0x01, 0x02, 0x7F, 0x80,
                          0xFE, 0xFF, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x90, 0xA0, 0xB0};
    key.SetValue(L"Blob", REG_BINARY, bytes, sizeof(bytes));
    CBookmarkList bookmarks;
    for (const wchar_t* text :
         {L"HKLM\\Software\\Microsoft", L"HKCU\\Software\\HiveletDemo\\Editors", L"HKCR\\.reg", L"HKCU"})
        bookmarks.Add(text);
    SaveBookmarks(bookmarks);
}

void OpenDialog(const wchar_t* name, HWND owner)
{
    CString text;
    if (!wcscmp(name, L"value-string"))
        CEditValueDlg().EditValue(owner, HKEY_CURRENT_USER, kDemoPath, L"InstallDir", false);
    else if (!wcscmp(name, L"value-dword"))
        CEditValueDlg().EditValue(owner, HKEY_CURRENT_USER, kDemoPath, L"Timeout", false);
    else if (!wcscmp(name, L"value-multi"))
        CEditValueDlg().EditValue(owner, HKEY_CURRENT_USER, kDemoPath, L"Search Paths", false);
    else if (!wcscmp(name, L"value-binary"))
        CEditValueDlg().EditValue(owner, HKEY_CURRENT_USER, kDemoPath, L"Blob", false);
    else if (!wcscmp(name, L"value-custom"))
        CEditValueDlg().NewValue(owner, HKEY_CURRENT_USER, kDemoPath, 0, true, text);
    else if (!wcscmp(name, L"key-new")) {
        CString keyClass;
        CEditKeyDlg().NewKey(owner, HKEY_CURRENT_USER, kDemoPath, text, keyClass);
    } else if (!wcscmp(name, L"key-properties"))
        CKeyPropertiesDlg().ShowKeyProperties(owner, HKEY_CURRENT_USER, kDemoPath);
    else if (!wcscmp(name, L"bookmarks")) {
        HKEY root;
        CString path, value;
        bool selectValue;
        CBookmarksDlg().ShowBookmarks(owner, root, path, value, selectValue);
    } else if (!wcscmp(name, L"bookmark-edit")) {
        text = L"HKLM\\Software\\Microsoft";
        CEditBookmarkDlg().EditBookmark(owner, text);
    }
}

void CALLBACK TimeUp(HWND, UINT, UINT_PTR, DWORD)
{
    ExitProcess(0);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, wchar_t*, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count < 3)
        return 2;
    const bool tall = wcscmp(args[2], L"short") != 0;
    const UINT seconds = count > 3 ? UINT(_wtoi(args[3])) : 30;
    WriteDemoValues();
    CShdWnd device;
    const int width = ScaleX(tall ? 240 : 320), height = ScaleY(tall ? 320 : 200) - ScaleY(26);
    if (!device.Create(0, nullptr, L"Hivelet", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, 0,
                       instance))
        return 1;
    CShdWnd::CreateMenuBar(device.GetHwnd(), instance, IDR_MAIN_MENU, false);
    SetTimer(nullptr, 0, (seconds ? seconds : 30) * 1000, TimeUp);
    OpenDialog(args[1], device.GetHwnd());
    return 0;
}
