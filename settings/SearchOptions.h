// What a registry search looks for: the search string and nine flags, in the order the
// settings store and the search dialog keep them. The search engine uses it as CRegFinder::SSearchOptions.
#pragma once

#include "shd/String.h"

struct SSearchOptions
{
    CString searchString;
    bool keyNames = true;
    bool valueNames = true;
    bool valueData = true;
    bool caseSensitive = false;
    bool wholeStringOnly = false;
    bool strings = true;      // REG_SZ and REG_EXPAND_SZ data
    bool multiStrings = true; // REG_MULTI_SZ data
    bool dwords = true;       // REG_DWORD data
    bool binary = true;       // data of every other type
};
