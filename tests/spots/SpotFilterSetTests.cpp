#include <gtest/gtest.h>

#include "spots/CCompiledSpotFilter.h"
#include "spots/SpotFilterSet.h"

using namespace kv;

TEST(SpotFilterSetSummary, NamesTheTextsInUse)
{
    SpotFilterSet set;
    EXPECT_EQ(set.GetSummary(true), u"No filter");
    set.words = u"QRT";
    EXPECT_EQ(set.GetSummary(false), u"Active: words");
    set = SpotFilterSet();
    set.spotterContinents = u"EU";
    EXPECT_EQ(set.GetSummary(false), u"No filter");
    set.dxDxcc = u"F";
    set.disabled = true;
    EXPECT_EQ(set.GetSummary(true), u"Active: spotter, DX (disabled)");
    set.frequencies = u"40m";
    EXPECT_EQ(set.GetSummary(true), u"Active: spotter, frequencies, DX (disabled)");
    SpotFilterSet disabledOnly;
    disabledOnly.disabled = true;
    EXPECT_EQ(disabledOnly.GetSummary(true), u"No filter");
}

TEST(SpotFilterSetCompile, FirstWrongEntryAndTheOtherCriteria)
{
    SpotFilterSet set;
    set.spotterCalls = u"K8RQT";
    set.frequencies = u"40m 14076-14073";
    set.dxCalls = u"N4?";
    set.dxContinents = u"/eu";
    set.words = u"\"CQ TEST\"";
    CCompiledSpotFilter compiled;
    std::u16string error = u"stale";
    set.Compile(compiled, true, error);
    EXPECT_EQ(error, u"14076-14073");
    EXPECT_EQ(compiled.spotterCall.reject, std::vector<std::string>{"K8RQT"});
    EXPECT_FALSE(compiled.frequency.HasEntries());
    EXPECT_FALSE(compiled.dxCall.HasEntries());
    EXPECT_EQ(compiled.dxContinent.keepOnly, std::vector<std::string>{"EU"});
    EXPECT_EQ(compiled.phrases.size(), 1u);

    set.frequencies.clear();
    set.Compile(compiled, false, error);
    EXPECT_EQ(error, u"N4?");
    EXPECT_FALSE(compiled.spotterCall.HasEntries());

    set.spotterCalls = u"K\u00c4RQT";
    set.Compile(compiled, true, error);
    EXPECT_EQ(error, u"K\u00c4RQT"); // the entry comes back as the user typed it
}

TEST(SpotFilterSetCompile, DisabledSetIsEmptyButReportsItsError)
{
    SpotFilterSet set;
    set.dxCalls = u"N4* //F";
    set.words = u"QRT";
    set.disabled = true;
    CCompiledSpotFilter compiled;
    compiled.phrases = {{"OLD"}};
    std::u16string error;
    set.Compile(compiled, true, error);
    EXPECT_EQ(error, u"//F");
    EXPECT_TRUE(compiled.IsEmpty(true));
}
