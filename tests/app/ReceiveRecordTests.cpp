#include <gtest/gtest.h>

#include "app/LineStyle.h"
#include "app/ReceiveRecord.h"
#include "app/ReceiveView.h"
#include "tests/app/FakeReceiveTextControl.h"

using namespace kv;
using kv::test::CFakeReceiveTextControl;
using kv::test::CFakeTime;

namespace {

struct ShownView {
    CFakeTime time;
    CFakeReceiveTextControl control{time};
    CReceiveView view{control, time};
    ShownView() { view.SetShown(true); }
};

} // namespace

TEST(ReceiveRecord, LineEndsEndLinesAndCarriageReturnsAndNulsAloneAppendNothing)
{
    ShownView pane;
    pane.view.Append(u"abc", u"", LineReceived);
    EXPECT_EQ(pane.view.Record().KeptLines(), 0);
    EXPECT_TRUE(pane.view.Record().EndsInPartialLine());
    pane.view.Append(u"def\r\n", u"", LineReceived);
    pane.view.Append(u"\r\r\r", u"", LineReceived);
    pane.view.Append(std::u16string(3, u'\0'), u"", LineReceived);
    pane.view.Append(std::u16string(u"DX de\0 K1AB\r\n", 13), u"", LineReceived);
    EXPECT_EQ(pane.view.Record().KeptLines(), 2);
    EXPECT_EQ(pane.view.Record().KeptChars(), 7 + 11);
    pane.view.UpdateAll();
    EXPECT_EQ(pane.control.Text(), u"abcdef\rDX de K1AB\r");
    EXPECT_EQ(pane.view.TextEnd(), 18);
}

// The reasons go with their characters through trimming, wherever the lines went in.
TEST(ReceiveRecord, ReasonsAreFoundByTheCharacterIndexAfterTrimmingAndAfterAWait)
{
    ShownView pane;
    pane.view.SetMaxLines(2);
    pane.view.Append(u"plain\n", u"", LineReceived);
    pane.view.Append(u"struck\n", u"DX call", LineRejected);
    pane.view.Append(u"after\n", u"", LineReceived);
    pane.view.UpdateAll();
    ASSERT_EQ(pane.control.Text(), u"struck\rafter\r");
    ASSERT_NE(pane.view.ReasonAt(0), nullptr);
    EXPECT_EQ(pane.view.ReasonAt(6)->Reason, u"DX call"); // its line end too
    EXPECT_EQ(pane.view.ReasonAt(7), nullptr);

    pane.view.SetShown(false);
    pane.view.Append(u"fi", u"", LineReceived);
    pane.view.Append(u"ve\ndup\n", u"already sent", LineDuplicate);
    pane.view.SetShown(true);
    pane.view.UpdateAll();
    ASSERT_EQ(pane.control.Text(), u"five\rdup\r");
    EXPECT_EQ(pane.view.ReasonAt(0), nullptr);
    ASSERT_NE(pane.view.ReasonAt(2), nullptr); // "ve" came with the reason
    EXPECT_EQ(pane.view.ReasonAt(2)->Reason, u"already sent");
    EXPECT_EQ(pane.view.ReasonAt(5)->Style, LineDuplicate);
    EXPECT_EQ(pane.view.ReasonAt(9), nullptr);
    EXPECT_EQ(pane.control.Styles()[5], LineDuplicate);
}
