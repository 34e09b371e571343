// Path helpers of the file selection dialog.
#include "dialogs/FilePaths.h"

#include <cwchar>

CString AddBackslash(const CString& text)
{
    const int length = text.GetLength();
    if (length > 0 && text[length - 1] == L'\\')
        return text;
    return text + L'\\';
}

CString RemoveTrailingBackslash(const CString& text)
{
    const int length = text.GetLength();
    if (length >= 2 && text[length - 1] == L'\\')
        return text.Left(length - 1);
    return text;
}

void SplitFilePath(const CString& path, CString& folder, CString& name)
{
    const int slash = path.ReverseFind(L'\\');
    if (slash < 0) {
        folder.Empty();
        name = path;
        return;
    }
    name = path.Mid(slash + 1);
    folder = path.Left(slash == 0 ? 1 : slash);
}

CString SplitLastFolder(CString& folder)
{
    const int slash = folder.ReverseFind(L'\\');
    if (slash < 0) {
        folder.Empty();
        return CString();
    }
    CString last = folder.Mid(slash + 1);
    folder = folder.Left(slash == 0 ? 1 : slash);
    return last;
}

CString GetExtension(const CString& name)
{
    const int dot = name.ReverseFind(L'.');
    if (dot < 0 || dot < name.ReverseFind(L'\\'))
        return CString();
    return name.Mid(dot);
}

bool IsValidFileName(const CString& name)
{
    return wcspbrk(name.c_str(), L"\\/:*?\"<>|") == nullptr;
}

bool IsRootFolder(const CString& folder)
{
    if (folder.IsEmpty() || folder == L"\\")
        return true;
    const int length = folder.GetLength();
    const bool drive = length >= 2 && folder[1] == L':' && iswalpha(folder[0]);
    return drive && (length == 2 || (length == 3 && folder[2] == L'\\'));
}
