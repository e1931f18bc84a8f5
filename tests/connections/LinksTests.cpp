#include <gtest/gtest.h>

#include "connections/Links.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;
using kv::test::CTempDir;

namespace {

const SoftwareDocKeys kDocKeys = {
    {u"DocPyCluster", u"pyCluster"}, {u"DocDXSpider", u"DXSpider"},   {u"DocARCluster", u"ARCluster"},
    {u"DocARCluster4", u"ARCluster4"}, {u"DocCCCluster", u"CCCluster"}, {u"DocDxNet", u"DxNet"},
    {u"DocGoCluster", u"GoCluster"},   {u"DocCLX", u"CLX"},             {u"DocCwSkimmer", u"CwSkimmer"},
};

} // namespace

class LinksTest : public testing::Test {
protected:
    void TearDown() override { ClearLinkTable(); }

    CTempDir dir;
    std::u16string defaultPath = dir.File(u"Kestrivane.ini");
    std::u16string chosenPath = dir.File(u"Contest.ini");
    CIniFile defaultIni{defaultPath};
    CIniFile chosenIni{chosenPath};
};

TEST_F(LinksTest, AFileWithoutLinksGainsTheTwelveKeysEmpty)
{
    ASSERT_TRUE(test::WriteFileBytes(defaultPath, "[General]\r\nFontSize=10\r\n"));
    LoadLinks(defaultPath, defaultPath, kDocKeys);
    const auto keys = defaultIni.KeysOf(u"Links");
    EXPECT_EQ(keys, GetLinkKeys(kDocKeys));
    ASSERT_EQ(keys.size(), 12u);
    for (const auto& key : keys) {
        EXPECT_EQ(defaultIni.Read(u"Links", key), u"");
        EXPECT_EQ(GetLink(key, u"fallback"), u"fallback");
    }
    EXPECT_NE(test::ReadFileBytes(defaultPath).find("NodeListUrl=\r\n"), std::string::npos);
}

TEST_F(LinksTest, EmptyValuesStayUntouchedAndValuesAreTrimmedAndLookedUpExactly)
{
    ASSERT_TRUE(test::WriteFileBytes(defaultPath, "[Links]\r\nNodeListUrl=\r\nDxSummitHost=  summit.test  \r\n"));
    LoadLinks(defaultPath, defaultPath, kDocKeys);
    EXPECT_EQ(GetLink(u"NodeListUrl", u"https://default/"), u"https://default/");
    EXPECT_EQ(defaultIni.Read(u"Links", u"NodeListUrl"), u"");
    EXPECT_EQ(GetLink(u"DxSummitHost", u"x"), u"summit.test");
    EXPECT_EQ(GetLink(u"dxsummithost", u"x"), u"x");
    EXPECT_EQ(defaultIni.Read(u"Links", u"DxSummitHost"), u"summit.test");
}

TEST_F(LinksTest, ClusterDocsOfTheChosenFileMoveToTheDefaultFile)
{
    ASSERT_TRUE(test::WriteFileBytes(chosenPath, "[ClusterDocs]\r\nDXSpider=https://spider.test/\r\n"
                                                 "CLX=https://clx.test/\r\n[General]\r\nFontSize=9\r\n"));
    ASSERT_TRUE(test::WriteFileBytes(defaultPath, "[Links]\r\nDocCLX=https://kept.test/\r\n"));
    LoadLinks(defaultPath, chosenPath, kDocKeys);
    EXPECT_EQ(defaultIni.Read(u"Links", u"DocDXSpider"), u"https://spider.test/");
    EXPECT_EQ(GetLink(u"DocDXSpider", u"x"), u"https://spider.test/");
    // A link already set is never overwritten, and the old section goes all the same.
    EXPECT_EQ(GetLink(u"DocCLX", u"x"), u"https://kept.test/");
    EXPECT_TRUE(chosenIni.KeysOf(u"ClusterDocs").empty());
    EXPECT_EQ(chosenIni.Read(u"General", u"FontSize"), u"9");
    EXPECT_TRUE(defaultIni.KeysOf(u"ClusterDocs").empty());
}

TEST_F(LinksTest, ClusterDocsOfTheDefaultFileMoveWithinIt)
{
    ASSERT_TRUE(test::WriteFileBytes(defaultPath, "[ClusterDocs]\r\npyCluster=https://py.test/\r\n"
                                                  "ARCluster=  https://ar.test/ \r\n[Links]\r\nDocARCluster=\r\n"));
    LoadLinks(defaultPath, defaultPath, kDocKeys);
    EXPECT_EQ(GetLink(u"DocPyCluster", u"x"), u"https://py.test/");
    EXPECT_EQ(GetLink(u"DocARCluster", u"x"), u"https://ar.test/");
    EXPECT_TRUE(defaultIni.KeysOf(u"ClusterDocs").empty());
}

TEST_F(LinksTest, ClusterDocsStayWhenTheTargetCannotBeWritten)
{
    ASSERT_TRUE(test::WriteFileBytes(chosenPath, "[ClusterDocs]\r\nDXSpider=https://spider.test/\r\n"));
    const std::u16string unwritable = dir.File(u"missing-folder\\Kestrivane.ini");
    MigrateClusterDocs(chosenPath, unwritable, kDocKeys);
    EXPECT_EQ(chosenIni.Read(u"ClusterDocs", u"DXSpider"), u"https://spider.test/");
}
