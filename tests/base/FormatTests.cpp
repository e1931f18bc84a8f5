#include <gtest/gtest.h>

#include "base/Format.h"

using kv::FormatText;

TEST(Format, EachSpecifierOfTheStringTable)
{
    EXPECT_EQ(FormatText(u"%s connected", u"GB7TST"), u"GB7TST connected");
    EXPECT_EQ(FormatText(u"%d|%d", -42, 7), u"-42|7");
    EXPECT_EQ(FormatText(u"%u", 4000000000u), u"4000000000");
    EXPECT_EQ(FormatText(u"%lu", 12002ul), u"12002");
    EXPECT_EQ(FormatText(u"%llu", 18446744073709551615ull), u"18446744073709551615");
    EXPECT_EQ(FormatText(u"%016llX", 0xABCDEFull), u"0000000000ABCDEF");
    EXPECT_EQ(FormatText(u"%016llX", 0xFEDCBA9876543210ull), u"FEDCBA9876543210");
    EXPECT_EQ(FormatText(u"%.1f", 14025.04), u"14025.0");
    EXPECT_EQ(FormatText(u"%.1f", 14025.06), u"14025.1");
    EXPECT_EQ(FormatText(u"%.1f", -0.26), u"-0.3");
    EXPECT_EQ(FormatText(u"%04u-%02u-%02u %02u:%02u:%02uZ", 2026u, 12u, 8u, 9u, 5u, 0u), u"2026-12-08 09:05:00Z");
    EXPECT_EQ(FormatText(u"%02d", -3), u"-3");
    EXPECT_EQ(FormatText(u"%02d", 3), u"03");
    EXPECT_EQ(FormatText(u"100%% sure"), u"100% sure");
}

TEST(Format, WidthsAndFlags)
{
    EXPECT_EQ(FormatText(u"[%-16s]", u"DL1XYZ"), u"[DL1XYZ          ]");
    EXPECT_EQ(FormatText(u"[%8s]", u"abc"), u"[     abc]");
    EXPECT_EQ(FormatText(u"[%-5d]", 42), u"[42   ]");
    EXPECT_EQ(FormatText(u"[%8.1f]", 7025.0), u"[  7025.0]");
    EXPECT_EQ(FormatText(u"[%.3s]", u"abcdef"), u"[abc]");
    // A text longer than its width is never cut.
    EXPECT_EQ(FormatText(u"[%-4s]", u"LONGER"), u"[LONGER]");
    EXPECT_EQ(FormatText("%-9s|%5.1f", "N0TST:", 3.25), "N0TST:   |  3.2");
}

TEST(Format, StringsOutsideLatin1AndBothWidths)
{
    EXPECT_EQ(FormatText(u"Name: %s", u"\u0416\u0443\u043a \U0001F4E1"), u"Name: \u0416\u0443\u043a \U0001F4E1");
    // A narrow argument is UTF-8, a wide one is converted for a narrow format.
    EXPECT_EQ(FormatText(u"%s", "K\xC3\xB6ln"), u"K\u00f6ln");
    EXPECT_EQ(FormatText("%s", u"K\u00f6ln"), "K\xC3\xB6ln");
}

TEST(Format, MissingOrMismatchedArgumentsNeverCrash)
{
    EXPECT_EQ(FormatText(u"%s and %s", u"one"), u"one and ");
    EXPECT_EQ(FormatText(u"%d%%%lu%s"), u"%");
    EXPECT_EQ(FormatText(u"%s", 42), u"42");
    EXPECT_EQ(FormatText(u"%d", u"text"), u"text");
    EXPECT_EQ(FormatText(u"trailing %"), u"trailing ");
    EXPECT_EQ(FormatText(u"%q stays out"), u" stays out");
}
