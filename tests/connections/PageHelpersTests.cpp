#include <gtest/gtest.h>

#include "connections/CGreetingScan.h"
#include "connections/CWithheldSpots.h"
#include "connections/PageLayout.h"
#include "connections/ReceivedLines.h"
#include "connections/TransportState.h"

using namespace kv;

TEST(GreetingScan, ArClusterVersionFromItsPromptAndTheLineBudget)
{
    CGreetingScan scan;
    scan.Restart();
    EXPECT_EQ(scan.ScanGreeting(u"Hello\nWelcome to AR-Cluster node\n", Unknown), ARCluster);
    EXPECT_TRUE(scan.RefiningArCluster());
    EXPECT_EQ(scan.RefineArCluster(u"line one\nN0CALL de K1XX 12-Dec-2026 1234Z arc6>"), ARCluster6);
    EXPECT_FALSE(scan.RefiningArCluster());

    // Reconnected to a node already known as AR-Cluster 6: the version is not lost again.
    scan.Restart();
    EXPECT_EQ(scan.ScanGreeting(u"AR-Cluster\n", ARCluster6), std::nullopt);

    scan.Restart();
    EXPECT_EQ(scan.ScanGreeting(u"  dx DE K1XX: 14025.0 N4XJZ\n", DXSpider), Unknown);
    EXPECT_EQ(scan.ScanGreeting(u"DXSpider\n", Unknown), std::nullopt); // the scan is over

    scan.Restart();
    std::u16string lines;
    for (int i = 0; i < CGreetingScan::kGreetingLines - 1; ++i) lines += u"news\n";
    EXPECT_EQ(scan.ScanGreeting(lines, Unknown), std::nullopt);
    EXPECT_EQ(scan.ScanGreeting(u"last\n", Unknown), Unknown);
}

TEST(WithheldSpots, MatchedOnceWithinFiveSecondsAndBounded)
{
    CWithheldSpots spots;
    const std::string line = "DX de K8RQT: 14025.0 N4XJZ CQ 1234Z";
    spots.Record(line, "Node A", "14:07", 1000);
    spots.Record("not a spot", "Node A", "14:07", 1000);
    EXPECT_EQ(spots.Size(), 1u);
    std::u16string reason;
    EXPECT_FALSE(spots.TakeReason("DX de K8RQT: 14025.1 N4XJZ CQ 1234Z", 2000, reason));
    EXPECT_TRUE(spots.TakeReason("DX de K8RQT: 14025.04 N4XJZ other 1234Z", 2000, reason));
    EXPECT_EQ(reason, u"Already sent to Quarnel by Node A at 14:07Z (same spot)");
    EXPECT_TRUE(spots.Empty());

    spots.Record(line, "", "14:08", 1000);
    EXPECT_FALSE(spots.TakeReason(line, 6001, reason));
    EXPECT_TRUE(spots.Empty());

    for (int i = 0; i < 205; ++i) spots.Record(line, "", "14:08", 1000);
    EXPECT_EQ(spots.Size(), CWithheldSpots::kMaxRecords);
    EXPECT_TRUE(spots.TakeReason(line, 1000, reason));
    EXPECT_EQ(reason, u"Already sent to Quarnel by another connection at 14:08Z (same spot)");
}

TEST(ReceivedLines, CarriageReturnsSkimmerLinesAndFilterText)
{
    EXPECT_EQ(RemoveCarriageReturns("a\r\nb\rc\r"), "a\nb\rc\r");
    EXPECT_EQ(DropLinesContaining("x\nDX de SKIMMER-#: 1\nde skimmer\n", "de SKIMMER"), "x\nde skimmer\n");
    EXPECT_EQ(DecodeLineForFilters("caf\xe9\a\r\n"), "caf\xc3\xa9\xe2\x80\xa2\n");
    EXPECT_EQ(DecodeLineForFilters("caf\xc3\xa9"), "caf\xc3\xa9");
}

TEST(TransportState, TextsComeFromTheStringTable)
{
    EXPECT_EQ(TransportStateText(TransportState::Disconnected), u"Disconnected");
    EXPECT_EQ(TransportStateText(TransportState::Connecting), u"Connecting");
    EXPECT_EQ(TransportStateText(TransportState::Connected), u"Connected");
    EXPECT_EQ(TransportStateText(TransportState::Error), u"Error");
}

TEST(PageLayout, SendLineHeightLimitsAndFontWithoutHeight)
{
    PageLayoutMetrics metrics;
    metrics.dpi = 96;
    metrics.lineHeight = 0; // no usable font: the default height, never a division by zero
    metrics.clientHeight = 600;
    metrics.barHeight = 30;
    PageLayout layout(metrics);
    EXPECT_EQ(layout.SendEditHeight(2), 4 + 32 + 4);
    const PageLayoutRects rects = layout.Arrange(2);
    EXPECT_EQ(rects.sendTop + rects.sendHeight, 600);
    EXPECT_EQ(rects.splitterTop + 5, rects.sendTop);
    EXPECT_EQ(rects.paneHeight, rects.splitterTop - 30);

    EXPECT_EQ(layout.SendLinesForSplitterAt(600 - 5 - 3 * 16 - 8), 3);
    EXPECT_EQ(layout.SendLinesForSplitterAt(590), 1);
    // Dragged to the top: the pane keeps five lines, and never more than 20 send lines.
    const int most = layout.SendLinesForSplitterAt(0);
    EXPECT_LE(layout.SendEditHeight(most), 600 - layout.SendEditHeight(5) - 30 - 5);
    metrics.clientHeight = 2000;
    EXPECT_EQ(PageLayout(metrics).SendLinesForSplitterAt(0), 20);
}
