#include <gtest/gtest.h>

#include "connections/FormatInternetError.h"
#include "connections/LinkTable.h"

using namespace kv;

TEST(FormatInternetError, KnownCodesAreNamedOthersGiveTheNumberAlone)
{
    EXPECT_EQ(FormatInternetError(12002), u"error 12002: timed out");
    EXPECT_EQ(FormatInternetError(12007), u"error 12007: host name not found");
    EXPECT_EQ(FormatInternetError(12031), u"error 12031: connection reset");
    EXPECT_EQ(FormatInternetError(12170), u"error 12170: invalid server certificate");
    EXPECT_EQ(FormatInternetError(14), u"error 14: not enough memory");
    EXPECT_EQ(FormatInternetError(12001), u"error 12001");
    EXPECT_EQ(FormatInternetError(4294967295ul), u"error 4294967295");
}

TEST(LinkTable, LookupsAreExactAndFallBackToTheCallersDefault)
{
    ClearLinkTable();
    SetLink(u"NodeListUrl", u"https://nodes.example/list.csv");
    SetLink(u"DxSummitHost", u"");
    EXPECT_EQ(GetLink(u"NodeListUrl", u"default"), u"https://nodes.example/list.csv");
    EXPECT_EQ(GetLink(u"nodelisturl", u"default"), u"default");
    EXPECT_EQ(GetLink(u"DxSummitHost", u"dxsummit.example"), u"dxsummit.example");
    ClearLinkTable();
    EXPECT_EQ(GetLink(u"NodeListUrl", u"default"), u"default");
}
