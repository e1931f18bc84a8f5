#include <gtest/gtest.h>

#include "base/Utf.h"

using namespace kv;

TEST(Utf8, StrictAcceptsEveryWellFormedLength)
{
    EXPECT_EQ(Utf8ToUtf16Strict("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\xA1"), std::u16string(u"A\u00e9\u20ac\U0001F4E1"));
    EXPECT_EQ(Utf8ToUtf16Strict("\xF4\x8F\xBF\xBF"), std::u16string(u"\U0010FFFF"));
    EXPECT_EQ(Utf8ToUtf16Strict(""), std::u16string());
}

TEST(Utf8, StrictRejectsOverlongSurrogatesOutOfRangeAndTruncated)
{
    const char* bad[] = {
        "\xC0\xAF",         // overlong '/'
        "\xC1\xBF",         // overlong
        "\xE0\x80\xAF",     // overlong 3-byte
        "\xF0\x80\x80\xAF", // overlong 4-byte
        "\xED\xA0\x80",     // U+D800
        "\xED\xBF\xBF",     // U+DFFF
        "\xF4\x90\x80\x80", // above U+10FFFF
        "\xF5\x80\x80\x80",
        "\xC3",             // truncated
        "\xE2\x82",
        "\xF0\x9F\x93",
        "\x80",             // lone continuation
        "A\xFF",
    };
    for (const char* s : bad) {
        EXPECT_FALSE(Utf8ToUtf16Strict(s).has_value()) << testing::PrintToString(std::string(s));
        EXPECT_FALSE(IsValidUtf8(s));
    }
}

TEST(Utf8, LenientReplacesEachBadByte)
{
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("x\xE2\x82"), u"x\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80!"), u"\uFFFD\uFFFD\uFFFD!");
}

TEST(Utf8, SequenceLengthTellsTruncatedFromMalformed)
{
    EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x93\xA1"), 4);
    EXPECT_EQ(Utf8SequenceLength("\xF0\x9F"), -2);
    EXPECT_EQ(Utf8SequenceLength("\xF0\x41"), 0);
    EXPECT_EQ(Utf8SequenceLength("z"), 1);
}

TEST(Utf16, RoundTripsAndReplacesLoneSurrogates)
{
    const std::u16string text = u"DL1\u00e4 \u20ac \U0001F4E1";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Latin1, EveryByteIsItsCodePointAndBack)
{
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(char(i));
    const std::u16string wide = Latin1ToUtf16(all);
    ASSERT_EQ(wide.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(wide[size_t(i)], char16_t(i));
    EXPECT_EQ(Utf16ToLatin1(wide), all);
    EXPECT_EQ(Utf16ToLatin1(u"\u20ac"), "?");
}
