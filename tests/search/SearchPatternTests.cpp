// Search-string patterns and the name and data tests.
#include "search/SearchPatterns.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<CSearchPatterns> Prepared(const wchar_t* text, bool caseSensitive = false, bool whole = false)
{
    SSearchOptions options;
    options.searchString = text;
    options.caseSensitive = caseSensitive;
    options.wholeStringOnly = whole;
    auto patterns = std::make_unique<CSearchPatterns>();
    patterns->Prepare(options);
    return patterns;
}

std::vector<BYTE> Hex(const wchar_t* text)
{
    CShdBinaryBuffer bytes;
    ParseHexPattern(text, bytes);
    return std::vector<BYTE>(bytes.GetData(), bytes.GetData() + bytes.GetSize());
}

std::vector<BYTE> Utf16(const wchar_t* text, bool terminator)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(text);
    return std::vector<BYTE>(p, p + (wcslen(text) + (terminator ? 1 : 0)) * 2);
}

} // namespace

TEST(SearchPatterns, Numbers)
{
    DWORD n;
    EXPECT_TRUE(ParseSearchNumber(L"0x10", n));
    EXPECT_EQ(16u, n);
    EXPECT_TRUE(ParseSearchNumber(L"16", n));
    EXPECT_EQ(16u, n);
    EXPECT_TRUE(ParseSearchNumber(L"0XfF", n));
    EXPECT_EQ(255u, n);
    EXPECT_TRUE(ParseSearchNumber(L"4294967296", n)); // wraps
    EXPECT_EQ(0u, n);
    for (const wchar_t* bad : {L"", L"0x", L"+16", L" 16", L"16 ", L"1a", L"0x1g"})
        EXPECT_FALSE(ParseSearchNumber(bad, n)) << bad;
}

TEST(SearchPatterns, HexBytes)
{
    EXPECT_EQ((std::vector<BYTE>{0x0A, 0x1B}), Hex(L"0A 1b"));
    EXPECT_EQ((std::vector<BYTE>{0xAB, 0x0C}), Hex(L"ABC"));
    EXPECT_EQ((std::vector<BYTE>{0x0A, 0xBC}), Hex(L"A BC"));
    EXPECT_EQ((std::vector<BYTE>{0x41, 0x42}), Hex(L"  41 42 "));
    EXPECT_TRUE(Hex(L"hello").empty());
    EXPECT_TRUE(Hex(L"41,42").empty());
    EXPECT_TRUE(Hex(L"").empty());
}

TEST(SearchPatterns, NameTests)
{
    EXPECT_TRUE(Prepared(L"soft")->NameMatches(L"SOFTWARE"));
    EXPECT_FALSE(Prepared(L"soft", true)->NameMatches(L"SOFTWARE"));
    EXPECT_TRUE(Prepared(L"SOFT", true)->NameMatches(L"SOFTWARE"));
    EXPECT_FALSE(Prepared(L"soft", false, true)->NameMatches(L"SOFTWARE"));
    EXPECT_TRUE(Prepared(L"software", false, true)->NameMatches(L"SOFTWARE"));
    EXPECT_FALSE(Prepared(L"software", true, true)->NameMatches(L"SOFTWARE"));
    EXPECT_FALSE(Prepared(L"")->NameMatches(L"anything"));
    EXPECT_FALSE(Prepared(L"x")->NameMatches(L"")); // default value and roots
}

TEST(SearchPatterns, StringAndMultiStringData)
{
    std::vector<BYTE> sz = Utf16(L"Program Files", true);
    EXPECT_TRUE(Prepared(L"files")->DataMatches(REG_SZ, sz.data(), static_cast<DWORD>(sz.size())));
    EXPECT_TRUE(Prepared(L"files")->DataMatches(REG_EXPAND_SZ, sz.data(), static_cast<DWORD>(sz.size())));
    EXPECT_FALSE(
        Prepared(L"files", false, true)->DataMatches(REG_SZ, sz.data(), static_cast<DWORD>(sz.size())));
    std::vector<BYTE> cut = {'a', 0, 'b', 0, 0, 0, 'c', 0, 'd', 0}; // text ends at the first NUL
    EXPECT_FALSE(Prepared(L"cd")->DataMatches(REG_SZ, cut.data(), static_cast<DWORD>(cut.size())));

    std::vector<BYTE> multi = {'o', 0, 'n', 0, 'e', 0, 0, 0, 't', 0, 'w', 0, 'o', 0, 0, 0, 0, 0};
    DWORD size = static_cast<DWORD>(multi.size());
    EXPECT_TRUE(Prepared(L"two", false, true)->DataMatches(REG_MULTI_SZ, multi.data(), size));
    EXPECT_FALSE(Prepared(L"tw", false, true)->DataMatches(REG_MULTI_SZ, multi.data(), size));
    // An empty piece between two NULs counts as a string; one at the very end does not.
    std::vector<BYTE> gap = {'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0};
    EXPECT_TRUE(
        Prepared(L"", false, true)->DataMatches(REG_MULTI_SZ, gap.data(), static_cast<DWORD>(gap.size())));
    EXPECT_FALSE(Prepared(L"", false, true)->DataMatches(REG_MULTI_SZ, multi.data(), size));

    SSearchOptions noStrings;
    noStrings.searchString = L"files";
    noStrings.strings = false;
    CSearchPatterns patterns;
    patterns.Prepare(noStrings);
    EXPECT_FALSE(patterns.DataMatches(REG_SZ, sz.data(), static_cast<DWORD>(sz.size())));
}

TEST(SearchPatterns, DwordData)
{
    DWORD sixteen = 16;
    const BYTE* p = reinterpret_cast<const BYTE*>(&sixteen);
    EXPECT_TRUE(Prepared(L"0x10")->DataMatches(REG_DWORD, p, 4));
    EXPECT_TRUE(Prepared(L"16")->DataMatches(REG_DWORD, p, 4));
    EXPECT_FALSE(Prepared(L"+16")->DataMatches(REG_DWORD, p, 4));
    EXPECT_FALSE(Prepared(L" 16")->DataMatches(REG_DWORD, p, 4));
    EXPECT_TRUE(Prepared(L"0")->DataMatches(REG_DWORD, p, 2)); // short data reads as 0
}

TEST(SearchPatterns, BinaryDataAtAnyOffset)
{
    std::vector<BYTE> data = {0x00, 0x41, 0x42, 0x00};
    EXPECT_TRUE(Prepared(L"41 42")->DataMatches(REG_BINARY, data.data(), 4));
    std::vector<BYTE> ansiText = {'x', '4', '1', ' ', '4', '2', 'y'};
    EXPECT_TRUE(Prepared(L"41 42")->DataMatches(REG_BINARY, ansiText.data(), 7));
    std::vector<BYTE> hello = {0x99};
    std::vector<BYTE> utf = Utf16(L"Hello", false);
    hello.insert(hello.end(), utf.begin(), utf.end()); // at an odd offset
    DWORD size = static_cast<DWORD>(hello.size());
    EXPECT_TRUE(Prepared(L"hello")->DataMatches(REG_BINARY, hello.data(), size));
    EXPECT_FALSE(Prepared(L"hello", true)->DataMatches(REG_BINARY, hello.data(), size));
    EXPECT_TRUE(Prepared(L"hello")->DataMatches(0x12345, hello.data(), size)); // custom types are binary
    EXPECT_FALSE(Prepared(L"longer than the data")->DataMatches(REG_BINARY, hello.data(), size));
    EXPECT_FALSE(Prepared(L"41")->DataMatches(REG_BINARY, nullptr, 0));
}

TEST(SearchPatterns, AnsiPatternOnlyForTextTheCodePageHolds)
{
    // Without an ANSI form the text is not looked for as "???" bytes; with one, it is.
    std::vector<BYTE> questions = {'x', '?', '?', '?', 'y'};
    EXPECT_FALSE(Prepared(L"\x0416\x0443\x043A")->DataMatches(REG_BINARY, questions.data(), 5));
    std::vector<BYTE> latin = {'x', 0xE9, 't', 0xE9, 'y'};
    EXPECT_TRUE(Prepared(L"\x00E9t\x00E9")->DataMatches(REG_BINARY, latin.data(), 5));
}
