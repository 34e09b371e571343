// Entry of uninstall.exe: no window, no message, exit code 0 whatever happens.
#include "uninstall/Uninstaller.h"
#include "uninstall/UninstallPaths.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CString programPath = GetProgramPath(instance);
    CUninstaller(programPath, GetFolderOfPath(programPath)).Run();
    return 0;
}
