#include <gtest/gtest.h>

#include "spots/CCompiledSpotFilter.h"
#include "spots/CCtyTable.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "spots/SpotFilterSet.h"

using namespace kv;

namespace {

SpotFields Spot(const std::string& spotter, double frequency, const std::string& dxCall, const std::string& comment = "")
{
    return SpotFields{frequency, dxCall, spotter, comment};
}

CCompiledSpotFilter Compile(const SpotFilterSet& set, bool withSpotter = true)
{
    CCompiledSpotFilter filter;
    std::u16string error;
    set.Compile(filter, withSpotter, error);
    EXPECT_EQ(error, u"");
    return filter;
}

struct Verdict {
    SpotFilterReason reason;
    std::string value;
};

Verdict Judge(const CCompiledSpotFilter& filter, const SpotFields& spot, const CCtyTable* table = nullptr,
              bool withSpotter = true)
{
    Verdict v{SpotFilterReason::None, "stale"};
    v.reason = filter.Evaluate(spot, withSpotter, table, v.value);
    return v;
}

const CCtyTable& SmallTable()
{
    static const CCtyTable table = [] {
        CCtyTable t;
        std::string error;
        EXPECT_TRUE(t.Parse("France: 14: 27: EU: 46: -2: -1.0: F:\n F,=F/N4XJZ{AF};\n"
                            "United States: 05: 08: NA: 37.60: 91.87: 5.0: K:\n K,N,W;\n",
                            error));
        return t;
    }();
    return table;
}

} // namespace

TEST(CallPatterns, StarCoversAnyRun)
{
    EXPECT_TRUE(MatchCallPattern("N4*", "N4XJZ"));
    EXPECT_TRUE(MatchCallPattern("*/P", "F/N4XJZ/P"));
    EXPECT_TRUE(MatchCallPattern("*", ""));
    EXPECT_TRUE(MatchCallPattern("D*1*Z", "DL1XYZ"));
    EXPECT_TRUE(MatchCallPattern("**", "K"));
    EXPECT_FALSE(MatchCallPattern("N4*", "KN4X"));
    EXPECT_FALSE(MatchCallPattern("D*1*Q", "DL1XYZ"));
    EXPECT_FALSE(MatchCallPattern("K8RQT", "K8RQT/P"));
    EXPECT_FALSE(MatchCallPattern("", "K"));
}

namespace {

// "*" for any run, every other byte for itself, the whole call covered: the rule, written recursively.
bool PlainMatch(std::string_view pattern, std::string_view call)
{
    if (pattern.empty()) return call.empty();
    if (pattern[0] == '*') return PlainMatch(pattern.substr(1), call) || (!call.empty() && PlainMatch(pattern, call.substr(1)));
    return !call.empty() && pattern[0] == call[0] && PlainMatch(pattern.substr(1), call.substr(1));
}

std::vector<std::string> AllTexts(std::string_view alphabet, size_t longest)
{
    std::vector<std::string> texts{""};
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i].size() < longest)
            for (const char c : alphabet) texts.push_back(texts[i] + c);
    return texts;
}

} // namespace

TEST(CallPatterns, AgreeWithThePlainRule)
{
    const std::vector<std::string> patterns = AllTexts("AB/*", 5);
    const std::vector<std::string> calls = AllTexts("AB/", 5);
    for (const std::string& pattern : patterns)
        for (const std::string& call : calls)
            ASSERT_EQ(MatchCallPattern(pattern, call), PlainMatch(pattern, call)) << pattern << " " << call;
}

TEST(SpotterCriteria, NodeSuffixesAndSkimmerConnections)
{
    EXPECT_EQ(NormalizeSpotterCall("K8RQT-#"), "K8RQT");
    EXPECT_EQ(NormalizeSpotterCall("k8rqt-1 \r\n"), "K8RQT");
    EXPECT_EQ(NormalizeSpotterCall("K8RQT-2-#"), "K8RQT-2");
    EXPECT_EQ(NormalizeSpotterCall("-#"), "-#");
    EXPECT_EQ(NormalizeSpotterCall("K8RQT-"), "K8RQT-");
    EXPECT_EQ(NormalizeSpotterCall("K8RQT-2A"), "K8RQT-2A");

    SpotFilterSet set;
    set.spotterCalls = u"K8RQT";
    const CCompiledSpotFilter filter = Compile(set);
    EXPECT_EQ(Judge(filter, Spot("K8RQT-#", 14025, "N4XJZ")).reason, SpotFilterReason::SpotterCall);
    const Verdict v = Judge(filter, Spot("k8rqt-5", 14025, "N4XJZ"));
    EXPECT_EQ(v.reason, SpotFilterReason::SpotterCall);
    EXPECT_EQ(v.value, "K8RQT");
    EXPECT_EQ(Judge(filter, Spot("K8RQT/P", 14025, "N4XJZ")).reason, SpotFilterReason::None);
    EXPECT_EQ(Judge(filter, Spot("K8RQT-#", 14025, "N4XJZ"), nullptr, false).reason, SpotFilterReason::None);
    EXPECT_TRUE(filter.IsEmpty(false));
    EXPECT_FALSE(filter.IsEmpty(true));
}

TEST(EntityCriteria, UnknownEntityAndCountryTable)
{
    SpotFilterSet set;
    set.dxDxcc = u"/F";
    CCompiledSpotFilter filter = Compile(set);
    Verdict v = Judge(filter, Spot("K8RQT", 14025, "F5ABC"));
    EXPECT_EQ(v.reason, SpotFilterReason::DxDxcc);
    EXPECT_EQ(v.value, "?");
    EXPECT_EQ(Judge(filter, Spot("K8RQT", 14025, "F5ABC"), &SmallTable()).reason, SpotFilterReason::None);
    v = Judge(filter, Spot("K8RQT", 14025, "n4xjz"), &SmallTable());
    EXPECT_EQ(v.reason, SpotFilterReason::DxDxcc);
    EXPECT_EQ(v.value, "K");

    set = SpotFilterSet();
    set.dxContinents = u"EU AF";
    filter = Compile(set);
    EXPECT_EQ(Judge(filter, Spot("K8RQT", 14025, "W1AW")).reason, SpotFilterReason::None); // unknown passes
    v = Judge(filter, Spot("K8RQT", 14025, "F/N4XJZ"), &SmallTable()); // the exact call's continent override
    EXPECT_EQ(v.reason, SpotFilterReason::DxContinent);
    EXPECT_EQ(v.value, "AF");

    set = SpotFilterSet();
    set.spotterContinents = u"/NA";
    filter = Compile(set);
    v = Judge(filter, Spot("F5ABC-#", 14025, "W1AW"), &SmallTable());
    EXPECT_EQ(v.reason, SpotFilterReason::SpotterContinent);
    EXPECT_EQ(v.value, "EU");
}

TEST(FrequencyAndWords, TolerancePhrasesAndOrder)
{
    SpotFilterSet set;
    set.frequencies = u"14073.5-14074.5";
    set.dxCalls = u"N4*";
    set.words = u"\"CQ TEST\"";
    const CCompiledSpotFilter filter = Compile(set);
    Verdict v = Judge(filter, Spot("K8RQT", 14074.5000005, "N4XJZ"));
    EXPECT_EQ(v.reason, SpotFilterReason::Frequency); // before the DX call
    EXPECT_EQ(v.value, "14074.5");
    v = Judge(filter, Spot("K8RQT", 14074.51, "n4xjz"));
    EXPECT_EQ(v.reason, SpotFilterReason::DxCall);
    EXPECT_EQ(v.value, "N4XJZ");
    EXPECT_EQ(Judge(filter, Spot("K8RQT", 14025, "DL1AB", "cq test up 2")).reason, SpotFilterReason::CommentWords);
    EXPECT_EQ(Judge(filter, Spot("K8RQT", 14025, "DL1AB", "CQ-TEST")).value, "");
    EXPECT_EQ(Judge(filter, Spot("K8RQT", 14025, "DL1AB", "TEST CQ")).reason, SpotFilterReason::None);
    EXPECT_EQ(Judge(filter, Spot("K8RQT", 14025, "DL1AB", "CQTEST")).reason, SpotFilterReason::None);
    EXPECT_EQ(Judge(filter, Spot("K8RQT", 14025, "DL1AB", "CQ")).reason, SpotFilterReason::None);

    set = SpotFilterSet();
    set.frequencies = u"/40m";
    EXPECT_EQ(Judge(Compile(set), Spot("K8RQT", 14025, "DL1AB")).value, "14025.0");
}

TEST(FilterLevels, FirstRejectingLevelAndSkippedOnes)
{
    SpotFilterSet own;
    own.dxCalls = u"N4*";
    SpotFilterSet disabled;
    disabled.dxCalls = u"F*";
    disabled.disabled = true;
    SpotFilterSet all;
    all.dxCalls = u"N4* DL*";
    const CCompiledSpotFilter ownFilter = Compile(own), disabledFilter = Compile(disabled), allFilter = Compile(all);
    const std::vector<SpotFilterLevelEntry> levels{{&ownFilter, true}, {&disabledFilter, true}, {nullptr, true},
                                                  {&allFilter, true}};
    SpotFilterReason reason;
    std::string value = "stale";
    EXPECT_EQ(EvaluateSpotFilterLevels(levels, Spot("K8RQT", 14025, "N4XJZ"), nullptr, reason, value), 0);
    EXPECT_EQ(EvaluateSpotFilterLevels(levels, Spot("K8RQT", 14025, "DL1AB"), nullptr, reason, value), 3);
    EXPECT_EQ(reason, SpotFilterReason::DxCall);
    EXPECT_EQ(EvaluateSpotFilterLevels(levels, Spot("K8RQT", 14025, "F5AB"), nullptr, reason, value), -1);
    EXPECT_EQ(reason, SpotFilterReason::None);
    EXPECT_EQ(value, "");
}

TEST(RejectionTexts, ReasonsLevelsAndSections)
{
    EXPECT_EQ(FormatFilterRejection(u"All connections", SpotFilterReason::DxContinent, u"EU"),
              u"Rejected by All connections: DX continent (EU)");
    EXPECT_EQ(FormatFilterRejection(u"Telnet connections", SpotFilterReason::Frequency, u"14074.0"),
              u"Rejected by Telnet connections: frequency (14074.0)");
    EXPECT_EQ(FormatFilterRejection(u"My node", SpotFilterReason::CommentWords, u""),
              u"Rejected by My node: comment words");
    EXPECT_EQ(FormatFilterRejection(u"X", SpotFilterReason(42), u""), u"Rejected by X: comment words");
    EXPECT_EQ(FormatFilterRejection(u"X", SpotFilterReason::SpotterCall, u"K8RQT"),
              u"Rejected by X: spotter callsign (K8RQT)");
    EXPECT_EQ(FormatOutOfBandRejection(14400.0), u"Rejected: outside the amateur bands (14400.0 kHz)");

    EXPECT_EQ(GetSpotFiltersSection(0), u"SpotFilters");
    EXPECT_EQ(GetSpotFiltersSection(2), u"SpotFilters.CWSkimmer");
    EXPECT_EQ(GetSpotFiltersSection(3), u"SpotFilters.DXSummit");
    EXPECT_EQ(GetSpotFiltersSection(7), u"SpotFilters");
    EXPECT_EQ(GetSpotFilterLevelName(1), u"Telnet connections");
    EXPECT_EQ(GetSpotFilterLevelName(-1), u"All connections");
}

TEST(GlobalLevels, CompileLevelLeavesOutSpotterOfSkimmers)
{
    GlobalSpotFilterLevels levels;
    EXPECT_TRUE(levels.rejectOutOfBand);
    EXPECT_FALSE(levels.allFiltersDisabled);
    levels.texts[2].spotterCalls = u"//F";
    levels.texts[2].dxCalls = u"N4*";
    EXPECT_EQ(levels.CompileLevel(2), u"");
    EXPECT_TRUE(levels.compiled[2].IsEmpty(true) == false);
    EXPECT_FALSE(levels.compiled[2].spotterCall.HasEntries());
    levels.texts[1].spotterCalls = u"//F";
    EXPECT_EQ(levels.CompileLevel(1), u"//F");
}
