#include <gtest/gtest.h>

#include "app/SpotFilterLevelTexts.h"
#include "tests/app/SpotFilterLevelSamples.h"

using namespace kv;
using namespace kv::test;

namespace {

SpotFilterSet Texts(std::u16string SpotFilterSet::*field, const std::u16string& text, bool disabled = false)
{
    SpotFilterSet set;
    set.*field = text;
    set.disabled = disabled;
    return set;
}

} // namespace

TEST(SpotFilterLevelTexts, ListLinesNameTheLevelAndMarkThoseWithFilters)
{
    std::vector<SpotFilterLevel> levels = SampleLevels();
    EXPECT_EQ(GetLevelDisplayText(levels[kAllIndex]), u"All connections");
    EXPECT_EQ(GetLevelDisplayText(levels[3]), u"DX Summit connections");
    EXPECT_EQ(GetLevelDisplayText(levels[kAlphaIndex]), u"Alpha (Telnet)");
    EXPECT_EQ(GetLevelDisplayText(levels[kSkimmerIndex]), u"Skimmer (CW Skimmer)");

    levels[kWebIndex].Filters = Texts(&SpotFilterSet::words, u"QRT");
    EXPECT_EQ(GetLevelDisplayText(levels[kWebIndex]), u"Web (DX Summit)  \u2022");
    levels[kWebIndex].Filters.disabled = true;
    EXPECT_EQ(GetLevelDisplayText(levels[kWebIndex]), u"Web (DX Summit) (disabled)");

    // Spotter texts mean nothing where every spot is the skimmer's own.
    levels[kSkimmerIndex].Filters = Texts(&SpotFilterSet::spotterCalls, u"K8RQT");
    levels[kSkimmerGlobalIndex].Filters = Texts(&SpotFilterSet::spotterContinents, u"EU");
    EXPECT_EQ(GetLevelDisplayText(levels[kSkimmerIndex]), u"Skimmer (CW Skimmer)");
    EXPECT_EQ(GetLevelDisplayText(levels[kSkimmerGlobalIndex]), u"CW Skimmer connections");
    levels[kAlphaIndex].Filters = Texts(&SpotFilterSet::spotterCalls, u"K8RQT");
    EXPECT_EQ(GetLevelDisplayText(levels[kAlphaIndex]), u"Alpha (Telnet)  \u2022");

    // A new connection opened from its settings dialog before it has a name.
    SpotFilterLevel fresh = ConnectionLevel(0, u"", ConnectionTelnet);
    fresh.BeingEdited = true;
    EXPECT_EQ(GetLevelDisplayText(fresh), u"New connection (Telnet, being edited)");
    EXPECT_EQ(GetLevelShortName(fresh), u"New connection");
    EXPECT_EQ(GetLevelShortName(levels[kTelnetIndex]), u"Telnet connections");
}

TEST(SpotFilterLevelTexts, NoteListsTheGlobalLevelsThatAlsoApply)
{
    std::vector<SpotFilterLevel> levels = SampleLevels();
    EXPECT_EQ(BuildLevelNote(levels, kAllIndex, false),
              u"Applied to every connection, after its own filters and those of its type.");
    EXPECT_EQ(BuildLevelNote(levels, kAlphaIndex, false), u"No other level has filters for it.");

    levels[kAllIndex].Filters = Texts(&SpotFilterSet::dxContinents, u"EU");
    levels[kTelnetIndex].Filters = Texts(&SpotFilterSet::frequencies, u"WARC");
    levels[3].Filters = Texts(&SpotFilterSet::words, u"QRT");
    EXPECT_EQ(BuildLevelNote(levels, kAlphaIndex, false), u"Also applied: All connections, Telnet connections.");
    EXPECT_EQ(BuildLevelNote(levels, kTelnetIndex, false), u"Also applied: All connections.");
    EXPECT_EQ(BuildLevelNote(levels, kWebIndex, false), u"Also applied: All connections, DX Summit connections.");

    levels[kAllIndex].Filters.disabled = true;
    EXPECT_EQ(BuildLevelNote(levels, kAlphaIndex, false), u"Also applied: Telnet connections.");

    // For a skimmer the spotter texts of a level above do not count.
    levels[kAllIndex].Filters = Texts(&SpotFilterSet::spotterCalls, u"K8RQT");
    EXPECT_EQ(BuildLevelNote(levels, kSkimmerIndex, false), u"No other level has filters for it.");
    EXPECT_EQ(BuildLevelNote(levels, kAlphaIndex, false), u"Also applied: All connections, Telnet connections.");

    levels[kAlphaIndex].BeingEdited = true;
    EXPECT_EQ(BuildLevelNote(levels, kAlphaIndex, true),
              u"All the spot filters are disabled (Tools menu). Also applied: All connections, Telnet connections. "
              u"Saved with the OK of the connection settings.");
}

TEST(SpotFilterLevelTexts, TestChainGoesFromTheLevelShownUpToAllConnections)
{
    const std::vector<SpotFilterLevel> levels = SampleLevels();
    EXPECT_EQ(GetTestChain(levels, kAllIndex), (std::vector<int>{kAllIndex}));
    EXPECT_EQ(GetTestChain(levels, kTelnetIndex), (std::vector<int>{kTelnetIndex, kAllIndex}));
    EXPECT_EQ(GetTestChain(levels, kAlphaIndex), (std::vector<int>{kAlphaIndex, kTelnetIndex, kAllIndex}));
    EXPECT_EQ(GetTestChain(levels, kSkimmerIndex), (std::vector<int>{kSkimmerIndex, kSkimmerGlobalIndex, kAllIndex}));
    EXPECT_EQ(GetTestChain(levels, kWebIndex), (std::vector<int>{kWebIndex, 3, kAllIndex}));

    EXPECT_EQ(BuildTestScope(levels, GetTestChain(levels, kAlphaIndex), true),
              u"Tested: Alpha, then Telnet connections, then All connections, then the amateur bands (built-in) "
              u"(from the entry chosen upwards, with the values of this dialog).");
    EXPECT_EQ(BuildTestScope(levels, GetTestChain(levels, kAllIndex), false),
              u"Tested: All connections (from the entry chosen upwards, with the values of this dialog).");
}

TEST(SpotFilterLevelTexts, StartLevelIsTheConnectionAskedForOrAllConnections)
{
    std::vector<SpotFilterLevel> levels = SampleLevels();
    EXPECT_EQ(FindStartLevel(levels, true, 8), kSkimmerIndex);
    EXPECT_EQ(FindStartLevel(levels, false, 8), kAllIndex);
    EXPECT_EQ(FindStartLevel(levels, true, 42), 0);
    // A connection not yet saved has the id 0, like the global levels: only a connection level matches.
    levels.push_back(ConnectionLevel(0, u"", ConnectionTelnet));
    EXPECT_EQ(FindStartLevel(levels, true, 0), 7);
    EXPECT_EQ(FindStartLevel({}, false, 0), 0);
}
