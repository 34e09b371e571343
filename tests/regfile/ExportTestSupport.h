// Helpers for the exporter tests: temporary files and expected file bytes spelled out as text.
#pragma once

#include "shd/String.h"
#include "tests/support/TestFiles.h"

#include <windows.h>

#include <string>

// A path in the temporary folder, unique to the running test, with any old file removed.
CString TestFilePath(const wchar_t* suffix = L"");
