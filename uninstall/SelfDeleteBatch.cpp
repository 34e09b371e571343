// The self-deleting batch file: its lines, writing them in the ANSI code page, starting it.
#include "uninstall/SelfDeleteBatch.h"

#include <shellapi.h>

CSelfDeleteBatch::CSelfDeleteBatch(const CString& programPath, const CString& programFolder)
{
    CString program = EscapeForBatch(programPath);
    m_lines[0] = L"@echo off";
    m_lines[1] = L":_loop";
    m_lines[2].Format(L"attrib -R -S -H \"%s\"", program.c_str());
    m_lines[3].Format(L"del \"%s\"", program.c_str());
    m_lines[4].Format(L"rmdir \"%s\"", EscapeForBatch(programFolder).c_str());
    m_lines[5].Format(L"if exist \"%s\" goto _loop", program.c_str());
    m_lines[6] = L"del %0";
}

bool CSelfDeleteBatch::Write(const CString& batchPath) const
{
    HANDLE file = CreateFileW(batchPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = WriteLines(file);
    CloseHandle(file);
    if (!written)
        DeleteFileW(batchPath);
    return written;
}

bool CSelfDeleteBatch::WriteLines(HANDLE file) const
{
    for (const CString& line : m_lines) {
        std::string bytes;
        if (!ConvertToAnsi(line, bytes))
            return false;
        bytes += "\r\n";
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size())
            return false;
    }
    return true;
}

bool CSelfDeleteBatch::Start(const CString& batchPath, const CString& directory)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = batchPath;
    info.lpDirectory = directory.IsEmpty() ? nullptr : directory.c_str();
    info.nShow = SW_HIDE;
    return ShellExecuteExW(&info) != FALSE;
}

CString EscapeForBatch(const CString& path)
{
    CString escaped;
    for (int i = 0; i < path.GetLength(); ++i) {
        if (path[i] == L'%')
            escaped += L'%';
        escaped += path[i];
    }
    return escaped;
}

bool ConvertToAnsi(const CString& text, std::string& out)
{
    out.clear();
    if (text.IsEmpty())
        return true;
    // UTF-8 holds every character, and refuses the flags that detect stand-ins.
    bool exact = GetACP() != CP_UTF8;
    DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = exact ? &usedDefault : nullptr;
    int size =
        WideCharToMultiByte(CP_ACP, flags, text, text.GetLength(), nullptr, 0, nullptr, usedDefaultOut);
    if (size <= 0 || usedDefault)
        return false;
    out.resize(size);
    int converted =
        WideCharToMultiByte(CP_ACP, flags, text, text.GetLength(), &out[0], size, nullptr, usedDefaultOut);
    return converted == size && !usedDefault;
}
