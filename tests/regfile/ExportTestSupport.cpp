#include "tests/regfile/ExportTestSupport.h"

#include <gtest/gtest.h>

CString TestFilePath(const wchar_t* suffix)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    CString name;
    std::string test = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : test) {
        if (c == '/')
            c = '_';
    }
    std::wstring wide(test.begin(), test.end());
    name.Format(L"%shivelet_%s%s.reg", folder, wide.c_str(), suffix);
    DeleteFileW(name);
    return name;
}

std::string ReadFileBytes(const wchar_t* path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const wchar_t* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

std::string UnicodeBytes(const std::wstring& text)
{
    std::string bytes("\xFF\xFE", 2);
    for (wchar_t ch : text) {
        bytes += static_cast<char>(ch & 0xFF);
        bytes += static_cast<char>((ch >> 8) & 0xFF);
    }
    return bytes;
}
