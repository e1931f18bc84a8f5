#include <gtest/gtest.h>

#include "app/SpotTest.h"
#include "spots/CCtyTable.h"
#include "tests/app/SpotFilterLevelSamples.h"
#include "tests/support/TestPaths.h"

using namespace kv;
using namespace kv::test;

namespace {

const CCtyTable& RealTable()
{
    static const CCtyTable table = [] {
        CCtyTable t;
        std::string error;
        EXPECT_TRUE(t.Parse(test::ReadWholeFile(test::SystemCtyDatPath()), error)) << error;
        return t;
    }();
    return table;
}

// The test as the dialog runs it on the level at index, its edits holding what the level holds.
class SpotTestBench {
public:
    SpotTestBench() : levels(SampleLevels()) {}

    SpotTestOutcome Run(int index, const std::u16string& spotter, const std::u16string& frequency,
                        const std::u16string& dxCall, const std::u16string& comment = {})
    {
        SpotTestInput input;
        input.levels = &levels;
        input.chain = GetChain(index);
        input.shownFilters = shownFilters ? *shownFilters : levels[size_t(index)].Filters;
        input.rejectOutOfBand = rejectOutOfBand;
        input.allFiltersDisabled = allFiltersDisabled;
        input.table = table;
        input.fields = {spotter, frequency, dxCall, comment};
        input.openedLine = openedLine;
        input.openedReason = openedReason;
        input.currentLine = currentLine;
        return RunSpotTest(input);
    }

    std::vector<SpotFilterLevel> levels;
    std::optional<SpotFilterSet> shownFilters;
    bool rejectOutOfBand = true;
    bool allFiltersDisabled = false;
    const CCtyTable* table = nullptr;
    std::u16string openedLine, openedReason, currentLine;

private:
    std::vector<int> GetChain(int index) const
    {
        if (index == kAllIndex) return {kAllIndex};
        if (index == kAlphaIndex) return {kAlphaIndex, kTelnetIndex, kAllIndex};
        if (index == kSkimmerIndex) return {kSkimmerIndex, kSkimmerGlobalIndex, kAllIndex};
        return {index, kAllIndex};
    }
};

} // namespace

TEST(SpotTest, PastedSpotLineFillsTheFields)
{
    SpotTestFields fields;
    ASSERT_TRUE(ParseTestLine(u"DX de K8RQT-#: 14025.0 N4XJZ CW 1234Z", false, fields));
    EXPECT_EQ(fields.spotter, u"K8RQT-#");
    EXPECT_EQ(fields.frequency, u"14025.0");
    EXPECT_EQ(fields.dxCall, u"N4XJZ");
    EXPECT_EQ(fields.comment, u"CW");
    ASSERT_TRUE(ParseTestLine(u"DX de DL1ABC:     7012.35  F5XYZ        up 2                 1810Z", false, fields));
    EXPECT_EQ(fields.frequency, u"7012.4");
    EXPECT_FALSE(ParseTestLine(u"Hello, this is no spot", false, fields));
}

TEST(SpotTest, FrequencyIsDigitsWithAtMostOnePoint)
{
    double value = 0;
    EXPECT_TRUE(ParseDecimalText(u"14025.0", value));
    EXPECT_DOUBLE_EQ(value, 14025.0);
    EXPECT_TRUE(ParseDecimalText(u"14025.", value));
    EXPECT_DOUBLE_EQ(value, 14025.0);
    EXPECT_TRUE(ParseDecimalText(u".5", value));
    EXPECT_DOUBLE_EQ(value, 0.5);
    for (const char16_t* wrong : {u"14025,0", u"14.025.0", u"-14025", u"+1", u"14 025", u".", u"", u"1e3", u"\uFF11"})
        EXPECT_FALSE(ParseDecimalText(wrong, value));
}

TEST(SpotTest, IncompleteFieldsAskForFrequencyAndCall)
{
    SpotTestBench bench;
    const SpotTestOutcome comma = bench.Run(kAllIndex, u"", u"14025,0", u"N4XJZ");
    EXPECT_EQ(comma.result, TestIncomplete);
    EXPECT_EQ(comma.resultText, u"Type a frequency and a DX call.");
    EXPECT_EQ(bench.Run(kAllIndex, u"", u"14.025.0", u"N4XJZ").result, TestIncomplete);
    EXPECT_EQ(bench.Run(kAllIndex, u"K8RQT", u"", u"N4XJZ").result, TestIncomplete);
    EXPECT_EQ(bench.Run(kAllIndex, u"", u"14025", u"  ").result, TestIncomplete);
    const SpotTestOutcome empty = bench.Run(kAllIndex, u"K8RQT", u" ", u"", u"CW");
    EXPECT_EQ(empty.result, TestNone);
    EXPECT_EQ(empty.resultText + empty.detail + empty.countryLines, u"");
}

TEST(SpotTest, RejectionNamesTheLevelAndCriterion)
{
    SpotTestBench bench;
    bench.levels[kAllIndex].Filters.dxContinents = u"NA";
    bench.levels[kTelnetIndex].Filters.frequencies = u"14025";
    bench.table = &RealTable();

    const SpotTestOutcome byType = bench.Run(kAlphaIndex, u"K8RQT-#", u"14025.0", u"N4XJZ");
    EXPECT_EQ(byType.result, TestRejected);
    EXPECT_EQ(byType.resultText, u"Spot rejected");
    EXPECT_EQ(byType.detail, u"Rejected by Telnet connections: frequency (14025.0)");

    const SpotTestOutcome byAll = bench.Run(kAlphaIndex, u"", u"14030", u"n4xjz");
    EXPECT_EQ(byAll.detail, u"Rejected by All connections: DX continent (NA)");

    // The level shown is tested with what its edits hold now, valid or not yet saved.
    SpotFilterSet edits;
    edits.dxCalls = u"N4*";
    bench.shownFilters = edits;
    EXPECT_EQ(bench.Run(kAlphaIndex, u"", u"14025.0", u"N4XJZ").detail, u"Rejected by Alpha: DX callsign (N4XJZ)");
    edits.disabled = true;
    bench.shownFilters = edits;
    EXPECT_EQ(bench.Run(kAlphaIndex, u"", u"14025.0", u"N4XJZ").detail,
              u"Rejected by Telnet connections: frequency (14025.0)");

    // A text that does not compile names its level instead of a result.
    edits.disabled = false;
    edits.dxCalls = u"N4?";
    bench.shownFilters = edits;
    const SpotTestOutcome incomplete = bench.Run(kAlphaIndex, u"", u"14025.0", u"N4XJZ");
    EXPECT_EQ(incomplete.result, TestIncomplete);
    EXPECT_EQ(incomplete.resultText, u"Filter not complete (Alpha): N4?");
    EXPECT_EQ(incomplete.detail, u"");
}

TEST(SpotTest, SpotterCriteriaFollowTheFirstLevelOfTheChain)
{
    SpotTestBench bench;
    bench.levels[kAllIndex].Filters.spotterCalls = u"K8RQT";
    EXPECT_EQ(bench.Run(kAlphaIndex, u"k8rqt-5", u"14025", u"N4XJZ").detail,
              u"Rejected by All connections: spotter callsign (K8RQT)");
    EXPECT_EQ(bench.Run(kAlphaIndex, u"K8RQT/P", u"14025", u"N4XJZ").result, TestAccepted);
    EXPECT_EQ(bench.Run(kSkimmerIndex, u"K8RQT-#", u"14025", u"N4XJZ").result, TestAccepted);
}

TEST(SpotTest, AmateurBandsAreTestedLastWithTheDialogsSwitch)
{
    SpotTestBench bench;
    const SpotTestOutcome outside = bench.Run(kAllIndex, u"", u"14400.0", u"N4XJZ");
    EXPECT_EQ(outside.result, TestRejected);
    EXPECT_EQ(outside.detail, u"Rejected: outside the amateur bands (14400.0 kHz)");
    bench.rejectOutOfBand = false;
    const SpotTestOutcome accepted = bench.Run(kAllIndex, u"", u"14400.0", u"N4XJZ");
    EXPECT_EQ(accepted.result, TestAccepted);
    EXPECT_EQ(accepted.resultText, u"Spot accepted");
    EXPECT_EQ(accepted.detail, u"");

    bench.rejectOutOfBand = true;
    bench.allFiltersDisabled = true;
    bench.levels[kAllIndex].Filters.dxCalls = u"N4XJZ";
    bench.table = &RealTable();
    const SpotTestOutcome disabled = bench.Run(kAllIndex, u"K8RQT", u"14400.0", u"N4XJZ");
    EXPECT_EQ(disabled.result, TestAccepted);
    EXPECT_EQ(disabled.detail, u"All the spot filters are disabled (Tools menu). ");
    EXPECT_EQ(disabled.countryLines, u"");
}

TEST(SpotTest, CountryLinesDescribeDxCallAndSpotter)
{
    SpotTestBench bench;
    EXPECT_EQ(bench.Run(kAllIndex, u"K8RQT-#", u"14025", u"N4XJZ").countryLines,
              u"DX: no country file\r\nSpotter: no country file");
    bench.table = &RealTable();
    EXPECT_EQ(bench.Run(kAllIndex, u"", u"14025", u"N4XJZ").countryLines,
              u"DX: K - United States of America, NA, CQ 5, ITU 8");
    EXPECT_EQ(bench.Run(kAllIndex, u"F5XYZ-#", u"14025", u"N4XJZ/MM").countryLines,
              u"DX: no known entity\r\nSpotter: F - France, EU, CQ 14, ITU 27");
}

TEST(SpotTest, LineOpenedAsDuplicateKeepsItsReasonWhileUnchanged)
{
    SpotTestBench bench;
    bench.openedLine = bench.currentLine = u"DX de K8RQT-#: 14025.0 N4XJZ CW 1234Z";
    bench.openedReason = u"Already sent to Quarnel by Beta at 1234Z (same spot)";
    const std::u16string note = u"This line was not sent to Quarnel as a duplicate, not because of a filter: "
                                u"Already sent to Quarnel by Beta at 1234Z (same spot).";
    EXPECT_EQ(bench.Run(kAllIndex, u"K8RQT-#", u"14025.0", u"N4XJZ").detail, note);
    EXPECT_EQ(bench.Run(kAllIndex, u"K8RQT-#", u"14400.0", u"N4XJZ").detail,
              u"Rejected: outside the amateur bands (14400.0 kHz) " + note);
    EXPECT_EQ(bench.Run(kAllIndex, u"", u"", u"").detail, u"");
    bench.currentLine += u" ";
    EXPECT_EQ(bench.Run(kAllIndex, u"K8RQT-#", u"14025.0", u"N4XJZ").detail, u"");
}
