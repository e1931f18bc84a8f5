#include <gtest/gtest.h>

#include "app/ConnectionForm.h"
#include "base/DecimalDottedQuad.h"
#include "directory/ClusterNodeList.h"

using namespace kv;

namespace {

const std::string kHeader = "Node,Address,Port,Active,ADIF,Skimmer,City,Publish,Name\r\n";

ClusterNodeList ParseCsvRows(const std::string& rows)
{
    ClusterNodeList list;
    EXPECT_TRUE(list.Parse("2025-01-31\r\n" + kHeader + rows));
    EXPECT_TRUE(list.IsCsv);
    return list;
}

std::vector<std::string> Names(const ClusterNodeList& list)
{
    std::vector<std::string> names;
    for (const auto& node : list.Nodes) names.push_back(node.Name);
    return names;
}

} // namespace

TEST(ClusterNodeListCsv, ReadsTheColumnsOfAnActiveRow)
{
    const auto list = ParseCsvRows("K1TTT-2,dx.example.net,7300,yes,291,also,Peru MA,No,Joe\r\n");
    EXPECT_EQ(list.Release, "2025-01-31");
    ASSERT_EQ(list.Nodes.size(), 1u);
    const ClusterNode& node = list.Nodes[0];
    EXPECT_EQ(node.Name, "K1TTT-2");
    EXPECT_EQ(node.Address, "dx.example.net");
    EXPECT_EQ(node.Port, 7300);
    EXPECT_EQ(node.Adif, 291);
    EXPECT_EQ(node.RbnMode, RbnAlso);
    EXPECT_EQ(node.City, "Peru MA");
    EXPECT_EQ(node.SysopName, "Joe");
    EXPECT_FALSE(node.Publish);
    EXPECT_EQ(node.Fields.size(), 9u);
}

TEST(ClusterNodeListCsv, TakesOnlyRowsActiveYesInAnyCase)
{
    const auto list = ParseCsvRows("A1,h.net,23,YES\r\nB1,h.net,23,no\r\nC1,h.net,23,\r\nD1,h.net,23,Yes\r\n");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A1", "D1"}));
}

TEST(ClusterNodeListCsv, WithoutAnActiveColumnEveryRowCounts)
{
    ClusterNodeList list;
    ASSERT_TRUE(list.Parse("7\nnode,address\nA1,h.net\nB1,h.net\n"));
    EXPECT_EQ(list.Nodes.size(), 2u);
}

TEST(ClusterNodeListCsv, DropsRowsWithAWrongPortHostOrNameOnly)
{
    const auto list = ParseCsvRows("P0,h.net,0,yes\r\nP1,h.net,65536,yes\r\nP2,h.net,+23,yes\r\n"
                                   "P3,h.net,123456,yes\r\nP4,h.net,,yes\r\nP5,h..net,23,yes\r\n,h.net,23,yes\r\n"
                                   "P6,h.net,65535,yes\r\n");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"P4", "P6"}));
    EXPECT_EQ(list.Nodes[0].Port, 23);
    EXPECT_EQ(list.Nodes[1].Port, 65535);
}

TEST(ClusterNodeListCsv, OddAdifSkimmerAndPublishValuesFallBackWithoutLosingTheRow)
{
    const auto list = ParseCsvRows("A1,h.net,23,yes,12345,ONLY,,false\r\nA2,h.net,23,yes,2x,maybe\r\nA3,h.net\r\n");
    ASSERT_EQ(list.Nodes.size(), 2u); // A3 has no Active value
    EXPECT_EQ(list.Nodes[0].Adif, 0);
    EXPECT_EQ(list.Nodes[0].RbnMode, RbnOnly);
    EXPECT_TRUE(list.Nodes[0].Publish);
    EXPECT_EQ(list.Nodes[1].Adif, 0);
    EXPECT_EQ(list.Nodes[1].RbnMode, RbnNone);
    EXPECT_TRUE(list.Nodes[1].Publish);
}

TEST(ClusterNodeListCsv, ColumnsStandInAnyOrderAndTheFirstOfTwoWins)
{
    ClusterNodeList list;
    ASSERT_TRUE(list.Parse("1\nextra,ADDRESS,node,Node\nx,h.net,A1,B1\n"));
    ASSERT_EQ(list.Nodes.size(), 1u);
    EXPECT_EQ(list.Nodes[0].Name, "A1");
}

TEST(ClusterNodeListCsv, AHeaderWithoutNodeOrAddressFailsAndLeavesTheListEmpty)
{
    ClusterNodeList list;
    EXPECT_FALSE(list.Parse("1\nNode,Host\nA1,h.net\n"));
    EXPECT_FALSE(list.Parse("1\nNodes,Address,Name\nA1,h.net\n")); // "nodes" is not "node"
    EXPECT_TRUE(list.Nodes.empty());
    EXPECT_TRUE(list.Release.empty());
    EXPECT_FALSE(list.IsCsv);
}

TEST(ClusterNodeListCsv, ReleaseAndHeaderAloneGiveAnEmptyListAndCommentsAreSkipped)
{
    ClusterNodeList list;
    ASSERT_TRUE(list.Parse("# made by hand\n2026-12-01\n#\nNode,Address\n"));
    EXPECT_TRUE(list.IsCsv);
    EXPECT_TRUE(list.Nodes.empty());
    EXPECT_EQ(list.Release, "2026-12-01");
}

TEST(SplitCsvLine, QuotesEncloseDoubledQuotesAndBlanksAreTrimmed)
{
    EXPECT_EQ(SplitCsvLine("\"a\"\"b\",  \" x \" ,c"), (std::vector<std::string>{"a\"b", "x", "c"}));
    EXPECT_EQ(SplitCsvLine("\"1,2\",x\"y\"z"), (std::vector<std::string>{"1,2", "xyz"}));
    EXPECT_EQ(SplitCsvLine(""), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitCsvLine("a,"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitCsvLine("\"open,\r"), (std::vector<std::string>{"open,"})); // kept inside quotes, then trimmed
    EXPECT_EQ(SplitCsvLine("a\r\n,b"), (std::vector<std::string>{"a", "b"}));
}

TEST(TrimNodeField, KeepsALeadingCarriageReturn)
{
    EXPECT_EQ(TrimNodeField(" \tab c\t \r\r"), "ab c");
    EXPECT_EQ(TrimNodeField("\rx"), "\rx");
}

TEST(ClusterNodeListFormat, IsToldFromTheContent)
{
    ClusterNodeList list;
    ASSERT_TRUE(list.Parse("2025-01-31\nNode,Address\nA1,h.net\n"));
    EXPECT_TRUE(list.IsCsv);
    ASSERT_TRUE(list.Parse("2025,01\nNode,Address\nA1,h.net\n"));
    EXPECT_FALSE(list.IsCsv); // a comma in the first line: legacy
    ASSERT_TRUE(list.Parse("Release 7\nNode,Address\nA1,h.net\n"));
    EXPECT_FALSE(list.IsCsv); // a letter first: legacy, where "Node,Address" reads as a node on host "Address"
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A1", "Node"}));
    ASSERT_TRUE(list.Parse("\xEF\xBB\xBF" "2025-01-31\r\nNode,Address\r\nA1,h.net\r\n"));
    EXPECT_TRUE(list.IsCsv); // the byte order mark of a file saved on Windows
    EXPECT_EQ(list.Release, "2025-01-31");
}

TEST(ClusterNodeListLegacy, ReadsNamesHostsPortsRbnMarksAndTheRelease)
{
    ClusterNodeList list;
    ASSERT_TRUE(list.Parse("# Release 7\r\nW3LPL (+RBN), w3lpl.example.net\r\n(+rbn),h.net,7000\r\n"
                           "# release\r\nN1,10.0.0.1,8000,extra\r\nN2,h.net,99999\r\nN3\r\n"));
    EXPECT_FALSE(list.IsCsv);
    EXPECT_EQ(list.Release, "7");
    ASSERT_EQ(Names(list), (std::vector<std::string>{"(+rbn)", "N1", "W3LPL"}));
    EXPECT_EQ(list.Nodes[0].RbnMode, RbnNone);
    EXPECT_EQ(list.Nodes[0].Port, 7000);
    EXPECT_EQ(list.Nodes[1].Port, 8000);
    EXPECT_EQ(list.Nodes[1].Fields.size(), 4u);
    EXPECT_EQ(list.Nodes[2].RbnMode, RbnAlso);
    EXPECT_EQ(list.Nodes[2].Port, 23);
}

TEST(ClusterNodeListLegacy, AFileWithoutValidLinesIsAnEmptyList)
{
    ClusterNodeList list;
    ASSERT_TRUE(list.Parse("just words\n\n#comment\nA,bad_host\n"));
    EXPECT_TRUE(list.Nodes.empty());
    EXPECT_TRUE(list.Parse(""));
}

TEST(ClusterNodeListLegacy, ANewParseReplacesTheWholeContent)
{
    ClusterNodeList list;
    ASSERT_TRUE(list.Parse("1\nNode,Address\nA1,h.net\n"));
    ASSERT_TRUE(list.Parse("B1,h.net\n"));
    EXPECT_FALSE(list.IsCsv);
    EXPECT_TRUE(list.Release.empty());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B1"}));
}

TEST(IsValidHost, AcceptsAddressesAndHostNamesOnly)
{
    for (const char* good : {"010.001.002.003", "1.2.3.4", "dx-cluster.example.net", "1.2.3.a4", "localhost",
                             "0.0.0.0"})
        EXPECT_TRUE(IsValidHost(good)) << good;
    for (const char* bad : {"", "256.1.1.1", "1.2.3", "1.2.3.4.5", "1..2.3", "1.2.3.0004", "-a.net", "a-.net",
                            "a..net", "a.net.", ".a.net", "a_b.net", "a b.net", "h\xc3\xa9.net"})
        EXPECT_FALSE(IsValidHost(bad)) << bad;
    EXPECT_TRUE(IsValidHost(std::string(63, 'a') + ".net"));
    EXPECT_FALSE(IsValidHost(std::string(64, 'a') + ".net"));
    const std::string label(49, 'a');
    const std::string longest = label + "." + label + "." + label + "." + label + "." + label + ".a";
    ASSERT_EQ(longest.size(), 251u);
    EXPECT_TRUE(IsValidHost(longest + "b"));
    EXPECT_TRUE(IsValidHost(longest + "bc"));
    EXPECT_FALSE(IsValidHost(longest + "bcd"));
}

// Resolvers read "010" as octal 8: an accepted dotted quad is kept in decimal, from the node list and from the
// connection settings alike, while host names and what is no quad stay as they were.
TEST(DecimalDottedQuad, AcceptedAddressesAreKeptInDecimal)
{
    EXPECT_EQ(DecimalDottedQuad("127.0.0.010"), "127.0.0.10");
    EXPECT_EQ(DecimalDottedQuad("010.001.002.000"), "10.1.2.0");
    EXPECT_EQ(DecimalDottedQuad("0127.00000.0.255"), "127.0.0.255");
    EXPECT_EQ(DecimalDottedQuad(u"127.000.000.001"), u"127.0.0.1");
    for (const char* kept : {"1.2.3.4", "256.1.1.1", "1.2.3.0256", "1.2.3.99999999999999999999", "1.2.3",
                             "1.2.3.4.5", "1..2.3", ".1.2.3", "1.2.3.", "1.2.3.a4", "010.example.net", "0x7f.0.0.1",
                             "", "localhost"})
        EXPECT_EQ(DecimalDottedQuad(kept), kept);

    const ClusterNodeList csv = ParseCsvRows("A1,010.001.002.003,7300,yes\r\nB1,dx010.example.net,,yes\r\n");
    ASSERT_EQ(csv.Nodes.size(), 2u);
    EXPECT_EQ(csv.Nodes[0].Address, "10.1.2.3");
    EXPECT_EQ(csv.Nodes[0].Fields[1], "010.001.002.003"); // the row as read
    EXPECT_EQ(csv.Nodes[1].Address, "dx010.example.net");
    ClusterNodeList legacy;
    ASSERT_TRUE(legacy.Parse("C1,127.0.0.010,8000\n"));
    ASSERT_EQ(legacy.Nodes.size(), 1u);
    EXPECT_EQ(legacy.Nodes[0].Address, "127.0.0.10");

    ConnectionForm form;
    form.Name = u"Alpha";
    form.Host = u" 127.0.0.010:7300 ";
    form.Login = u"F6ABC";
    TidyConnectionForm(form);
    ASSERT_EQ(CheckConnectionForm(form, {}).Field, ConnectionField::None);
    CConnectionSettings stored;
    StoreConnectionForm(form, stored);
    EXPECT_EQ(stored.Host, u"127.0.0.10");
    EXPECT_EQ(stored.Port, 7300);
}

TEST(ParseNodePort, GivesTheValueReadEvenWhenOutOfRange)
{
    int port = -1;
    EXPECT_FALSE(ParseNodePort("65536", port));
    EXPECT_EQ(port, 65536);
    EXPECT_FALSE(ParseNodePort("0", port));
    EXPECT_EQ(port, 0);
    EXPECT_TRUE(ParseNodePort("00023", port));
    EXPECT_EQ(port, 23);
    EXPECT_FALSE(ParseNodePort(" 23", port));
    EXPECT_FALSE(ParseNodePort("-1", port));
}

TEST(CompareNodeNames, SortsWithoutRegardToCaseAndKeepsFileOrderOfEqualNames)
{
    ClusterNodeList list;
    ASSERT_TRUE(list.Parse("b,h.net\nA,h.net,1\na,h.net,2\nab,h.net\n\xc3\xa9,h.net\nZ,h.net\n"));
    ASSERT_EQ(Names(list), (std::vector<std::string>{"A", "a", "ab", "b", "Z", "\xc3\xa9"}));
    EXPECT_EQ(list.Nodes[0].Port, 1);
}

TEST(Utf8ToCString, ConvertsAndReplacesMalformedBytes)
{
    EXPECT_EQ(Utf8ToCString("Z\xc3\xbcrich"), u"Z\u00fcrich");
    EXPECT_EQ(Utf8ToCString("a\xff"), u"a\ufffd");
}
