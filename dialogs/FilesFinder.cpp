// Folder enumeration for the file selection dialog.
#include "dialogs/FilesFinder.h"

#include <cwchar>

CFilesFinder::~CFilesFinder()
{
    Close();
}

void CFilesFinder::Close()
{
    if (m_find != INVALID_HANDLE_VALUE)
        FindClose(m_find);
    m_find = INVALID_HANDLE_VALUE;
}

bool CFilesFinder::FindFirst(const wchar_t* pattern)
{
    Close();
    m_find = FindFirstFileW(pattern ? pattern : L"", &m_data);
    if (m_find == INVALID_HANDLE_VALUE)
        return false;
    return SkipDots();
}

bool CFilesFinder::FindNext()
{
    if (m_find == INVALID_HANDLE_VALUE)
        return false;
    if (!FindNextFileW(m_find, &m_data)) {
        Close();
        return false;
    }
    return SkipDots();
}

bool CFilesFinder::SkipDots()
{
    while (IsDotEntry(m_data.cFileName)) {
        if (!FindNextFileW(m_find, &m_data)) {
            Close();
            return false;
        }
    }
    return true;
}

bool CFilesFinder::IsDotEntry(const wchar_t* name)
{
    return _wcsicmp(name, L".") == 0 || _wcsicmp(name, L"..") == 0;
}

CString CFilesFinder::GetName() const
{
    return m_find != INVALID_HANDLE_VALUE ? CString(m_data.cFileName) : CString();
}

DWORD CFilesFinder::GetAttributes() const
{
    return m_find != INVALID_HANDLE_VALUE ? m_data.dwFileAttributes : 0xFFFFFFFF;
}
