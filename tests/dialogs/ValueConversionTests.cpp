// The value editor's conversions: type names, the number parser's limits in both bases, and
// the bytes of strings and multi-strings in both directions.
#include "dialogs/ValueConversion.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<BYTE> Characters(const std::wstring& text)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(text.data());
    return std::vector<BYTE>(p, p + text.size() * sizeof(wchar_t));
}

std::vector<BYTE> Contents(const CShdBinaryBuffer& data)
{
    return std::vector<BYTE>(data.GetData(), data.GetData() + data.GetSize());
}

void Fill(CShdBinaryBuffer& data, const std::vector<BYTE>& bytes)
{
    ASSERT_TRUE(data.Assign(bytes.data(), DWORD(bytes.size())));
}

bool Parses(const wchar_t* text, bool hexadecimal, DWORD bound = 0xFFFFFFFF)
{
    DWORD number = 0;
    return ParseNumber(text, hexadecimal, bound, number);
}

} // namespace

TEST(ValueConversion, TypeNames)
{
    EXPECT_EQ(CString(L"REG_EXPAND_SZ"), GetValueTypeName(2));
    EXPECT_EQ(CString(L"REG_MULTI_SZ"), GetValueTypeName(7));
    // Types between the known ones and far beyond them, in hexadecimal.
    EXPECT_EQ(CString(L"Unknown (0x5)"), GetValueTypeName(5));
    EXPECT_EQ(CString(L"Unknown (0xFFFFFFFF)"), GetValueTypeName(0xFFFFFFFF));
}

TEST(ValueConversion, NumberLimitsInBothBasesAndTheCustomTypeBound)
{
    DWORD number = 0;
    EXPECT_TRUE(ParseNumber(L"4294967295", false, 0xFFFFFFFF, number));
    EXPECT_EQ(0xFFFFFFFFu, number);
    EXPECT_FALSE(Parses(L"4294967296", false));
    EXPECT_FALSE(Parses(L"99999999999999999999999", false));
    EXPECT_TRUE(ParseNumber(L"0000000000000000000000042", false, 0xFFFFFFFF, number));
    EXPECT_EQ(42u, number);
    EXPECT_TRUE(ParseNumber(L"00000000ffffffff", true, 0xFFFFFFFF, number));
    EXPECT_EQ(0xFFFFFFFFu, number);
    EXPECT_FALSE(Parses(L"100000000", true));
    EXPECT_FALSE(Parses(L"1a", false)) << "hex digits in decimal";
    for (bool hex : {false, true}) {
        for (const wchar_t* text : {L"0x10", L"-1", L"+1", L" 1", L"1 ", L"", L"1.0"})
            EXPECT_FALSE(Parses(text, hex)) << (hex ? "hex " : "dec ") << text;
    }
    EXPECT_FALSE(ParseNumber(nullptr, true, 0xFFFF, number));
    EXPECT_TRUE(ParseNumber(L"FFFF", true, 0xFFFF, number));
    EXPECT_EQ(0xFFFFu, number);
    EXPECT_FALSE(Parses(L"10000", true, 0xFFFF));
}

// Embedded and missing terminators, odd lengths and trailing NULs are shown through the value
// editor's own tests; these are the edges it does not open.
TEST(ValueConversion, EmptyAndUnterminatedBytes)
{
    CShdBinaryBuffer data;
    EXPECT_EQ(CString(L""), StringFromBytes(data));
    Fill(data, Characters(L"a")); // no NUL at all
    EXPECT_EQ(CString(L"a"), MultiStringFromBytes(data));
    Fill(data, Characters(std::wstring(L"\0\0", 2)));
    EXPECT_EQ(CString(L""), MultiStringFromBytes(data));
    DWORD number = 7;
    data.SetSize(0);
    EXPECT_FALSE(DwordFromBytes(data, number));
}

TEST(ValueConversion, DwordsAreLittleEndian)
{
    CShdBinaryBuffer data;
    DWORD number = 0;
    Fill(data, {0x78, 0x56, 0x34, 0x12});
    ASSERT_TRUE(DwordFromBytes(data, number));
    EXPECT_EQ(0x12345678u, number);
    ASSERT_TRUE(BytesFromDword(0xA1B2C3D4, data));
    EXPECT_EQ((std::vector<BYTE>{0xD4, 0xC3, 0xB2, 0xA1}), Contents(data));
}

TEST(ValueConversion, MultiStringLineEndsOfEveryForm)
{
    CShdBinaryBuffer data;
    struct SCase
    {
        const wchar_t* text;
        std::wstring strings;
    } cases[] = {
        {L"a\r\nb", std::wstring(L"a\0b\0\0", 5)},       {L"", std::wstring(L"\0\0", 2)},
        {L"a\r\n", std::wstring(L"a\0\0\0", 4)},         {L"a\n\rb", std::wstring(L"a\0b\0\0", 5)},
        {L"a\nb", std::wstring(L"a\0b\0\0", 5)},         {L"a\rb", std::wstring(L"a\0b\0\0", 5)},
        {L"a\r\rb", std::wstring(L"a\0\0b\0\0", 6)},     {L"a\n\nb", std::wstring(L"a\0\0b\0\0", 6)},
        {L"a\r\n\r\nb", std::wstring(L"a\0\0b\0\0", 6)},
    };
    for (const SCase& c : cases) {
        ASSERT_TRUE(BytesFromMultiString(c.text, data));
        EXPECT_EQ(Characters(c.strings), Contents(data)) << c.text;
    }
}

TEST(ValueConversion, HexViewWidthsArePowersOfTwo)
{
    const unsigned expected[][2] = {{0, 4}, {1, 1}, {3, 2}, {7, 4}, {8, 8}, {15, 8}, {40, 16}};
    for (const auto& pair : expected)
        EXPECT_EQ(pair[1], PowerOfTwoBytesPerLine(pair[0])) << pair[0];
}
