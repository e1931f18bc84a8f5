// What the view's commands decide without a window: the reconnection question's list of changes, the
// effects of new general settings, the wrap of Next and Previous and the items of the "+" menu.
#include <gtest/gtest.h>

#include "app/ViewCommandRules.h"

using namespace kv;

namespace {

CConnectionSettings Telnet()
{
    CConnectionSettings s;
    s.Name = u"Alpha";
    s.Host = u"dx.example.org";
    s.Port = 7300;
    s.Login = u"K1ABC";
    s.Password = u"secret";
    s.Commands = {u"set/page 0", u"sh/dx 10"};
    return s;
}

} // namespace

TEST(ReconnectChanges, NamesTheItemsThatOnlyANewConnectionUsesInOrder)
{
    const CConnectionSettings before = Telnet();
    CConnectionSettings after = before;
    after.Name = u"Beta";
    after.LineEnding = LineEndingCr;
    after.NoSendToQuarnel = true;
    after.Filters.dxCalls = u"K1*";
    EXPECT_EQ(ListReconnectChanges(before, after), u"") << "applied at once, never asked";

    after.Host = u"DX.EXAMPLE.ORG";
    EXPECT_EQ(ListReconnectChanges(before, after), u"") << "the letter case of a host is no change";
    after.Login = u"k1abc";
    after.Password = u"SECRET";
    EXPECT_EQ(ListReconnectChanges(before, after), u"login, password") << "a login and password are exact";

    after = before;
    after.Host = u"other.example.org";
    after.Port = 23;
    after.Login = u"K1ABD";
    after.Password = u"";
    after.Commands.pop_back();
    EXPECT_EQ(ListReconnectChanges(before, after), u"host, port, login, password, commands");
    after.Commands = {u"set/page 0", u"sh/dx 20"};
    EXPECT_EQ(ListReconnectChanges(before, after), u"host, port, login, password, commands");
}

TEST(ReconnectChanges, ATypeChangeOrDxSummitNeverAsks)
{
    CConnectionSettings before = Telnet();
    CConnectionSettings after = before;
    after.Type = ConnectionCwSkimmer;
    after.Host = u"skimmer.local";
    EXPECT_EQ(ListReconnectChanges(before, after), u"");

    before.Type = after.Type = ConnectionDxSummit;
    EXPECT_EQ(ListReconnectChanges(before, after), u"");
    before.Type = after.Type = ConnectionCwSkimmer;
    EXPECT_EQ(ListReconnectChanges(before, after), u"host");
}

TEST(GeneralSettingsChanges, FontAndNetworkAreAppliedAtOnceAndListNothing)
{
    const GeneralSettings before;
    GeneralSettings after = before;
    after.FontFace = u"DejaVu Sans Mono";
    GeneralSettingsChanges changes = CompareGeneralSettings(before, after);
    EXPECT_TRUE(changes.font);
    EXPECT_FALSE(changes.network);
    EXPECT_EQ(changes.nextConnectionItems, u"");

    after = before;
    after.FontSize = 11;
    after.ApplicationID = u"TELNET2";
    changes = CompareGeneralSettings(before, after);
    EXPECT_TRUE(changes.font);
    EXPECT_TRUE(changes.network);
    EXPECT_EQ(changes.nextConnectionItems, u"");

    for (auto change : {+[](GeneralSettings& s) { s.Disabled = true; }, +[](GeneralSettings& s) { s.Port = 9872; },
                        +[](GeneralSettings& s) { s.BroadcastAddress = u"192.168.1.255"; }}) {
        after = before;
        change(after);
        EXPECT_TRUE(CompareGeneralSettings(before, after).network);
    }
    after = before;
    after.ReceiveMaxLines = 100;
    after.AutoReconnect = false;
    after.SendSpotsOnce = false;
    changes = CompareGeneralSettings(before, after);
    EXPECT_FALSE(changes.font || changes.network);
    EXPECT_EQ(changes.nextConnectionItems, u"");
}

TEST(GeneralSettingsChanges, ListsTheTelnetTimingsAndCommandsInOrder)
{
    const GeneralSettings before;
    GeneralSettings after = before;
    after.LostConnectionDelay = 90;
    after.GlobalCommands = {u"set/name Op"};
    after.CommandDelay = 800;
    EXPECT_EQ(CompareGeneralSettings(before, after).nextConnectionItems,
              u"delay between commands, general commands, lost connection delay");
}

TEST(StepTabIndex, WrapsBothWays)
{
    EXPECT_EQ(StepTabIndex(3, 2, +1), 0);
    EXPECT_EQ(StepTabIndex(3, 0, -1), 2);
    EXPECT_EQ(StepTabIndex(3, 1, +1), 2);
    EXPECT_EQ(StepTabIndex(3, 3, +1), 1) << "the add tab counts as the first";
    EXPECT_EQ(StepTabIndex(3, -1, -1), 2);
    EXPECT_EQ(StepTabIndex(0, 0, 1), -1);
}

TEST(AddTabMenu, ListsTheClosedConnectionsByNameIgnoringCaseWithTheirAmpersandsDoubled)
{
    std::vector<ClosedConnectionItem> items{{u"b&c", 4}, {u"A", 7}, {u"a", 2}, {u"Zulu", 1}};
    SortByName(items);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].id, 7);
    EXPECT_EQ(items[1].id, 2) << "equal names keep their order";
    EXPECT_EQ(items[2].id, 4);
    EXPECT_EQ(items[3].id, 1);
    EXPECT_EQ(EscapeMenuText(u"b&c"), u"b&&c");
    EXPECT_EQ(EscapeMenuText(u"&&x&"), u"&&&&x&&");
}
