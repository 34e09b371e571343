// Path rules of the uninstaller.
#include "uninstall/UninstallPaths.h"

CString GetProgramPath(HINSTANCE instance)
{
    const DWORD capacity = MAX_PATH + 1;
    wchar_t buffer[capacity];
    DWORD length = GetModuleFileNameW(instance, buffer, capacity);
    // A path that fills the buffer was cut short; a cut path names some other file.
    if (length == 0 || length >= capacity)
        return CString();
    buffer[capacity - 1] = L'\0';
    return CString(buffer);
}

CString GetFolderOfPath(const CString& path)
{
    int last = path.ReverseFind(L'\\');
    if (last < 0)
        return CString();
    if (last == 0)
        return CString(L"\\");
    return path.Left(last);
}

CString JoinFolderAndName(const CString& folder, const wchar_t* name)
{
    if (folder.IsEmpty())
        return CString(name);
    CString path = folder;
    if (path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    path += name;
    return path;
}
