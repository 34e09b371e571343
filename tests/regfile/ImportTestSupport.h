// Helpers for the importer tests: files from bytes, the two file forms, branch snapshots.
#pragma once

#include "shd/String.h"
#include "tests/support/TestFiles.h"

#include <windows.h>

#include <string>
#include <vector>

// A fresh path in the temporary directory (the file is not created).
CString TempFilePath(const wchar_t* stem);

// The ANSI form: every character below 256 as one byte (code page 1252 under the test locale).
std::string AnsiBytes(const std::wstring& text);

// Every key and value below root\path, one line each ("sub\key" and "sub\key|name|type|hex"),
// in a stable order, through the back end in force.
std::vector<std::string> SnapshotBranch(HKEY root, const wchar_t* path);
