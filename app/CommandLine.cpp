// Tokenizing the program's command line.
#include "app/CommandLine.h"

bool IsCommandLineBlank(const wchar_t* text)
{
    if (!text)
        return true;
    for (; *text; ++text) {
        if (*text != L' ')
            return false;
    }
    return true;
}

bool NextCommandLineToken(const wchar_t* text, int& position, int length, CString& token)
{
    token.Empty();
    if (!text || position >= length)
        return false;
    while (position < length && text[position] == L' ')
        ++position;
    int start = position;
    bool quoted = false;
    for (; position < length; ++position) {
        wchar_t ch = text[position];
        if (ch == L'"')
            quoted = !quoted;
        else if (ch == L' ' && !quoted)
            break;
    }
    if (position == start)
        return false;
    token = UnquoteToken(CString(text + start, position - start));
    return true;
}

CString UnquoteToken(const CString& text)
{
    if (text.GetAt(0) != L'"')
        return text;
    CString rest = text.Mid(1);
    if (!rest.IsEmpty() && rest[rest.GetLength() - 1] == L'"')
        rest.Truncate(rest.GetLength() - 1);
    CString result;
    for (int i = 0; i < rest.GetLength(); ++i) {
        result += rest[i];
        if (rest[i] == L'"' && rest.GetAt(i + 1) == L'"')
            ++i; // a doubled quote stands for one; scanning goes on after the pair
    }
    return result;
}
