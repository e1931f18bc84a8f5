#include <gtest/gtest.h>

#include "base/Ascii.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "base/TextCatalog.h"

using namespace kv;

TEST(Ascii, HighBytesAreNeverLettersOrDigits)
{
    for (int i = 0x80; i < 0x100; ++i) {
        const char c = char(i);
        EXPECT_FALSE(IsAsciiAlpha(c));
        EXPECT_FALSE(IsAsciiDigit(c));
        EXPECT_EQ(AsciiToUpper(c), c);
    }
    EXPECT_EQ(ToUpperAscii(std::string("dl1\xE4xyz")), "DL1\xE4XYZ");
    EXPECT_TRUE(EqualsIgnoreCaseAscii(u"Kestrivane.INI", u"kestrivane.ini"));
    EXPECT_FALSE(EqualsIgnoreCaseAscii(u"\u00e4", u"\u00c4"));
}

TEST(Numbers, ParseIsLocaleFreeAndStrict)
{
    EXPECT_EQ(ParseInteger<int>("9871"), 9871);
    EXPECT_EQ(ParseInteger<int>("-5"), -5);
    EXPECT_EQ(ParseInteger<int>("+5"), 5);
    EXPECT_FALSE(ParseInteger<int>("").has_value());
    EXPECT_FALSE(ParseInteger<int>("12a").has_value());
    EXPECT_FALSE(ParseInteger<int>(" 12").has_value());
    EXPECT_FALSE(ParseInteger<int>("99999999999").has_value());
    EXPECT_FALSE(ParseInteger<unsigned>("-1").has_value());
    EXPECT_EQ(ParseInteger<int>(u"42"), 42);
    EXPECT_FALSE(ParseInteger<int>(u"4\u0662").has_value()); // an Arabic-Indic digit is no digit
    EXPECT_EQ(ParseDouble("14025.5"), 14025.5);
    EXPECT_FALSE(ParseDouble("14025,5").has_value());
    EXPECT_EQ(FormatFixed(7025.05, 1), "7025.1");
    EXPECT_EQ(FormatInteger(-12), "-12");
}

TEST(Text, TrimAndSplit)
{
    EXPECT_EQ(Trim(std::string_view(" \t DL1XYZ \r\n")), "DL1XYZ");
    EXPECT_EQ(Trim(std::u16string_view(u"  ")), u"");
    const auto parts = Split(std::string_view("a,,b"), ',');
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[1], "");
}

TEST(TextCatalog, KnowsTheApplicationName)
{
    EXPECT_EQ(LoadText(57344), u"Kestrivane");
    EXPECT_EQ(LoadText(1), u"");
    for (unsigned i = 1; i < kStringTableSize; ++i) EXPECT_LT(kStringTable[i - 1].id, kStringTable[i].id);
}
