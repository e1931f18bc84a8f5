#include <gtest/gtest.h>

#include "connections/CommandDialect.h"

using namespace kv;

namespace {

ShowCommand Show(ShowCommandKind kind, std::string count, std::string band, std::string call, std::string low = {},
                 std::string high = {})
{
    ShowCommand c;
    c.Kind = kind;
    c.Count = std::move(count);
    c.Band = std::move(band);
    c.Call = std::move(call);
    c.FrequencyLow = std::move(low);
    c.FrequencyHigh = std::move(high);
    return c;
}

struct GoldenRow {
    ShowCommand command;
    // Dialects 1 to 8; "" where the dialect has no form.
    const char* forms[8];
};

} // namespace

TEST(CommandDialect, GoldenTableOfEveryKindInEveryDialect)
{
    const GoldenRow golden[] = {
        {Show(ShowCount, "25", "", ""),
         {"SH/DX 25", "SH/DX/25", "SH/DX/25", "SH/DX 25", "SH/DX/25", "SH/DX/25", "SH/DX/25", "SH DX 25"}},
        {Show(ShowBand, "", "20", ""),
         {"SH/DX on 20m", "", "SH/DX 20", "SH/DX Band=20", "SH/DX on 20m", "SH/DX 20", "SH/DX 20",
          "SH DX BAND 20M"}},
        {Show(ShowBand, "", "10", ""),
         {"SH/DX on 10m", "", "SH/DX 10", "SH/DX Band=10", "SH/DX on 10m", "SH/DX 28", "SH/DX 28",
          "SH DX BAND 10M"}},
        {Show(ShowBand, "", "30", ""),
         {"SH/DX on 30m", "", "SH/DX 30", "SH/DX Band=30", "SH/DX on 30m", "", "SH/DX 30", "SH DX BAND 30M"}},
        {Show(ShowCountBand, "5", "20", ""),
         {"SH/DX 5 on 20m", "SH/DX/5 20", "SH/DX/5 20", "SH/DX/5 Band=20", "SH/DX/5 20", "SH/DX/5 20",
          "SH/DX/5 20", "SH DX 5 BAND 20M"}},
        {Show(ShowCountBand, "5", "10", ""),
         {"SH/DX 5 on 10m", "SH/DX/5 10", "SH/DX/5 10", "SH/DX/5 Band=10", "SH/DX/5 10", "SH/DX/5 28",
          "SH/DX/5 28", "SH DX 5 BAND 10M"}},
        {Show(ShowCountBand, "5", "30", ""),
         {"SH/DX 5 on 30m", "SH/DX/5 30", "SH/DX/5 30", "SH/DX/5 Band=30", "SH/DX/5 30", "", "SH/DX/5 30",
          "SH DX 5 BAND 30M"}},
        {Show(ShowSpotter, "", "", "K9QXV"),
         {"SH/DX by K9QXV", "", "SH/DX where spotter = 'K9QXV'", "SH/DX Spotter=K9QXV", "SH/DX by K9QXV", "", "",
          ""}},
        {Show(ShowFrequencyRange, "", "", "", "14000", "14100.5"),
         {"SH/DX on 14000/14100.5", "", "SH/DX 14000-14100.5", "SH/DX Freq>=14000 and Freq<=14100.5",
          "SH/DX 14000-14100.5", "", "SH/DX 14000-14100.5", ""}},
        {Show(ShowCall, "", "", "EA8"),
         {"SH/DX EA8", "", "SH/DX EA8", "SH/DX Call=EA8*", "SH/DX EA8", "", "SH/DX EA8", "SH DX EA8"}},
        {Show(ShowWwv, "3", "", ""), {"", "", "", "", "", "SH/WWV/3", "SH/WWV/3", ""}},
        {Show(ShowWcy, "3", "", ""), {"SH/WCY 3", "", "", "", "", "SH/WCY/3", "SH/WCY/3", ""}},
    };
    for (const auto& row : golden) {
        for (int dialect = 1; dialect <= 8; ++dialect)
            EXPECT_EQ(FormatShowCommand(row.command, CommandDialect(dialect)), row.forms[dialect - 1])
                << "kind " << row.command.Kind << ", dialect " << dialect;
        EXPECT_EQ(FormatShowCommand(row.command, NoDialect), "");
        EXPECT_EQ(FormatShowCommand(row.command, CommandDialect(9)), "");
        EXPECT_EQ(FormatShowCommand(row.command, CommandDialect(-1)), "");
    }
    EXPECT_EQ(FormatShowCommand(ShowCommand{}, DialectDXSpider), "");
}

TEST(CommandDialect, DialectOfEverySoftware)
{
    const std::pair<ClusterSoftwareId, CommandDialect> map[] = {
        {Unknown, NoDialect},        {DXSpider, DialectDXSpider},     {ARCluster, DialectARCluster},
        {CCCluster, DialectCCCluster}, {DxNet, DialectDxNet},         {GoCluster, DialectGoCluster},
        {CwSkimmer, NoDialect},      {ARCluster4, DialectARCluster4}, {ARCluster6, DialectARCluster6},
        {CLX, DialectCLX},           {PyCluster, DialectDXSpider},    {ClusterSoftwareId(11), NoDialect},
    };
    for (const auto& [software, dialect] : map) EXPECT_EQ(GetCommandDialect(software), dialect) << software;
}

TEST(CommandDialect, ParsingEveryKindAndItsLimits)
{
    EXPECT_EQ(ParseShowCommand("SH/DX 25"), Show(ShowCount, "25", "", ""));
    EXPECT_EQ(ParseShowCommand("sh/dx/9999"), Show(ShowCount, "9999", "", ""));
    EXPECT_EQ(ParseShowCommand("SH/DX ON 20M"), Show(ShowBand, "", "20", ""));
    EXPECT_EQ(ParseShowCommand("  show   dx  on 160m "), Show(ShowBand, "", "160", ""));
    EXPECT_EQ(ParseShowCommand("SH/DX/5 20"), Show(ShowCountBand, "5", "20", ""));
    EXPECT_EQ(ParseShowCommand("SH/DX 5 ON 20M"), Show(ShowCountBand, "5", "20", ""));
    EXPECT_EQ(ParseShowCommand("sh/dx by k9qxv-#"), Show(ShowSpotter, "", "", "K9QXV-#"));
    EXPECT_EQ(ParseShowCommand("SH/DX 14000-14100"), Show(ShowFrequencyRange, "", "", "", "14000", "14100"));
    EXPECT_EQ(ParseShowCommand("SH/DX ON 7000.5/7040.25"), Show(ShowFrequencyRange, "", "", "", "7000.5", "7040.25"));
    EXPECT_EQ(ParseShowCommand("SH/DX EA8"), Show(ShowCall, "", "", "EA8"));
    EXPECT_EQ(ParseShowCommand("SH/DX K9QXV/P"), Show(ShowCall, "", "", "K9QXV/P"));
    EXPECT_EQ(ParseShowCommand("SH/WWV/3"), Show(ShowWwv, "3", "", ""));
    EXPECT_EQ(ParseShowCommand("SHOW/WCY 5"), Show(ShowWcy, "5", "", ""));
    EXPECT_EQ(ParseShowCommand("SHO WCY/5"), Show(ShowWcy, "5", "", ""));
    EXPECT_EQ(ParseShowCommand("sh\twwv\t7"), Show(ShowWwv, "7", "", ""));

    for (const char* line :
         {"SH/DX", "SH/WWV", "SH/WCY", "SH/DX ", "SHOWDX 5", "SHDX 5", "S/DX 5", "SH/DXCC 5", "SH/DX/0", "SH/DX/10000",
          "SH/DX/", "SH/DX 0", "SH/DX 10000", "SH/DX 0123", "SH/DX ON", "SH/DX ON 20", "SH/DX ON 25M", "SH/DX 20M 5",
          "SH/DX/5 20M", "SH/DX/5 21", "SH/DX/5 20 X", "SH/DX INFO", "SH/DX ALL", "SH/DX ON X", "SH/DX ABCD",
          "SH/DX ABCDEFGH1", "SH/DX K9*", "SH/DX BY K9", "SH/DX BY K9QXVK9QXVK9QXVK9", "SH/DX BY ABCD", "SH/DX BY 12345",
          "SH/DX 5 ON 20", "SH/DX 0 ON 20M", "SH/DX 123456789-2", "SH/DX 1.-2", "SH/DX ON 1-2", "SH/DX A B C D",
          "SH/WCY/5 6", "SH/WCY", "SH/WWV 0", "SH/WWV 1 2", "SH/WCY X", "DX 14025 K1ABC", ""})
        EXPECT_EQ(ParseShowCommand(line).Kind, ShowNotRecognised) << line;
}

TEST(CommandDialect, ASingleBandWordAsksForThatBand)
{
    // A band word alone is no call: it asks for the band, in each dialect's own form.
    EXPECT_EQ(ParseShowCommand("SH/DX 20M"), Show(ShowBand, "", "20", ""));
    std::string out;
    ASSERT_TRUE(AdaptShowCommand("SH/DX 20M", DialectARCluster6, out));
    EXPECT_EQ(out, "SH/DX Band=20");
    ASSERT_TRUE(AdaptShowCommand("sh/dx 10m", DialectCLX, out));
    EXPECT_EQ(out, "SH/DX 28");
    // Calls that merely end in M stay calls.
    EXPECT_EQ(ParseShowCommand("SH/DX 4X4M"), Show(ShowCall, "", "", "4X4M"));
    EXPECT_EQ(ParseShowCommand("SH/DX 25M").Kind, ShowCall);
}

TEST(CommandDialect, AdaptingRewritesOnlyWhatReadsDifferently)
{
    struct Case {
        const char* line;
        CommandDialect dialect;
        const char* expected; // nullptr: left unchanged
    };
    const Case cases[] = {
        {"SH/DX/20", DialectDXSpider, "SH/DX 20"},
        {"SH/DX 20", DialectDXSpider, nullptr},
        {"SH/DX ON 20M", DialectDXSpider, nullptr},
        {"sh/dx  on 20m", DialectDXSpider, nullptr},
        {"sh dx on 15m", DialectGoCluster, "SH DX BAND 15M"},
        {"sh dx on 15m", DialectARCluster6, "SH/DX Band=15"},
        {"SH/DX ON 10M", DialectCLX, "SH/DX 28"},
        {"SH/DX ON 10M", DialectDxNet, "SH/DX 28"},
        {"SH/DX ON 30M", DialectDxNet, nullptr},
        {"SH/DX BY K9QXV", DialectARCluster4, "SH/DX where spotter = 'K9QXV'"},
        {"SH/DX BY K9QXV", DialectARCluster6, "SH/DX Spotter=K9QXV"},
        {"SH/DX BY K9QXV", DialectDxNet, nullptr},
        {"SH/DX BY K9QXV", DialectCLX, nullptr},
        {"SH/DX BY K9QXV", DialectGoCluster, nullptr},
        {"SH/DX 14000-14100", DialectDxNet, nullptr},
        {"SH/DX 14000-14100", DialectARCluster6, "SH/DX Freq>=14000 and Freq<=14100"},
        {"SH/DX 14000-14100", DialectDXSpider, "SH/DX on 14000/14100"},
        {"SH/DX/5 20", DialectDXSpider, "SH/DX 5 on 20m"},
        {"SH/DX 5 ON 20M", DialectCCCluster, "SH/DX/5 20"},
        {"SH/DX K9QXV", DialectARCluster6, "SH/DX Call=K9QXV*"},
        {"sh/dx k9qxv", DialectCLX, nullptr},
        {"SH/WCY 5", DialectDXSpider, nullptr},
        {"SH/WCY/5", DialectDXSpider, "SH/WCY 5"},
        {"SHOW/WWV 3", DialectDxNet, "SH/WWV/3"},
        {"SH/WWV 3", DialectDXSpider, nullptr},
        {"SH/DX 25", NoDialect, nullptr},
        {"SH/DX/25", DialectARCluster, nullptr},
        {"SH/DX 25", DialectARCluster, "SH/DX/25"},
        {"SH/DX ON 20M", DialectARCluster, nullptr},
        {"HELLO", DialectDXSpider, nullptr},
    };
    for (const auto& c : cases) {
        std::string out = "stale";
        const bool adapted = AdaptShowCommand(c.line, c.dialect, out);
        EXPECT_EQ(adapted, c.expected != nullptr) << c.line << " / " << c.dialect;
        EXPECT_EQ(out, c.expected ? c.expected : "") << c.line << " / " << c.dialect;
    }
}

TEST(CommandDialect, SmallOperations)
{
    EXPECT_EQ(NormalizeCommand(" \t sh/dx \t on  20m\t "), "SH/DX ON 20M");
    EXPECT_EQ(NormalizeCommand(""), "");
    EXPECT_EQ(NormalizeCommand("a\xE4"), "A\xE4");
    EXPECT_EQ(SplitOnSpaces("  A  B C "), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(IsCountText("1"));
    EXPECT_TRUE(IsCountText("9999"));
    EXPECT_FALSE(IsCountText("0"));
    EXPECT_FALSE(IsCountText("01"));
    EXPECT_FALSE(IsCountText("10000"));
    EXPECT_FALSE(IsCountText(""));
    EXPECT_TRUE(IsFrequencyText("12345678"));
    EXPECT_FALSE(IsFrequencyText("123456789"));
    EXPECT_TRUE(IsFrequencyText("12345678.123456789"));
    EXPECT_FALSE(IsFrequencyText("1."));
    EXPECT_FALSE(IsFrequencyText(".5"));
    EXPECT_FALSE(IsFrequencyText("1.2.3"));
    EXPECT_FALSE(IsFrequencyText(""));
    EXPECT_EQ(ParseBandWord("160M"), "160");
    EXPECT_EQ(ParseBandWord("M"), "");
    EXPECT_EQ(ParseBandWord("20m"), ""); // callers normalise first
    EXPECT_EQ(MapBandForClx("10"), "28");
    EXPECT_EQ(MapBandForClx("30"), "30");
    EXPECT_EQ(MapBandForDxNet("30"), "");
    EXPECT_EQ(MapBandForDxNet("10"), "28");
    EXPECT_EQ(MapBandForDxNet("6"), "6");
}
