// Files as the tests write and check them: whole contents as bytes, and the UTF-16 form of a text.
#pragma once

#include <string>

// The whole file; empty when it cannot be opened. Opened with every sharing mode, so a file
// that another process still holds can be read.
std::string ReadFileBytes(const wchar_t* path);
// Creates or replaces the file with exactly these bytes.
bool WriteFileBytes(const wchar_t* path, const std::string& bytes);
// A file or a folder.
bool FileExists(const wchar_t* path);
// FF FE and the text as UTF-16LE.
std::string UnicodeBytes(const std::wstring& text);
