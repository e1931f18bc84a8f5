#include <gtest/gtest.h>

#include "connections/CConnectionSettings.h"
#include "connections/ConnectionList.h"
#include "connections/LinkTable.h"

using namespace kv;

TEST(ConnectionIds, ListsKeepPositiveIdsOnceAtTheirFirstPlace)
{
    EXPECT_EQ(ParseIdList(u"3,x,0,5"), (std::vector<int>{3, 5}));
    EXPECT_EQ(ParseIdList(u" 4 , 2,,4,-1, 2 ,7"), (std::vector<int>{4, 2, 7}));
    EXPECT_EQ(ParseIdList(u"1000000000,1000000001,2147483648,99999999999"), (std::vector<int>{1000000000}));
    EXPECT_EQ(ParseIdList(u"5x,+6,0x7, 8"), (std::vector<int>{6, 8}));
    EXPECT_TRUE(ParseIdList(u"").empty());
    EXPECT_EQ(FormatIdList({3, 5, 12}), u"3,5,12");
    EXPECT_EQ(FormatIdList({}), u"");
    EXPECT_EQ(ParseIdList(FormatIdList({9, 1, 4})), (std::vector<int>{9, 1, 4}));
    EXPECT_EQ(GetConnectionSection(12), u"Connection.12");
}

TEST(ConnectionIds, TheNextIdIsFreeAndPositive)
{
    EXPECT_EQ(ResolveNextId(2, {3, 5}, {7}), 8);
    EXPECT_EQ(ResolveNextId(20, {3, 5}, {7}), 20);
    EXPECT_EQ(ResolveNextId(1, {}, {}), 1);
    // A stored value below 1, or one that would hand out ids the lists refuse, starts again above the ids in use.
    EXPECT_EQ(ResolveNextId(0, {}, {}), 1);
    EXPECT_EQ(ResolveNextId(-5, {2}, {}), 3);
    EXPECT_EQ(ResolveNextId(2000000000, {4}, {}), 5);
    EXPECT_EQ(ResolveNextId(kMaxConnectionId, {}, {}), kMaxConnectionId);
}

TEST(ConnectionSettingsRecord, DefaultsAddressesAndStoredForms)
{
    CConnectionSettings s;
    EXPECT_EQ(s.Port, 23);
    EXPECT_EQ(s.LineEnding, LineEndingLf);
    EXPECT_EQ(s.CwSkimmerStationName, u"STN1");
    EXPECT_EQ(s.DxSummitInterval, 15);
    EXPECT_EQ(s.GetAddress(), u"");
    s.Host = u"dxc.example.net";
    s.Port = 7300;
    EXPECT_EQ(s.GetAddress(), u"dxc.example.net:7300");
    EXPECT_EQ(s.GetServerText(), u"dxc.example.net:7300");

    ClearLinkTable();
    s.Type = ConnectionDxSummit;
    EXPECT_EQ(s.GetServerText(), kDefaultDxSummitHost);
    SetLink(u"DxSummitHost", u"summit.test");
    EXPECT_EQ(s.GetServerText(), u"summit.test");
    ClearLinkTable();

    EXPECT_EQ(CConnectionSettings::ParseType(u"cwskimmer"), ConnectionCwSkimmer);
    EXPECT_EQ(CConnectionSettings::ParseType(u"DXSUMMIT"), ConnectionDxSummit);
    EXPECT_EQ(CConnectionSettings::ParseType(u"Skimmer"), ConnectionTelnet);
    EXPECT_EQ(CConnectionSettings::ParseLineEnding(u"cr"), LineEndingCr);
    EXPECT_EQ(CConnectionSettings::ParseLineEnding(u"Lf"), LineEndingLf);
    EXPECT_EQ(CConnectionSettings::ParseLineEnding(u"LFCR"), LineEndingCrLf);
    EXPECT_EQ(std::u16string(CConnectionSettings::LineEndingText(7)), u"CRLF");
    for (auto type : {ConnectionTelnet, ConnectionDxSummit, ConnectionCwSkimmer})
        EXPECT_EQ(CConnectionSettings::ParseType(CConnectionSettings::TypeText(type)), type);
}

TEST(ConnectionSettingsRecord, LoadRulesForOldSkimmersAndNames)
{
    CConnectionSettings old;
    old.CwSkimmer = true;
    old.LineEnding = LineEndingCrLf;
    old.Host = u"skimmer.local";
    old.Name = u"  ";
    old.ApplyLoadRules();
    EXPECT_EQ(old.Type, ConnectionCwSkimmer);
    EXPECT_TRUE(old.NoSpotsFromQuarnel);
    EXPECT_TRUE(old.Migrated);
    EXPECT_EQ(old.LineEnding, LineEndingLf);
    EXPECT_EQ(old.Name, u"skimmer.local");
    old.ApplyLoadRules(); // already of the type: no second report
    EXPECT_FALSE(old.Migrated);

    CConnectionSettings summit;
    summit.Type = ConnectionDxSummit;
    summit.Host = u"ignored";
    summit.ApplyLoadRules();
    EXPECT_EQ(summit.Name, u"DX Summit");
    EXPECT_EQ(summit.LineEnding, LineEndingLf);

    CConnectionSettings named;
    named.Name = u"\t Dover \t";
    named.LineEnding = LineEndingCr;
    named.ApplyLoadRules();
    EXPECT_EQ(named.Name, u"Dover");
    EXPECT_EQ(named.LineEnding, LineEndingCr);
    EXPECT_FALSE(named.Migrated);
}
