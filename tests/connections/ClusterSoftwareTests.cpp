#include <gtest/gtest.h>

#include "connections/ClusterSoftware.h"
#include "connections/LinkTable.h"

using namespace kv;

TEST(ClusterSoftware, GreetingsNameTheirSoftware)
{
    EXPECT_EQ(IdentifyClusterSoftware(u"Hello K1ABC, this is GB7DJK in Dover running DXSpider V1.57"), DXSpider);
    EXPECT_EQ(IdentifyClusterSoftware(u"Welcome to the DX Spider cluster"), DXSpider);
    EXPECT_EQ(IdentifyClusterSoftware(u"W3LPL node Running CLX 6.0"), CLX);
    EXPECT_EQ(IdentifyClusterSoftware(u"CLX gateway"), CLX);
    EXPECT_EQ(IdentifyClusterSoftware(u"K1TTT clx >"), CLX);
    EXPECT_EQ(IdentifyClusterSoftware(u"CW Skimmer Server"), CwSkimmer);
    EXPECT_EQ(IdentifyClusterSoftware(u"Welcome to CWSKIMMER"), CwSkimmer);
    EXPECT_EQ(IdentifyClusterSoftware(u"Welcome to VE7CC-1, CC-Cluster"), CCCluster);
    EXPECT_EQ(IdentifyClusterSoftware(u"cc cluster v4"), CCCluster);
    EXPECT_EQ(IdentifyClusterSoftware(u"GoCluster 1.2 ready"), GoCluster);
    EXPECT_EQ(IdentifyClusterSoftware(u"pyCluster 0.9 at DB0ABC"), PyCluster);
    EXPECT_EQ(IdentifyClusterSoftware(u"DxNet 7.2"), DxNet);
    EXPECT_EQ(IdentifyClusterSoftware(u"AR-Cluster node N4ABC"), ARCluster);
    // Row order decides: AR-Cluster stands before DxNet.
    EXPECT_EQ(IdentifyClusterSoftware(u"AR-Cluster linked to DxNet nodes"), ARCluster);
    EXPECT_EQ(IdentifyClusterSoftware(u"login:"), Unknown);
    EXPECT_EQ(IdentifyClusterSoftware(u""), Unknown);
}

TEST(ClusterSoftware, QuotingLinesAreNeverSearched)
{
    EXPECT_EQ(IdentifyClusterSoftware(u"DX de K1ABC:     14025.0  DL1XYZ       dxspider test     1200Z"), Unknown);
    EXPECT_EQ(IdentifyClusterSoftware(u"  dx DE K1ABC: 7010.0 DL1XYZ dxspider"), Unknown);
    EXPECT_EQ(IdentifyClusterSoftware(u"\tTO ALL de K1ABC: running clx"), Unknown);
    EXPECT_EQ(IdentifyClusterSoftware(u"WWV de W1AW <18>: ar-cluster"), Unknown);
    EXPECT_EQ(IdentifyClusterSoftware(u"wcy DE DK0WCY <12> : dxnet"), Unknown);
    // Only at the start: elsewhere the words do not hide a signature.
    EXPECT_EQ(IdentifyClusterSoftware(u"node says dx de here, DXSpider"), DXSpider);
}

TEST(ClusterSoftware, ArClusterVersionFromThePrompt)
{
    EXPECT_EQ(RefineArClusterVersion(ARCluster, u"N4ABC-2 de ARC6> "), ARCluster6);
    EXPECT_EQ(RefineArClusterVersion(ARCluster, u"K1ABC arc >\a"), ARCluster4);
    EXPECT_EQ(RefineArClusterVersion(ARCluster, u"K1ABC ARC>\r\a \t"), ARCluster4);
    EXPECT_EQ(RefineArClusterVersion(ARCluster, u"K1ABC>"), ARCluster);
    EXPECT_EQ(RefineArClusterVersion(ARCluster, u"arc>"), ARCluster); // no blank before it
    EXPECT_EQ(RefineArClusterVersion(ARCluster, u""), ARCluster);
    EXPECT_EQ(RefineArClusterVersion(ARCluster6, u"x arc>"), ARCluster4);
    EXPECT_EQ(RefineArClusterVersion(ARCluster4, u"hello"), ARCluster4);
    EXPECT_EQ(RefineArClusterVersion(DXSpider, u"de arc6>"), DXSpider);
    EXPECT_EQ(RefineArClusterVersion(Unknown, u"de arc6>"), Unknown);
}

TEST(ClusterSoftware, PromptFollowedByABellShownAsABullet)
{
    // The page's decoded text shows BEL as U+2022.
    EXPECT_EQ(RefineArClusterVersion(ARCluster, u"N4ABC de arc6>\u2022"), ARCluster6);
    EXPECT_EQ(RefineArClusterVersion(ARCluster, u"N4ABC arc >\u2022 \u2022"), ARCluster4);
    EXPECT_EQ(RefineArClusterVersion(ARCluster, u"N4ABC\u2022arc>"), ARCluster); // only at the end
}

TEST(ClusterSoftware, NamesAndDocumentationKeys)
{
    EXPECT_EQ(GetClusterSoftwareName(Unknown), u"");
    EXPECT_EQ(GetClusterSoftwareName(ClusterSoftwareId(11)), u"");
    EXPECT_EQ(GetClusterSoftwareName(ARCluster6), u"AR-Cluster 6");
    EXPECT_EQ(GetClusterSoftwareName(PyCluster), u"pyCluster");
    EXPECT_EQ(GetSoftwareDocKey(u"pyCluster"), u"DocPyCluster");
    EXPECT_EQ(GetSoftwareDocKey(u""), u"Doc");

    const auto keys = GetSoftwareDocKeys();
    const std::vector<std::u16string> expected = {u"DocPyCluster", u"DocDXSpider",  u"DocARCluster",
                                                  u"DocARCluster4", u"DocCCCluster", u"DocDxNet",
                                                  u"DocGoCluster", u"DocCLX",       u"DocCwSkimmer"};
    ASSERT_EQ(keys.size(), expected.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].first, expected[i]);
        EXPECT_EQ(GetSoftwareDocKey(keys[i].second), keys[i].first);
    }
    for (unsigned i = 0; i < ClusterSoftwareTableSize; ++i) {
        const std::u16string url = ClusterSoftwareTable[i].DocUrl;
        EXPECT_TRUE(url.starts_with(u"http://") || url.starts_with(u"https://"));
    }
}

TEST(ClusterSoftware, DocumentationLinksComeFromTheLinksStore)
{
    ClearLinkTable();
    EXPECT_EQ(GetSoftwareDocUrl(DXSpider), ClusterSoftwareTable[1].DocUrl);
    EXPECT_EQ(GetSoftwareDocUrl(Unknown), u"");
    SetLink(u"DocARCluster", u"https://arc.test/docs");
    SetLink(u"DocARCluster4", u"https://arc.test/v4");
    // AR-Cluster and AR-Cluster 6 share one link.
    EXPECT_EQ(GetSoftwareDocUrl(ARCluster), u"https://arc.test/docs");
    EXPECT_EQ(GetSoftwareDocUrl(ARCluster6), u"https://arc.test/docs");
    EXPECT_EQ(GetSoftwareDocUrl(ARCluster4), u"https://arc.test/v4");
    ClearLinkTable();
}
