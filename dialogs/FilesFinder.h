// CFilesFinder: the entries of a folder, one at a time, without "." and "..".
//   CFilesFinder finder;
//   for (bool more = finder.FindFirst(L"\\Folder\\*"); more; more = finder.FindNext())
//       use(finder.GetName(), finder.GetAttributes());
#pragma once

#include "shd/String.h"

#include <windows.h>

class CFilesFinder
{
public:
    CFilesFinder() = default;
    virtual ~CFilesFinder();
    CFilesFinder(const CFilesFinder&) = delete;
    CFilesFinder& operator=(const CFilesFinder&) = delete;

    // Closes an open search first; false (search closed) when the pattern matches nothing else.
    bool FindFirst(const wchar_t* pattern);
    // False, and the search closed, at the end.
    bool FindNext();
    void Close();

    // "" and 0xFFFFFFFF while no search is open.
    CString GetName() const;
    DWORD GetAttributes() const;

private:
    bool SkipDots();
    static bool IsDotEntry(const wchar_t* name);

    HANDLE m_find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW m_data = {};
};
