// Command-line tokens: blank test, the tokenizer and quote removal.
//   IsCommandLineBlank(text): empty or only U+0020 spaces (tabs count as content).
//   NextCommandLineToken(text, position, length, token): next space-separated token from
//     position (in/out); double quotes group spaces and are kept until UnquoteToken.
//   UnquoteToken(text): strips one pair of surrounding quotes and turns "" into ".
#pragma once

#include "shd/String.h"

bool IsCommandLineBlank(const wchar_t* text);
bool NextCommandLineToken(const wchar_t* text, int& position, int length, CString& token);
CString UnquoteToken(const CString& text);
