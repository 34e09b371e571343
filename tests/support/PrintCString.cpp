// CString printing for GoogleTest.
#include "tests/support/PrintCString.h"

#include <windows.h>

#include <string>

void PrintTo(const CString& text, std::ostream* out)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), text.GetLength(), &utf8[0], bytes, nullptr, nullptr);
    *out << "L\"" << utf8 << "\"";
}
