// Hexadecimal digits as the .reg files, the search patterns and the editors read them.
#pragma once

// 0 to 15 for 0-9, a-f and A-F; -1 for any other character.
inline int HexDigitValue(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (ch >= L'a' && ch <= L'f')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F')
        return ch - L'A' + 10;
    return -1;
}
