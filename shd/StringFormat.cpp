// CString's printf-style formatter (Format, AppendFormat): integers, strings and characters with
// flags, width, precision and size prefixes; no floating point.
#include "shd/String.h"

#include <cstdarg>
#include <cwchar>

namespace {

struct SField
{
    bool leftAlign = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;
    int size = 0; // 0 int, 1 long, 2 long long / I64, -1 short
};

void AppendPadded(CString& out, const wchar_t* text, int length, const SField& field, bool numeric)
{
    int pad = field.width > length ? field.width - length : 0;
    if (field.leftAlign) {
        out.Append(text, length);
        out += CString(L' ', pad);
        return;
    }
    if (field.zeroPad && numeric && pad > 0) {
        // The sign stays in front of the zeros.
        if (length > 0 && text[0] == L'-') {
            out += L'-';
            out += CString(L'0', pad);
            out.Append(text + 1, length - 1);
            return;
        }
        out += CString(L'0', pad);
        out.Append(text, length);
        return;
    }
    out += CString(L' ', pad);
    out.Append(text, length);
}

int FormatUnsigned(wchar_t* end, unsigned long long value, unsigned base, bool upper)
{
    const wchar_t* digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    int count = 0;
    do {
        *--end = digits[value % base];
        value /= base;
        ++count;
    } while (value);
    return count;
}

void AppendInteger(CString& out, va_list& args, const SField& field, wchar_t conversion)
{
    bool isSigned = conversion == L'd' || conversion == L'i';
    unsigned long long magnitude;
    bool negative = false;
    if (isSigned) {
        long long value;
        if (field.size == 2)
            value = va_arg(args, long long);
        else if (field.size == 1)
            value = va_arg(args, long);
        else
            value = va_arg(args, int);
        if (field.size < 0)
            value = static_cast<short>(value);
        negative = value < 0;
        magnitude =
            negative ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    } else {
        if (field.size == 2)
            magnitude = va_arg(args, unsigned long long);
        else if (field.size == 1)
            magnitude = va_arg(args, unsigned long);
        else
            magnitude = va_arg(args, unsigned int);
        if (field.size < 0)
            magnitude = static_cast<unsigned short>(magnitude);
    }
    wchar_t buffer[32];
    wchar_t* end = buffer + 32;
    unsigned base = (conversion == L'x' || conversion == L'X') ? 16 : 10;
    int length = FormatUnsigned(end, magnitude, base, conversion == L'X');
    while (field.precision > length && length < 30) {
        *(end - length - 1) = L'0';
        ++length;
    }
    if (negative) {
        *(end - length - 1) = L'-';
        ++length;
    }
    AppendPadded(out, end - length, length, field, field.precision < 0);
}

void AppendStringArg(CString& out, va_list& args, const SField& field)
{
    const wchar_t* text = va_arg(args, const wchar_t*);
    if (!text)
        text = L"(null)";
    int length = static_cast<int>(wcslen(text));
    if (field.precision >= 0 && field.precision < length)
        length = field.precision;
    AppendPadded(out, text, length, field, false);
}

const wchar_t* ParseSpec(const wchar_t* p, va_list& args, SField& field)
{
    for (;; ++p) {
        if (*p == L'-')
            field.leftAlign = true;
        else if (*p == L'0')
            field.zeroPad = true;
        else if (*p != L'+' && *p != L' ' && *p != L'#')
            break;
    }
    if (*p == L'*') {
        field.width = va_arg(args, int);
        if (field.width < 0) {
            field.leftAlign = true;
            field.width = -field.width;
        }
        ++p;
    }
    for (; *p >= L'0' && *p <= L'9'; ++p)
        field.width = field.width * 10 + (*p - L'0');
    if (*p == L'.') {
        ++p;
        field.precision = 0;
        if (*p == L'*') {
            field.precision = va_arg(args, int);
            ++p;
        }
        for (; *p >= L'0' && *p <= L'9'; ++p)
            field.precision = field.precision * 10 + (*p - L'0');
    }
    if (p[0] == L'l' && p[1] == L'l') {
        field.size = 2;
        p += 2;
    } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
        field.size = 2;
        p += 3;
    } else if (*p == L'l') {
        field.size = 1;
        ++p;
    } else if (*p == L'h') {
        field.size = -1;
        ++p;
    }
    return p;
}

} // namespace

void CString::AppendFormatV(const wchar_t* format, va_list args)
{
    va_list ap;
    va_copy(ap, args);
    CString out;
    for (const wchar_t* p = format; p && *p;) {
        const wchar_t* run = p;
        while (*p && *p != L'%')
            ++p;
        out.Append(run, static_cast<int>(p - run));
        if (!*p)
            break;
        SField field;
        p = ParseSpec(p + 1, ap, field);
        wchar_t conversion = *p;
        if (!conversion)
            break;
        ++p;
        switch (conversion) {
        case L'd':
        case L'i':
        case L'u':
        case L'x':
        case L'X':
            AppendInteger(out, ap, field, conversion);
            break;
        case L's':
        case L'S':
            AppendStringArg(out, ap, field);
            break;
        case L'c': {
            wchar_t ch = static_cast<wchar_t>(va_arg(ap, int));
            AppendPadded(out, &ch, 1, field, false);
            break;
        }
        default: // "%%" and unknown conversions are copied as the character
            out += conversion;
            break;
        }
    }
    va_end(ap);
    *this += out;
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    CString result;
    result.AppendFormatV(format, args);
    *this = result;
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}
