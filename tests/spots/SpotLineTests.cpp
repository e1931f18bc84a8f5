#include <gtest/gtest.h>

#include <cmath>

#include "spots/SpotLine.h"

using namespace kv;

namespace {

SpotFields DxDe(const std::string& line)
{
    SpotFields fields;
    EXPECT_TRUE(ParseDxDeSpotFields(line, fields)) << line;
    return fields;
}

SentSpotKey Key(const std::string& line)
{
    SentSpotKey key;
    EXPECT_TRUE(ParseDxDeLine(line, key)) << line;
    return key;
}

std::string ListingComment(const std::string& line, bool tailToken)
{
    SpotFields fields;
    EXPECT_TRUE(ParseShowDxSpotFields(line, tailToken, fields)) << line;
    return fields.comment;
}

bool IsListing(const std::string& line)
{
    SpotFields fields;
    return ParseShowDxSpotFields(line, false, fields);
}

// Bytes of a real DXSpider node: two BELs between the time and the line end.
const std::string kBellLine =
    "DX de N0TST:     14025.0  DL1XYZ       test                           1928Z\x07\x07\r\n";

} // namespace

TEST(DxDeLineForFilters, FieldsAndCommentAsReceived)
{
    const SpotFields f = DxDe("  dx DE K8RQT-#: 14025 N4XJZ CQ 1234Z");
    EXPECT_EQ(f.frequency, 14025);
    EXPECT_EQ(f.dxCall, "N4XJZ");
    EXPECT_EQ(f.spotter, "K8RQT-#");
    EXPECT_EQ(f.comment, "CQ");

    EXPECT_EQ(DxDe("DX de K8RQT: 14025.0 N4XJZ CQ  TEST 1234Z FN20").comment, "CQ  TEST");
    EXPECT_EQ(DxDe("DX de K8RQT: 14025.0 N4XJZ CQ TEST").comment, "CQ TEST");
    EXPECT_EQ(DxDe("DX de K8RQT: 14025.0 N4XJZ 1234Z").comment, "");
    EXPECT_EQ(DxDe("DX de K8RQT: 14025.0 N4XJZ").comment, "");
    EXPECT_EQ(DxDe("DX de : 0 N4XJZ").spotter, "");
    EXPECT_EQ(DxDe("DX de K8RQT: 14025.04 N4XJZ").frequency, 14025 + 0.04);
}

TEST(DxDeLineForFilters, WhatIsNoSpot)
{
    SpotFields f;
    EXPECT_FALSE(ParseDxDeSpotFields("DX de K8RQT 14025.0 N4XJZ CQ", f)); // no colon
    EXPECT_FALSE(ParseDxDeSpotFields("DX de K8RQT: 14025.0", f));        // one token
    EXPECT_FALSE(ParseDxDeSpotFields("DX de K8RQT: 14,025 N4XJZ", f));   // no decimal
    EXPECT_FALSE(ParseDxDeSpotFields("DX de ", f));
    EXPECT_FALSE(ParseDxDeSpotFields("DXde K8RQT: 14025 N4XJZ", f));
    EXPECT_FALSE(ParseDxDeSpotFields("D\xD8 de K8RQT: 14025 N4XJZ", f));
    EXPECT_FALSE(ParseDxDeSpotFields("", f));
}

TEST(DxDeLineKey, KeyAndNormalisedComment)
{
    SentSpotKey k = Key("DX de K8RQT-#: 14025.0 N4XJZ CW 12 dB 1234Z");
    EXPECT_EQ(k.key, "K8RQT-#|14025.0|N4XJZ|1234");
    EXPECT_EQ(k.comment, "");

    k = Key("DX de K8RQT: 14025.0 n4xjz cq  test 1234Z FN20");
    EXPECT_EQ(k.key, "K8RQT|14025.0|N4XJZ|1234");
    EXPECT_EQ(k.comment, "CQ TEST");

    EXPECT_EQ(Key("DX de K8RQT: 14025.0 N4XJZ CQ FN42 X 1234Z").comment, "CQ");
    EXPECT_EQ(Key("DX de K8RQT: 14025.0 N4XJZ fn42 1234Z").comment, "FN42");
    EXPECT_EQ(Key("DX de K8RQT: 14025.0 N4XJZ FN42 1234Z").comment, "");
    EXPECT_EQ(Key("DX de K8RQT: 14025.0 N4XJZ ? 1234z").comment, "");
}

TEST(DxDeLineKey, FrequencyIsCutToOneDecimal)
{
    for (const char* f : {"14025", "14025.", "14025.0", "14025.04", "14025.05"})
        EXPECT_EQ(Key(std::string("DX de K8RQT: ") + f + " N4XJZ 1234Z").key, "K8RQT|14025.0|N4XJZ|1234") << f;
    SentSpotKey k;
    EXPECT_FALSE(ParseDxDeLine("DX de K8RQT: .5 N4XJZ 1234Z", k));
}

TEST(DxDeLineKey, NodeSuffixesOfTheSpotter)
{
    EXPECT_EQ(Key("DX de K8RQT-12: 14025.0 N4XJZ 1234Z").key, Key("DX de K8RQT: 14025.0 N4XJZ 1234Z").key);
    EXPECT_EQ(Key("DX de K8RQT-2-@: 14025.0 N4XJZ 1234Z").key, "K8RQT|14025.0|N4XJZ|1234");
    EXPECT_EQ(Key("DX de -12: 14025.0 N4XJZ 1234Z").key, "-12|14025.0|N4XJZ|1234");
    EXPECT_EQ(Key("DX de k8rqt-@: 14025.0 N4XJZ 1234Z").key, "K8RQT|14025.0|N4XJZ|1234");
}

TEST(DxDeLineKey, WhatHasNoKey)
{
    SentSpotKey k;
    EXPECT_FALSE(ParseDxDeLine("dx DE K8RQT: 14025 N4XJZ CQ 1234Z", k)); // letter case of the head
    EXPECT_FALSE(ParseDxDeLine("DX de K8RQT: 14025.0 N4XJZ", k));         // fewer than 3 tokens
    EXPECT_FALSE(ParseDxDeLine("DX de K8RQT: 14025.0 N4XJZ CQ TEST", k)); // no time
    EXPECT_FALSE(ParseDxDeLine("DX de : 14025.0 N4XJZ CQ 1234Z", k));     // no spotter
}

// Real nodes end spot lines with BEL before CR LF; the time, key and comment must survive it, on the raw
// bytes and on the display text where BEL is shown as a bullet.
TEST(BellRingingSpotLines, KeepTimeKeyAndComment)
{
    const SentSpotKey k = Key(kBellLine);
    EXPECT_EQ(k.key, "N0TST|14025.0|DL1XYZ|1928");
    EXPECT_EQ(k.comment, "TEST");
    EXPECT_EQ(DxDe(kBellLine).comment, "test");

    const std::string shown = "DX de N0TST:     14025.0  DL1XYZ       test   1928Z\xE2\x80\xA2\xE2\x80\xA2";
    EXPECT_EQ(DxDe(shown).comment, "test");
    EXPECT_EQ(Key(shown).key, "N0TST|14025.0|DL1XYZ|1928");

    EXPECT_EQ(ListingComment("  14025.0 DL1XYZ       8-Dec-2026 1928Z test      <N0TST>\x07\x07\r\n", false), "test");
}

TEST(ShowDxListing, FieldsAndTailToken)
{
    SpotFields f;
    ASSERT_TRUE(ParseShowDxSpotFields("  14025.0 N4XJZ/ 7-Dec-2026 1234Z CQ TEST   DL <K8RQT>", false, f));
    EXPECT_EQ(f.frequency, 14025.0);
    EXPECT_EQ(f.dxCall, "N4XJZ");
    EXPECT_EQ(f.spotter, "K8RQT");
    EXPECT_EQ(f.comment, "CQ TEST   DL");

    EXPECT_EQ(ListingComment("14025.0 N4XJZ 7-Dec-2026 1234Z CQ TEST   DL <K8RQT>", true), "CQ TEST");
    EXPECT_EQ(ListingComment("14025.0 N4XJZ 7-Dec-2026 1234Z CQ TEST DL <K8RQT>", true), "CQ TEST DL");
    EXPECT_EQ(ListingComment("14025.0 N4XJZ 7-Dec-2026 1234Z CQ TEST DL <K8RQT>", false), "CQ TEST DL");
    EXPECT_EQ(ListingComment("14025.0 N4XJZ 7-Dec-2026 1234Z CQ TEST+DL <K8RQT>", true), "CQ TEST");
    EXPECT_EQ(ListingComment("14025.0 N4XJZ 7-Dec-2026 1234Z CQ TEST+dl <K8RQT>", true), "CQ TEST+dl");
    EXPECT_EQ(ListingComment("14025.0 N4XJZ 17-Dec-2026 1234Z VE3/ON <K8RQT>", true), "");
    EXPECT_EQ(ListingComment("14025.0 N4XJZ 7-Dec-2026 1234Z  <K8RQT>", true), "");
}

TEST(ShowDxListing, WhatIsNoSpot)
{
    EXPECT_FALSE(IsListing("14025.0 N4XJZ 7-Dec-2026 1234Z CQ <K8 RQT>"));
    EXPECT_FALSE(IsListing("14025.0 N4XJZ 7-Dec-2026 1234Z CQ <>"));
    EXPECT_FALSE(IsListing("0 N4XJZ 7-Dec-2026 1234Z CQ <K8RQT>"));
    EXPECT_FALSE(IsListing("14025.0 / 7-Dec-2026 1234Z CQ <K8RQT>"));
    EXPECT_FALSE(IsListing("14025.0 N4XJZ 7-De1-2026 1234Z CQ <K8RQT>"));
    EXPECT_FALSE(IsListing("14025.0 N4XJZ 7-D\xE9""c-2026 1234Z CQ <K8RQT>"));
    EXPECT_FALSE(IsListing("14025.0 N4XJZ 7-Dec-26 1234Z CQ <K8RQT>"));
    EXPECT_FALSE(IsListing("14025.0 N4XJZ 7-Dec-2026 12:34 CQ <K8RQT>"));
    EXPECT_FALSE(IsListing("14025.0 N4XJZ 7-Dec-2026 1234Z CQ K8RQT"));
    EXPECT_FALSE(IsListing("14025.0 N4XJZ 7-Dec-2026"));

    SpotFields f;
    EXPECT_TRUE(ParseSpotFields("14025.0 N4XJZ 7-Dec-2026 1234Z CQ <K8RQT>", false, f));
    EXPECT_EQ(f.spotter, "K8RQT");
    EXPECT_TRUE(ParseSpotFields("DX de K8RQT: 14025.0 N4XJZ", false, f));
    EXPECT_FALSE(ParseSpotFields("K8RQT de GB7TST  8-Dec-2026 1928Z dxspider >", false, f));
}

TEST(SpotLineTokens, DecimalsTimesAndTailTokens)
{
    double v = -1;
    EXPECT_TRUE(ParseDecimal("14025.", v));
    EXPECT_EQ(v, 14025);
    EXPECT_TRUE(ParseDecimal(".5", v));
    EXPECT_EQ(v, 0.5);
    for (const char* bad : {".", "", "1.2.3", "-1", "1 2", "1,2", "+3"}) EXPECT_FALSE(ParseDecimal(bad, v)) << bad;

    EXPECT_TRUE(IsHhmmZTime("9999Z"));
    EXPECT_TRUE(IsHhmmZTime("0000z"));
    EXPECT_FALSE(IsHhmmZTime("123Z"));
    EXPECT_FALSE(IsHhmmZTime("1234ZZ"));

    for (const char* good : {"DL", "W1", "VE3/ON", "ABCD/x"}) EXPECT_TRUE(IsCommentTailToken(good)) << good;
    for (const char* bad : {"dl", "ABCDE", "K1/ABC", "", "K1/", "/ON", "K\xC9/ON"})
        EXPECT_FALSE(IsCommentTailToken(bad)) << bad;

    std::vector<std::string> tokens;
    std::vector<unsigned> starts;
    SplitOnBlanks(" a\tbc\r\n\x07 d", tokens, starts);
    EXPECT_EQ(tokens, (std::vector<std::string>{"a", "bc", "d"}));
    EXPECT_EQ(starts, (std::vector<unsigned>{1, 3, 9}));
}

TEST(NormalizeSpotText, CaseBlanksAndEncodings)
{
    EXPECT_EQ(NormalizeSpotText("  cq   dx  "), "CQ DX");
    EXPECT_EQ(NormalizeSpotText("caf\xE9"), "CAFE");                  // Latin-1, not UTF-8
    EXPECT_EQ(NormalizeSpotText("caf\xC3\xA9 \xC3\x9F"), "CAFE SS");  // UTF-8
    EXPECT_EQ(NormalizeSpotText("a\xC3"), "AA"); // a truncated sequence makes the whole text Latin-1
    EXPECT_EQ(NormalizeSpotText("\t\r\n"), "");
    EXPECT_EQ(NormalizeSpotText("up\x07\x07 2"), "UP 2");
}
