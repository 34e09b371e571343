// Tokenizer and quote removal as a user types command lines.
#include "app/CommandLine.h"

#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<CString> Tokens(const wchar_t* line)
{
    std::vector<CString> tokens;
    int position = 0;
    int length = static_cast<int>(wcslen(line));
    CString token;
    while (NextCommandLineToken(line, position, length, token))
        tokens.push_back(token);
    EXPECT_TRUE(token.IsEmpty());
    return tokens;
}

} // namespace

TEST(CommandLine, BlankMeansOnlySpaces)
{
    EXPECT_TRUE(IsCommandLineBlank(nullptr));
    EXPECT_TRUE(IsCommandLineBlank(L""));
    EXPECT_TRUE(IsCommandLineBlank(L"   "));
    EXPECT_FALSE(IsCommandLineBlank(L"\t"));
    EXPECT_FALSE(IsCommandLineBlank(L"  x "));
}

TEST(CommandLine, TokensSplitAtUnquotedSpaces)
{
    std::vector<CString> t = Tokens(L"  /E \"C:\\My Files\\out.reg\"   HKLM\\Software ");
    ASSERT_EQ(3u, t.size());
    EXPECT_EQ(CString(L"/E"), t[0]);
    EXPECT_EQ(CString(L"C:\\My Files\\out.reg"), t[1]);
    EXPECT_EQ(CString(L"HKLM\\Software"), t[2]);
    EXPECT_TRUE(Tokens(L"    ").empty());
    EXPECT_TRUE(Tokens(L"").empty());
}

TEST(CommandLine, QuotedPartInsideATokenStaysWithItsQuotes)
{
    std::vector<CString> t = Tokens(L"a\"b c\"d next");
    ASSERT_EQ(2u, t.size());
    EXPECT_EQ(CString(L"a\"b c\"d"), t[0]);
    EXPECT_EQ(CString(L"next"), t[1]);
    // An unterminated quote runs to the end of the line.
    t = Tokens(L"\"open ended");
    ASSERT_EQ(1u, t.size());
    EXPECT_EQ(CString(L"open ended"), t[0]);
}

TEST(CommandLine, LengthAndPositionBoundTheScan)
{
    const wchar_t* line = L"one two three";
    int position = 4;
    CString token;
    EXPECT_TRUE(NextCommandLineToken(line, position, 7, token));
    EXPECT_EQ(CString(L"two"), token);
    EXPECT_EQ(7, position);
    EXPECT_FALSE(NextCommandLineToken(line, position, 7, token));
    EXPECT_FALSE(NextCommandLineToken(nullptr, position, 7, token));
}

TEST(CommandLine, Unquoting)
{
    EXPECT_EQ(CString(L"a\"b"), UnquoteToken(L"\"a\"\"b\""));
    EXPECT_EQ(CString(L"\"\""), UnquoteToken(L"\"\"\"\"\"\"")); // four inner quotes become two
    EXPECT_EQ(CString(L""), UnquoteToken(L"\""));
    EXPECT_EQ(CString(L""), UnquoteToken(L"\"\""));
    EXPECT_EQ(CString(L"abc"), UnquoteToken(L"\"abc"));
    EXPECT_EQ(CString(L"a\"\"b"), UnquoteToken(L"a\"\"b")); // unquoted tokens stay as they are
}
