#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "connections/DxSummitAnswer.h"
#include "connections/DxSummitSpots.h"
#include "spots/SpotLine.h"

using namespace kv;

namespace {

DxSummitSpot Spot(std::string de, std::string dx, double khz, std::string info = "CQ",
                  std::string time = "2026-12-07T12:34:56")
{
    DxSummitSpot spot;
    spot.id = 1;
    spot.deCall = std::move(de);
    spot.dxCall = std::move(dx);
    spot.frequency = khz;
    spot.info = std::move(info);
    spot.time = std::move(time);
    return spot;
}

SpotOrigin Origin(const DxSummitSpot& spot)
{
    DxSummitSpot normalised;
    return ClassifyDxSummitSpot(spot, normalised);
}

void ExpectOneSafeLine(const std::string& line)
{
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\n');
    EXPECT_LE(line.size(), kMaxSpotLineLength);
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << "control byte at " << i;
    }
}

} // namespace

TEST(WebSpotCalls, NormalisedAndChecked)
{
    EXPECT_EQ(NormaliseWebSpotCall("k8rqt-2-@", true), "K8RQT-2");
    EXPECT_EQ(NormaliseWebSpotCall("k8-rq t-@", true), "K8RQT");
    EXPECT_EQ(NormaliseWebSpotCall("n4 xjz\t", false), "N4XJZ");
    EXPECT_EQ(NormaliseWebSpotCall("n4xjz-12", false), "N4XJZ"); // a station number goes from the DX call
    EXPECT_EQ(NormaliseWebSpotCall("oh2/\xC3\x89" "a1.b", false), "OH2/EA1B");
    EXPECT_EQ(FindSsidDash("K8RQT-12"), 5u);
    EXPECT_FALSE(FindSsidDash("K8RQT-").has_value());
    EXPECT_FALSE(FindSsidDash("K8RQT-1A").has_value());
    EXPECT_FALSE(FindSsidDash("K8RQT").has_value());

    EXPECT_TRUE(IsValidWebSpotCall("DLABC", true)); // a spotter needs no digit
    EXPECT_TRUE(IsValidWebSpotCall("K8RQT-2", true));
    EXPECT_FALSE(IsValidWebSpotCall("K", true));
    EXPECT_FALSE(IsValidWebSpotCall("-2", true));
    EXPECT_FALSE(IsValidWebSpotCall("DLABC", false)); // a DX call does
    EXPECT_FALSE(IsValidWebSpotCall("XN0CALL1", false));
    EXPECT_FALSE(IsValidWebSpotCall("N4XJZ/", false));
    EXPECT_FALSE(IsValidWebSpotCall("1234", false));
    EXPECT_TRUE(IsValidWebSpotCall("ABCDEFGHIJKL1", false));
    EXPECT_FALSE(IsValidWebSpotCall("ABCDEFGHIJKLM1", false)); // 14 characters
}

TEST(WebSpotCalls, Classification)
{
    EXPECT_EQ(Origin(Spot("K8RQT", "N4XJZ", 14025)), SpotOrigin::RelayedSpot);
    EXPECT_EQ(Origin(Spot("@", "N4XJZ", 14025)), SpotOrigin::RelayedSpot);
    EXPECT_EQ(Origin(Spot("K-@", "N4XJZ", 14025)), SpotOrigin::InvalidWebSpot); // one letter before the mark
    EXPECT_EQ(Origin(Spot("K8RQT-@", "N4XJZ", 0)), SpotOrigin::InvalidWebSpot);
    EXPECT_EQ(Origin(Spot("K8RQT-@", "DL1", 14025)), SpotOrigin::InvalidWebSpot);  // two letters and a digit
    EXPECT_EQ(Origin(Spot("K8RQT-@", "D1L", 14025)), SpotOrigin::ValidWebSpot);
    EXPECT_EQ(Origin(Spot("K8RQT-@", "N0CALL", 14025)), SpotOrigin::InvalidWebSpot);
    DxSummitSpot normalised;
    ASSERT_EQ(ClassifyDxSummitSpot(Spot("k8rqt-2-@", "n4 xjz", 14025, "hi"), normalised), SpotOrigin::ValidWebSpot);
    EXPECT_EQ(normalised.deCall, "K8RQT-2-@");
    EXPECT_EQ(normalised.dxCall, "N4XJZ");
    EXPECT_EQ(normalised.info, "hi");
    // Frequencies that are no frequencies make a web spot invalid.
    for (double bad : {-7025.0, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                       1e9, 1e300})
        EXPECT_EQ(Origin(Spot("K8RQT-@", "N4XJZ", bad)), SpotOrigin::InvalidWebSpot) << bad;
}

TEST(WebSpotLines, GoldenLinesParseBackToTheSameSpot)
{
    const auto outcome = TurnSpotIntoLine(Spot("k8rqt-2-@", "n4 xjz", 14025.25, "  CQ \t test  "), false);
    ASSERT_EQ(outcome.kind, SpotLineOutcome::Kind::Line);
    EXPECT_EQ(outcome.line, "DX de K8RQT-2-@:     14025.3  N4XJZ        CQ test                        1234Z\n");

    SpotFields fields;
    ASSERT_TRUE(ParseDxDeSpotFields(outcome.line, fields));
    EXPECT_EQ(fields.spotter, "K8RQT-2-@");
    EXPECT_DOUBLE_EQ(fields.frequency, 14025.3);
    EXPECT_EQ(fields.dxCall, "N4XJZ");
    EXPECT_EQ(fields.comment, "CQ test");
    SentSpotKey key;
    ASSERT_TRUE(ParseDxDeLine(outcome.line, key));
    EXPECT_EQ(key.key, "K8RQT|14025.3|N4XJZ|1234");
    EXPECT_EQ(key.comment, "CQ TEST");

    // Widths are minimums: longer fields push the rest along and are not cut.
    const std::string relayed = FormatDxSummitSpotLine("DL1ABC-@LONGCALL", "VERYLONGDXCALL1", "", Spot("", "", 7000));
    EXPECT_EQ(relayed, "DX de DL1ABC-@LONGCALL:     7000.0  VERYLONGDXCALL1                                1234Z\n");
    ASSERT_TRUE(ParseDxDeLine(relayed, key));
    EXPECT_EQ(key.key, "DL1ABC-@LONGCALL|7000.0|VERYLONGDXCALL1|1234");
    EXPECT_EQ(key.comment, "");
}

TEST(WebSpotLines, FrequencyRoundingAndTimes)
{
    EXPECT_EQ(FormatSpotFrequency(14025.25), "14025.3");
    EXPECT_EQ(FormatSpotFrequency(1840.04), "1840.0");
    EXPECT_EQ(FormatSpotFrequency(3500.05), "3500.1");
    EXPECT_EQ(FormatSpotFrequency(7000), "7000.0");
    EXPECT_EQ(FormatSpotFrequency(0.04), "0.0");
    EXPECT_EQ(FormatSpotFrequency(-0.25), "-0.3"); // not "0.-3"
    EXPECT_EQ(FormatSpotFrequency(std::numeric_limits<double>::infinity()), "inf");
    const auto timeOf = [](std::string time) {
        const std::string line = FormatDxSummitSpotLine("A", "B", "", Spot("", "", 1, "", std::move(time)));
        return line.substr(line.size() - 6, 5);
    };
    EXPECT_EQ(timeOf("2026-12-07T23:59:00"), "2359Z");
    EXPECT_EQ(timeOf("2026-12-07T23:59"), "2359Z");
    EXPECT_EQ(timeOf("2026-12-07T23:5"), "0000Z");   // fewer than 16 bytes
    EXPECT_EQ(timeOf("2026-12-07Tab:59"), "0000Z");  // no digits at the hour
    EXPECT_EQ(timeOf(""), "0000Z");
}

TEST(WebSpotLines, CommentsOfWebAndRelayedSpots)
{
    const std::string forty = "CQ    CQ   de   K8RQT   pse   K   73   gl   es   gd   dx";
    const auto web = TurnSpotIntoLine(Spot("K8RQT-@", "N4XJZ", 14025, forty), false);
    SpotFields fields;
    ASSERT_TRUE(ParseDxDeSpotFields(web.line, fields));
    EXPECT_EQ(fields.comment, "CQ CQ de K8RQT pse K 73 gl es"); // collapsed, cut to 30 and trimmed
    const auto transliterated = TurnSpotIntoLine(Spot("K8RQT-@", "N4XJZ", 14025, "caf\xC3\xA9 \xE2\x82\xAC"), false);
    EXPECT_NE(transliterated.line.find(" cafe . "), std::string::npos);

    const auto relayed = TurnSpotIntoLine(Spot("K8RQT", "N4XJZ", 14025, forty), true);
    ASSERT_EQ(relayed.kind, SpotLineOutcome::Kind::Line);
    ASSERT_TRUE(ParseDxDeSpotFields(relayed.line, fields));
    EXPECT_EQ(fields.comment, forty); // printed whole
    EXPECT_EQ(TurnSpotIntoLine(Spot("K8RQT", "N4XJZ", 14025), false).kind, SpotLineOutcome::Kind::Dropped);
    EXPECT_EQ(TurnSpotIntoLine(Spot("", "N4XJZ", 14025), true).kind, SpotLineOutcome::Kind::Dropped);
    EXPECT_EQ(TurnSpotIntoLine(Spot("K8RQT", "", 14025), true).kind, SpotLineOutcome::Kind::Dropped);

    const auto invalid = TurnSpotIntoLine(Spot("k8rqt-@", "dl1", 14025, "x"), true);
    ASSERT_EQ(invalid.kind, SpotLineOutcome::Kind::InvalidLine);
    EXPECT_EQ(invalid.line.substr(0, 20), "DX de k8rqt-@:      "); // as received, not normalised
}

TEST(WebSpotLines, RelayedFrequenciesAreChecked)
{
    for (double bad : {0.0, -14025.0, 1e9, 1e300, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(TurnSpotIntoLine(Spot("K8RQT", "N4XJZ", bad), true).kind, SpotLineOutcome::Kind::Dropped) << bad;
    EXPECT_EQ(TurnSpotIntoLine(Spot("K8RQT", "N4XJZ", 999999999.9), true).kind, SpotLineOutcome::Kind::Line);
}

TEST(WebSpotLines, NoForgedLines)
{
    // A comment or call that carries a line end must not start a line of its own.
    const std::string forged = "x\r\nDX de FAKE:  14000.0  FAKE1  forged 0000Z\n\x01\x7F";
    for (const auto& outcome : {TurnSpotIntoLine(Spot("K8RQT\nDX", "N4XJZ\r", 14025, forged), true),
                                TurnSpotIntoLine(Spot("K8RQT-@", "N4XJZ", 14025, forged), false),
                                TurnSpotIntoLine(Spot(std::string("K8\0RQT-@", 8), "DL1", 14025, forged), false)}) {
        ASSERT_NE(outcome.kind, SpotLineOutcome::Kind::Dropped);
        ExpectOneSafeLine(outcome.line);
    }
    ExpectOneSafeLine(FormatDxSummitSpotLine(std::string("A\0B", 3), "\t", "\x1B[2J", Spot("", "", 1)));
}

TEST(WebSpotLines, AnOverlongLineKeepsItsLineFeed)
{
    for (size_t extra : {0, 1, 2, 3}) {
        // Multi-byte characters straddle the cut at every offset.
        std::string comment(900 + extra, 'c');
        for (int i = 0; i < 60; ++i) comment += "\xE2\x82\xAC";
        const std::string line = FormatDxSummitSpotLine("K8RQT", "N4XJZ", comment, Spot("", "", 14025));
        ExpectOneSafeLine(line);
        EXPECT_GE(line.size(), kMaxSpotLineLength - 3);
        const std::string content = line.substr(0, line.size() - 1);
        EXPECT_EQ(content.find('\n'), std::string::npos);
        // The cut never splits a character: what is left is whole three-byte sequences.
        const size_t euroStart = content.find('\xE2');
        EXPECT_EQ((content.size() - euroStart) % 3, 0u) << extra;
    }
}

TEST(TypedSpots, ParsedInBothOrders)
{
    std::string frequency, call, comment;
    ASSERT_TRUE(ParseSpotCommand("  dx 14025.0 n4xjz  CQ  up 2 \t", frequency, call, comment));
    EXPECT_EQ(frequency, "14025.0");
    EXPECT_EQ(call, "N4XJZ");
    EXPECT_EQ(comment, "CQ  up 2");
    ASSERT_TRUE(ParseSpotCommand("Dx\tn4xjz/p 7025", frequency, call, comment));
    EXPECT_EQ(frequency, "7025");
    EXPECT_EQ(call, "N4XJZ/P");
    EXPECT_EQ(comment, "");
    for (const char* bad : {"DX 14025", "DX", "", "SH/DX 14025 N4XJZ", "DX N4XJZ K8RQT",
                            "DX 14025.0.1 N4XJZ", "DX 14025 N4XJZ!", "DX 14025 --"})
        EXPECT_FALSE(ParseSpotCommand(bad, frequency, call, comment)) << bad;
    EXPECT_TRUE(IsDecimalText("14025."));
    EXPECT_FALSE(IsDecimalText("."));
    EXPECT_TRUE(IsCallText("-1"));
    EXPECT_FALSE(IsCallText("/-"));
    EXPECT_EQ(TrimCopy("\t\r\n x \n"), "x");
}

TEST(TypedSpots, ThePostedObject)
{
    EXPECT_EQ(BuildDxSummitSpotJson("k8rqt", "n4xjz", "14025.0", "CQ"),
              R"({"de_call": "K8RQT", "dx_call": "N4XJZ", "frequency": "14025.0", "info": "CQ"})");
    const std::string json = BuildDxSummitSpotJson("K8RQT", "N4XJZ", "7025", "say \"hi\" \\ \x01 \xC3\xA9");
    EXPECT_EQ(json, R"({"de_call": "K8RQT", "dx_call": "N4XJZ", "frequency": "7025", "info": "say \"hi\" \\ \u0001 )"
                    "\xC3\xA9\"}");
    // The service reads it back as one spot with the same texts.
    std::vector<DxSummitSpot> spots;
    ASSERT_TRUE(ParseDxSummitSpots("[" + json + "]", spots));
    ASSERT_EQ(spots.size(), 1u);
    EXPECT_EQ(spots[0].info, "say \"hi\" \\ \x01 \xC3\xA9");
    EXPECT_EQ(spots[0].frequency, 7025.0);
}
