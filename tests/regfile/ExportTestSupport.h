// Helpers for the exporter tests: temporary files and expected file bytes spelled out as text.
#pragma once

#include "shd/String.h"

#include <windows.h>

#include <string>

// A path in the temporary folder, unique to the running test, with any old file removed.
CString TestFilePath(const wchar_t* suffix = L"");
std::string ReadFileBytes(const wchar_t* path);
bool FileExists(const wchar_t* path);
// FF FE and the text as UTF-16LE.
std::string UnicodeBytes(const std::wstring& text);
