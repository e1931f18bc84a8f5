// What the cluster chooser shows: which nodes pass its filters, their order, the details and status lines,
// the typing that builds a search, and the embedded country list.
#include <gtest/gtest.h>

#include "base/LinkMarkup.h"
#include "directory/ClusterListTexts.h"
#include "directory/DxccEntityList.h"
#include "directory/NodeDetailsText.h"
#include "directory/NodeListFilter.h"
#include "directory/SearchTyping.h"
#include "tests/support/TestPaths.h"

using namespace kv;

namespace {

ClusterNode Node(const std::string& name, const std::string& address, int32_t port = 23, int32_t adif = 0,
                 int32_t rbn = RbnNone)
{
    ClusterNode node;
    node.Name = name;
    node.Address = address;
    node.Port = port;
    node.Adif = adif;
    node.RbnMode = rbn;
    return node;
}

std::vector<std::string> ShownNames(const std::vector<ClusterNode>& nodes, const NodeFilter& filter,
                                    const NodeSortOrder& order = {})
{
    std::vector<std::string> names;
    for (uint32_t index : SelectShownNodes(nodes, filter, order)) names.push_back(nodes[index].Name);
    return names;
}

using Names = std::vector<std::string>;

} // namespace

TEST(ClusterChooserFilter, CountryRbnAndSearchNarrowTogether)
{
    const std::vector<ClusterNode> nodes = {
        Node("K1TTT", "k1ttt.net", 7300, 291, RbnAlso), Node("DB0SUE", "db0sue.de", 8000, 230, RbnNone),
        Node("W3LPL", "dx.w3lpl.net", 7373, 291, RbnOnly), Node("VE7CC", "dxc.ve7cc.net", 23, 1, RbnAlso)};
    EXPECT_EQ(ShownNames(nodes, {}).size(), 4u);
    EXPECT_EQ(ShownNames(nodes, {291, false, u""}), (Names{"K1TTT", "W3LPL"}));
    EXPECT_EQ(ShownNames(nodes, {0, true, u""}), (Names{"K1TTT", "VE7CC", "W3LPL"}));
    EXPECT_EQ(ShownNames(nodes, {291, true, u"w3"}), (Names{"W3LPL"}));
    // Case does not matter, and the host counts as much as the name.
    EXPECT_EQ(ShownNames(nodes, {0, false, u"K1"}), (Names{"K1TTT"}));
    EXPECT_EQ(ShownNames(nodes, {0, false, u"NET"}), (Names{"K1TTT", "VE7CC", "W3LPL"}));
    EXPECT_EQ(ShownNames(nodes, {0, false, u".DE"}), (Names{"DB0SUE"}));
    EXPECT_TRUE(ShownNames(nodes, {230, true, u""}).empty());
    EXPECT_TRUE(MatchesFilter(nodes[1], {230, false, u"SUE"}));
    EXPECT_FALSE(MatchesFilter(nodes[1], {230, false, u"sue.net"}));
}

TEST(ClusterChooserFilter, SearchFindsNamesWrittenInUtf8)
{
    const std::vector<ClusterNode> nodes = {Node("OH\xC3\x85" "X", "oh.fi"), Node("OH2X", "oh2.fi")};
    EXPECT_EQ(ShownNames(nodes, {0, false, u"h\u00C5"}), (Names{"OH\xC3\x85" "X"}));
}

TEST(ClusterChooserSort, PortTwiceGoesUpThenDownWithNamesInTheSameDirection)
{
    const std::vector<ClusterNode> nodes = {Node("b", "h1.net", 23), Node("A", "h2.net", 7300),
                                            Node("a", "h3.net", 23), Node("C", "h4.net", 8000)};
    NodeSortOrder order;
    order.OnColumnClick(SortByPort);
    EXPECT_EQ(order.Column, SortByPort);
    EXPECT_FALSE(order.Descending);
    // "b" and "a" share port 23: ordered by name, in the same direction as the ports.
    EXPECT_EQ(ShownNames(nodes, {}, order), (Names{"a", "b", "A", "C"}));
    order.OnColumnClick(SortByPort);
    EXPECT_TRUE(order.Descending);
    EXPECT_EQ(ShownNames(nodes, {}, order), (Names{"C", "A", "b", "a"}));
    order.OnColumnClick(SortByHost); // another column starts ascending
    EXPECT_EQ(order.Column, SortByHost);
    EXPECT_FALSE(order.Descending);
}

TEST(ClusterChooserSort, HostsAndNamesIgnoreCaseAndEqualOnesKeepTheirOrder)
{
    const std::vector<ClusterNode> nodes = {Node("N2", "B.example.net"), Node("n1", "a.example.net"),
                                            Node("N1", "b.example.net"), Node("n1", "c.example.net")};
    NodeSortOrder byHost{SortByHost, false};
    EXPECT_EQ(ShownNames(nodes, {}, byHost), (Names{"n1", "N1", "N2", "n1"}));
    EXPECT_EQ(SelectShownNodes(nodes, {}, {}), (std::vector<uint32_t>{1, 2, 3, 0}));
    EXPECT_EQ(SelectShownNodes(nodes, {}, {SortByName, true}), (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_LT(CompareNodes(nodes[1], nodes[0], SortByName), 0);
    EXPECT_EQ(CompareNodes(nodes[1], nodes[2], SortByName), 0);
}

TEST(ClusterChooserCountries, OnlyEntitiesWithNodesInTheirListOrder)
{
    const auto entities =
        ParseDxccEntityList("1,VE - Canada\r\n230,DL - Fed. Rep. of Germany\r\n291,K - United States");
    const std::vector<ClusterNode> nodes = {Node("K1", "k.net", 23, 291), Node("V1", "v.net", 23, 1),
                                            Node("X1", "x.net", 23, 0)};
    const auto countries = CountriesOfNodes(entities, nodes);
    ASSERT_EQ(countries.size(), 2u);
    EXPECT_EQ(countries[0].Text, u"VE - Canada");
    EXPECT_EQ(countries[1].Adif, 291);
}

TEST(ClusterChooserCountries, EntityLinesWithoutAPositiveNumberAreSkipped)
{
    const auto items = ParseDxccEntityList("12ab,X - One  \r\r\nno comma\r\n,Y - Comma first\r\n0,Z - Zero\r\n"
                                           "-3,N - Negative\r\n99999999999,B - Big\r\n7,A - Seven");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Adif, 12);
    EXPECT_EQ(items[0].Text, u"X - One");
    EXPECT_EQ(items[1].Adif, INT32_MAX);
    EXPECT_EQ(items[2].Text, u"A - Seven");
}

TEST(ClusterChooserCountries, TheEmbeddedListHoldsTheCurrentEntities)
{
    const std::string text = test::ReadWholeFile(test::SourcePath("resources/dxcc_entities.txt"));
    const auto items = ParseDxccEntityList(text);
    EXPECT_EQ(items.size(), 340u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 339); // CR LF between lines, none after the last
    EXPECT_NE(std::find_if(items.begin(), items.end(),
                           [](const DxccEntityItem& i) { return i.Adif == 291 && i.Text == u"K - United States"; }),
              items.end());
}

TEST(ClusterChooserDetails, LocationJoinsOnlyThePartsThereAre)
{
    ClusterNode node;
    EXPECT_EQ(FormatNodeLocation(node), u"");
    node.Grid = "FN42";
    EXPECT_EQ(FormatNodeLocation(node), u"(FN42)");
    node.State = "MA";
    EXPECT_EQ(FormatNodeLocation(node), u"MA (FN42)");
    node.City = "Peru";
    EXPECT_EQ(FormatNodeLocation(node), u"Peru, MA (FN42)");
    node.Grid.clear();
    EXPECT_EQ(FormatNodeLocation(node), u"Peru, MA");
}

TEST(ClusterChooserDetails, PeopleAndWebsiteAsLinks)
{
    ClusterNode node;
    node.SysopName = " Joe ";
    node.Sysop = "K1ABC";
    node.Email = "joe@example.net";
    node.Url = "www.example.net/dx//";
    EXPECT_EQ(FormatNodePeople(node), u"Joe K1ABC <a href=\"mailto:joe@example.net\">joe@example.net</a>   "
                                      u"Website: <a href=\"http://www.example.net/dx//\">www.example.net/dx</a>");
    node.Publish = false; // only the website is shown
    node.Url = "https://dx.example.org/";
    EXPECT_EQ(FormatNodePeople(node), u"Website: <a href=\"https://dx.example.org/\">dx.example.org</a>");
    node.Url.clear();
    EXPECT_EQ(FormatNodePeople(node), u"");
}

TEST(ClusterChooserDetails, ValuesCannotBreakTheLinkMarkup)
{
    EXPECT_EQ(SanitizeLinkText(u"  <b>\"x\"</b> "), u"bx/b");
    ClusterNode node;
    node.Email = "a@b.c\"><ahref=\"file:///c:/x.exe"; // no blank, which would leave the link out
    node.Url = "http://x.net\"onclick=\"y";
    const std::u16string people = FormatNodePeople(node);
    EXPECT_EQ(std::count(people.begin(), people.end(), u'"'), 4); // only the two pairs of the markup itself
    EXPECT_EQ(people.find(u"<a href=\"file"), std::u16string::npos);
}

// A row whose address would not open (here: one with a right-to-left override or a zero-width blank,
// which reads as another address) shows no link for it; what else it has stays.
TEST(ClusterChooserDetails, AnAddressThatWouldNotOpenShowsNoLink)
{
    ClusterNode node;
    node.Sysop = "K1ABC";
    node.Email = "joe@example.net\xE2\x80\xAEten.elpmaxe";
    node.Url = "https://www.exa\xE2\x80\x8Bmple.net/";
    EXPECT_EQ(FormatNodePeople(node), u"K1ABC");
    node.Email = "joe@example.net";
    node.Url = "www.example.net\xEF\xBB\xBF";
    EXPECT_EQ(FormatNodePeople(node), u"K1ABC <a href=\"mailto:joe@example.net\">joe@example.net</a>");
    node.Publish = false;
    EXPECT_EQ(FormatNodePeople(node), u"");
}

TEST(ClusterChooserDetails, SoftwareOtherShowsAProgramNameOrOtherWithTheNumber)
{
    ClusterNode node;
    node.Software = "DXSpider";
    node.Version = "1.57";
    EXPECT_EQ(FormatNodeSoftware(node), u"DXSpider 1.57");
    node.Software.clear();
    EXPECT_EQ(FormatNodeSoftware(node), u"1.57");
    node.Software = "other";
    EXPECT_EQ(FormatNodeSoftware(node), u"Other 1.57");
    node.Version = "MyCluster 2";
    EXPECT_EQ(FormatNodeSoftware(node), u"MyCluster 2");
    node.Version.clear();
    EXPECT_EQ(FormatNodeSoftware(node), u"Other");
    node.Software = "ARC";
    EXPECT_EQ(FormatNodeSoftware(node), u"ARC");
}

TEST(ClusterChooserTexts, SearchLineAndItsHint)
{
    EXPECT_EQ(FormatSearchStatus(u"", 0, true, u"K - United States"), u"Type a part of a name or of a host to search");
    EXPECT_EQ(FormatSearchStatus(u"k1", 3, true, u""), u"Search: k1   (Backspace: delete, Escape: clear)");
    EXPECT_EQ(FormatSearchStatus(u"zz", 0, false, u""), u"No node matches \"zz\"   (Backspace: delete, Escape: clear)");
    EXPECT_EQ(FormatSearchStatus(u"zz", 0, true, u""),
              u"No node matches \"zz\" (RBN nodes only)   (Backspace: delete, Escape: clear)");
    EXPECT_EQ(FormatSearchStatus(u"zz", 0, true, u"K - United States"),
              u"No node matches \"zz\" (RBN nodes only, K - United States)   (Backspace: delete, Escape: clear)");
    EXPECT_EQ(FormatSearchStatus(u"zz", 0, false, u"DL - Germany"),
              u"No node matches \"zz\" (DL - Germany)   (Backspace: delete, Escape: clear)");
}

TEST(ClusterChooserTexts, CountsAndUpdateOutcome)
{
    EXPECT_EQ(FormatListCounts(u"cluster.dat", u"", 12, 3), u"cluster.dat: 12 nodes, 3 shown");
    EXPECT_EQ(FormatListCounts(u"DXCLUSTER_NODES.CSV", u"2025-01-31", 900, 900),
              u"DXCLUSTER_NODES.CSV, release 2025-01-31: 900 nodes, 900 shown");
    EXPECT_EQ(FormatUpdateOutcome(0, u""), u"The list is up to date");
    EXPECT_EQ(FormatUpdateOutcome(1, u""), u"New list downloaded");
    EXPECT_EQ(FormatUpdateOutcome(2, u"HTTP 404"), u"Failed: HTTP 404");
}

TEST(ClusterChooserTyping, QuickTypingBuildsASearchAndAPauseStartsANewOne)
{
    CTypeToSearch search;
    EXPECT_TRUE(search.OnChar(u'k'));
    EXPECT_TRUE(search.OnChar(u'1'));
    EXPECT_EQ(search.Text(), u"k1");
    search.OnPause();
    EXPECT_TRUE(search.OnChar(u'w'));
    EXPECT_EQ(search.Text(), u"w");
    // Blanks, control characters and DEL are not searchable and leave the text alone.
    EXPECT_FALSE(search.OnChar(u' '));
    EXPECT_FALSE(search.OnChar(u'\t'));
    EXPECT_FALSE(search.OnChar(char16_t(0x7F)));
    EXPECT_EQ(search.Text(), u"w");
}

TEST(ClusterChooserTyping, BackspaceRemovesWholeCharactersAndNothingWhenEmpty)
{
    CTypeToSearch search;
    EXPECT_FALSE(search.OnBackspace());
    search.OnChar(u'a');
    search.OnChar(char16_t(0xD83D));
    search.OnChar(char16_t(0xDCE1)); // one character outside the basic plane
    search.OnPause();
    EXPECT_TRUE(search.OnBackspace());
    EXPECT_FALSE(search.RestartPending()); // a correction continues the search
    EXPECT_EQ(search.Text(), u"a");
    search.Clear();
    EXPECT_EQ(search.Text(), u"");
}

TEST(ClusterChooserTyping, CountryTypeAheadRestartsAfterAPause)
{
    const std::vector<std::u16string> items = {u"Any", u"DL - Fed. Rep. of Germany", u"K - United States",
                                               u"KH6 - Hawaii"};
    CTypeAhead typeAhead;
    EXPECT_EQ(FindFirstWithPrefix(items, typeAhead.OnChar(u'k', 10000)), 2);
    EXPECT_EQ(FindFirstWithPrefix(items, typeAhead.OnChar(u'h', 11000)), 3);
    EXPECT_EQ(typeAhead.Prefix(), u"kh");
    EXPECT_EQ(FindFirstWithPrefix(items, typeAhead.OnChar(u'a', 12501)), 0); // "Any" counts too
    EXPECT_EQ(FindFirstWithPrefix(items, typeAhead.OnChar(u'x', 12600)), -1);
}

TEST(LinkMarkupSplit, LinksLoseTheirAttributesAndKeepTheirAddressesInOrder)
{
    const LinkMarkup parts = SplitLinkMarkup(u"Joe <a href=\"mailto:j@x.net\">j@x.net</a>   Website: "
                                             u"<A HREF='http://a>b'>a</A> <a>bare</a> <b>bold</b> <a");
    EXPECT_EQ(parts.Text, u"Joe <a>j@x.net</a>   Website: <a>a</A> <a>bare</a> <b>bold</b> <a");
    EXPECT_EQ(parts.Urls, (std::vector<std::u16string>{u"mailto:j@x.net", u"http://a>b", u""}));
    EXPECT_EQ(SplitLinkMarkup(u"<a href=x.net id=1>x</a>").Urls, (std::vector<std::u16string>{u"x.net"}));
    EXPECT_EQ(SplitLinkMarkup(u"plain <abbr> and <a href=\"unclosed").Text, u"plain <abbr> and <a href=\"unclosed");
}
