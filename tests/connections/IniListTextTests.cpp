#include <gtest/gtest.h>

#include "connections/IniListText.h"

using namespace kv;
using Names = std::vector<std::u16string>;

TEST(StationList, SeparatorRunsCountAsOneAndRepeatsAreDroppedLetterCaseAside)
{
    EXPECT_EQ(ParseStationList(u"stn1, STN2;;  Stn1  STN3"), (Names{u"stn1", u"STN2", u"STN3"}));
    EXPECT_EQ(ParseStationList(u"\tA\t,B;"), (Names{u"A", u"B"}));
    EXPECT_TRUE(ParseStationList(u"").empty());
    EXPECT_TRUE(ParseStationList(u" ,; \t").empty());
    // Other white space is trimmed off a name but does not separate.
    EXPECT_EQ(ParseStationList(u"STN1\r\n"), (Names{u"STN1"}));
    EXPECT_EQ(JoinStationList({u"STN1", u"RUN"}), u"STN1 RUN");
    EXPECT_EQ(ParseStationList(JoinStationList({u"a", u"b", u"c"})), (Names{u"a", u"b", u"c"}));
}

TEST(LineList, PiecesAreTrimmedAndEmptyOnesDropped)
{
    EXPECT_EQ(SplitLines(u" sh/dx \n\n  \nset/name Op\n", u'\n'), (Names{u"sh/dx", u"set/name Op"}));
    EXPECT_EQ(SplitLines(u"3, 1,,7 ", u','), (Names{u"3", u"1", u"7"}));
    EXPECT_TRUE(SplitLines(u"", u',').empty());
    EXPECT_EQ(JoinLines({u"a", u"b"}), u"a\r\nb");
    EXPECT_EQ(JoinLines({}), u"");
}
