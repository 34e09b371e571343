// CString: sharing, editing and every format form the program uses.
#include "shd/String.h"

#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

CString F(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    CString s;
    s.FormatV(format, args);
    va_end(args);
    return s;
}

} // namespace

TEST(CString, CopiesShareUntilOneIsWritten)
{
    CString a(L"registry");
    CString b = a;
    EXPECT_TRUE(a.IsShared());
    EXPECT_EQ(a.c_str(), b.c_str());
    b.SetAt(0, L'R');
    EXPECT_FALSE(a.IsShared());
    EXPECT_EQ(CString(L"registry"), a);
    EXPECT_EQ(CString(L"Registry"), b);
    b += L" key";
    EXPECT_EQ(CString(L"Registry key"), b);
    EXPECT_EQ(CString(L"registry"), a);
}

TEST(CString, SelfAppendAndAssignFromOwnText)
{
    CString s(L"ab");
    s += s;
    EXPECT_EQ(CString(L"abab"), s);
    s = s.c_str() + 2;
    EXPECT_EQ(CString(L"ab"), s);
    for (int i = 0; i < 1000; ++i)
        s += L'x';
    EXPECT_EQ(1002, s.GetLength());
}

TEST(CString, EmptyAndNullInputs)
{
    CString s(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(L"", s.c_str());
    s += nullptr;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(L'\0', s[5]);
    EXPECT_EQ(CString(), CString(L"", 0));
}

TEST(CString, BufferWritingTakesLengthFromTerminator)
{
    CString s;
    wchar_t* buffer = s.GetBuffer(10);
    wcscpy(buffer, L"abc");
    s.ReleaseBuffer();
    EXPECT_EQ(3, s.GetLength());
    buffer = s.GetBuffer(10);
    s.ReleaseBuffer(2);
    EXPECT_EQ(CString(L"ab"), s);
}

TEST(CString, Pieces)
{
    CString s(L"HKEY_LOCAL_MACHINE\\Software\\Ordwyn");
    EXPECT_EQ(18, s.Find(L'\\'));
    EXPECT_EQ(27, s.ReverseFind(L'\\'));
    EXPECT_EQ(CString(L"HKEY_LOCAL_MACHINE"), s.Left(18));
    EXPECT_EQ(CString(L"Ordwyn"), s.Mid(28));
    EXPECT_EQ(CString(L"Software"), s.Mid(19, 8));
    EXPECT_EQ(CString(L"wyn"), s.Right(3));
    EXPECT_EQ(s, s.Left(100));
    EXPECT_EQ(CString(), s.Mid(100));
    EXPECT_EQ(19, s.Find(L"Software"));
    EXPECT_EQ(-1, s.Find(L"software"));
    CString t(L"abcdef");
    t.Delete(1, 2);
    EXPECT_EQ(CString(L"adef"), t);
    t.Insert(1, L"XY");
    EXPECT_EQ(CString(L"aXYdef"), t);
    t.Insert(0, L">");
    EXPECT_EQ(CString(L">aXYdef"), t);
    CString u(L"  pad  ");
    u.Trim();
    EXPECT_EQ(CString(L"pad"), u);
}

TEST(CString, CaseInsensitiveCompareFollowsWcsicmp)
{
    EXPECT_EQ(0, CString(L"Software").CompareNoCase(L"SOFTWARE"));
    // Lower-casing puts '_' (0x5F) before the letters, unlike an upper-casing compare.
    EXPECT_LT(CString(L"a_b").CompareNoCase(L"aBb"), 0);
    EXPECT_GT(CString(L"b").CompareNoCase(L"A"), 0);
    EXPECT_LT(CString(L"ab").CompareNoCase(L"abc"), 0);
    CString m(L"MiXeD");
    m.MakeLower();
    EXPECT_EQ(CString(L"mixed"), m);
    m.MakeUpper();
    EXPECT_EQ(CString(L"MIXED"), m);
}

TEST(CStringFormat, Integers)
{
    EXPECT_EQ(CString(L"42 -7 3000000000"), F(L"%i %d %u", 42, -7, 3000000000u));
    EXPECT_EQ(CString(L"4294967295"), F(L"%lu", 0xFFFFFFFFul));
    EXPECT_EQ(CString(L"-2147483648"), F(L"%d", INT_MIN));
    EXPECT_EQ(CString(L"ff FF 1a2b"), F(L"%x %X %lx", 255, 255, 0x1a2bul));
    EXPECT_EQ(CString(L"0A 0a 00FF 0000001f 0000001F"), F(L"%02X %02x %04X %08x %08X", 10, 10, 255, 31, 31));
    EXPECT_EQ(CString(L"dword:00000000"), F(L"dword:%08x", 0));
    EXPECT_EQ(CString(L"ffffffff"), F(L"%08x", 0xFFFFFFFFu));
    EXPECT_EQ(CString(L"   5|5   |-0005"), F(L"%4d|%-4d|%05d", 5, 5, -5));
    EXPECT_EQ(CString(L"[  12]"), F(L"[%*d]", 4, 12));
    EXPECT_EQ(CString(L"123"), F(L"%02X", 0x123)); // width is a minimum
    EXPECT_EQ(CString(L"18446744073709551615"), F(L"%llu", ~0ull));
}

TEST(CStringFormat, TextAndCharacters)
{
    EXPECT_EQ(CString(L"Version 1.1.2, Build 183"), F(L"Version %i.%i.%i, Build %i", 1, 1, 2, 183));
    EXPECT_EQ(CString(L"[HKEY_USERS\\.DEFAULT]"), F(L"[%s\\%s]", L"HKEY_USERS", L".DEFAULT"));
    EXPECT_EQ(CString(L"x=\"a\""), F(L"%c=\"%s\"", L'x', L"a"));
    EXPECT_EQ(CString(L"  ab|ab  |abc"), F(L"%4s|%-4s|%.3s", L"ab", L"ab", L"abcdef"));
    EXPECT_EQ(CString(L"100%"), F(L"%d%%", 100));
    EXPECT_EQ(CString(L"(null)"), F(L"%s", static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(CString(L"no args"), F(L"no args"));
    CString s(L"a");
    s.AppendFormat(L"%s%d", L"b", 1);
    EXPECT_EQ(CString(L"ab1"), s);
    // A CString argument formats as its text.
    CString name(L"value");
    EXPECT_EQ(CString(L"\"value\""), F(L"\"%s\"", name.c_str()));
}
