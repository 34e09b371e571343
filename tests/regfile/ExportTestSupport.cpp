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
