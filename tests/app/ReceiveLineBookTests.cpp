#include <gtest/gtest.h>

#include "app/LineStyle.h"
#include "app/PendingPaneText.h"
#include "app/ReceiveLineBook.h"

using namespace kv;

TEST(ReceiveLineBook, LineEndsBecomeParagraphEndsAndALineIsCountedOnceWhole)
{
    CReceiveLineBook book;
    auto first = book.TakeBlock(u"abc");
    EXPECT_EQ(first.text, u"abc");
    EXPECT_EQ(first.newLines, 0);
    EXPECT_TRUE(book.LineLengths().empty());
    auto second = book.TakeBlock(u"def\n");
    EXPECT_EQ(second.text, u"def\r");
    EXPECT_EQ(second.newLines, 1);
    ASSERT_EQ(book.LineLengths().size(), 1u);
    EXPECT_EQ(book.LineLengths()[0], 7);
    EXPECT_EQ(book.PartialLineLength(), 0);

    auto crlf = book.TakeBlock(u"a\r\nb\r\n");
    EXPECT_EQ(crlf.text, u"a\rb\r");
    EXPECT_EQ(crlf.newLines, 2);
    EXPECT_EQ(book.LineLengths()[1], 2);
    EXPECT_EQ(book.LineLengths()[2], 2);
    EXPECT_EQ(book.AppendedChars(), 11);
}

TEST(ReceiveLineBook, CarriageReturnsAndNulsAloneAppendNothing)
{
    CReceiveLineBook book;
    EXPECT_TRUE(book.TakeBlock(u"\r\r\r").text.empty());
    EXPECT_TRUE(book.TakeBlock(std::u16string(3, u'\0')).text.empty());
    EXPECT_EQ(book.AppendedChars(), 0);
    EXPECT_EQ(book.PartialLineLength(), 0);
    book.AddReason(0, book.AppendedChars(), u"nothing appended", LineRejected);
    EXPECT_TRUE(book.Reasons().empty());
    // A NUL inside a line is dropped, so the counted length is what the control holds.
    auto block = book.TakeBlock(std::u16string(u"DX de\0 K1AB\n", 12));
    EXPECT_EQ(block.text, u"DX de K1AB\r");
    EXPECT_EQ(book.LineLengths().back(), 11);
    EXPECT_EQ(book.AppendedChars(), 11);
}

TEST(ReceiveLineBook, TrimmingKeepsTheLastLinesAndForgetsReasonsOnlyWhenWhollyGone)
{
    CReceiveLineBook book;
    book.SetMaxLines(3);
    int64_t start = book.AppendedChars();
    book.TakeBlock(u"line 1\n"); // 7 chars
    book.AddReason(start, book.AppendedChars(), u"spotter call", LineRejected);
    start = book.AppendedChars();
    book.TakeBlock(u"line 2\nline");
    book.AddReason(start, book.AppendedChars(), u"dupe", LineDuplicate);
    book.TakeBlock(u" 3\n");
    EXPECT_EQ(book.TrimExcessLines(), 0);

    book.TakeBlock(u"line 4\n");
    EXPECT_EQ(book.TrimExcessLines(), 7); // the first line leaves
    EXPECT_EQ(book.TrimmedChars(), 7);
    EXPECT_EQ(book.LineLengths().size(), 3u);
    ASSERT_EQ(book.Reasons().size(), 1u); // the second block only partly gone: kept
    EXPECT_EQ(book.Reasons()[0].Reason, u"dupe");

    book.TakeBlock(u"line 5\n");
    EXPECT_EQ(book.TrimExcessLines(), 7);
    ASSERT_EQ(book.Reasons().size(), 1u); // "line" of its block is still there
    book.TakeBlock(u"line 6\n");
    EXPECT_EQ(book.TrimExcessLines(), 7);
    EXPECT_TRUE(book.Reasons().empty());
    EXPECT_EQ(book.AppendedChars() - book.TrimmedChars(), 21);
}

TEST(ReceiveLineBook, ReasonsAreFoundByTheCharacterIndexAfterTrimming)
{
    CReceiveLineBook book;
    book.SetMaxLines(2);
    book.TakeBlock(u"plain\n"); // 0..6
    int64_t start = book.AppendedChars();
    book.TakeBlock(u"struck\n"); // 6..13
    book.AddReason(start, book.AppendedChars(), u"DX call", LineRejected);
    book.TakeBlock(u"after\n"); // 13..19
    start = book.AppendedChars();
    book.TakeBlock(u"dup\n"); // 19..23
    book.AddReason(start, book.AppendedChars(), u"already sent", LineDuplicate);

    EXPECT_EQ(book.FindReason(0), nullptr);
    ASSERT_NE(book.FindReason(6), nullptr);
    EXPECT_EQ(book.FindReason(12)->Reason, u"DX call");
    EXPECT_EQ(book.FindReason(13), nullptr);
    EXPECT_EQ(book.FindReason(22)->Style, LineDuplicate);
    EXPECT_EQ(book.FindReason(23), nullptr);

    EXPECT_EQ(book.TrimExcessLines(), 13);
    // The control's index 0 is now "after"; "dup" starts at 6.
    EXPECT_EQ(book.FindReason(0), nullptr);
    ASSERT_NE(book.FindReason(6), nullptr);
    EXPECT_EQ(book.FindReason(6)->Reason, u"already sent");
    EXPECT_EQ(book.Reasons().size(), 1u);
}

// Shown again after a wait, a pane shows its newest lines first (whole, though the oldest of them began in an
// earlier run); the older ones wait at a gap above them and go in there newest first, with their reasons,
// until the text reads in order. While lines wait at the gap, trimming takes only the lines above it: the
// lines below are newer than those waiting.
TEST(ReceiveLineBook, OlderLinesGoInAtTheGapAboveTheNewestOnesWithTheirReasons)
{
    CReceiveLineBook book;
    std::u16string control; // what the rich edit holds
    book.SetMaxLines(4);
    control += book.TakeBlock(u"zero\none\n").text;

    CPendingPaneText waiting;
    waiting.Add(u"two\nthr", 1, LineReceived, u"", 0);
    waiting.Add(u"ee\n", 1, LineRejected, u"rejected", 0);
    waiting.Add(u"four\nfi", 1, LineReceived, u"", 0);
    std::deque<CPendingPaneText::Run> newest = waiting.TakeNewestLines(1);
    ASSERT_EQ(newest.size(), 1u);
    EXPECT_EQ(newest[0].text, u"four\nfi");
    book.OpenGap(waiting.Lines(), int64_t(waiting.Chars()));
    control += book.TakeBlock(newest[0].text).text;
    EXPECT_EQ(book.RoomInLines(), 0); // 2 held above, 2 waiting, 1 below, and the partial line
    EXPECT_EQ(book.TrimExcessLines(), 5) << "a line above the gap is the oldest";
    control.erase(0, 5);
    EXPECT_EQ(book.TrimExcessLines(), 0) << "the line below the gap is newer than those waiting";

    std::deque<CPendingPaneText::Run> runs = waiting.TakeNewestLines(1); // "three", begun in the run before
    ASSERT_EQ(runs.size(), 2u);
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        const CReceiveLineBook::Block block = book.InsertAtGap(run->text, run->reason, run->style);
        control.insert(size_t(book.GapPosition()), block.text);
    }
    for (const CPendingPaneText::Run& run : waiting.TakeNewestLines(1))
        control.insert(size_t(book.GapPosition()), book.InsertAtGap(run.text, run.reason, run.style).text);
    book.CloseGap();

    EXPECT_EQ(control, u"one\rtwo\rthree\rfour\rfi");
    EXPECT_EQ(book.LineLengths(), (std::deque<int>{4, 4, 6, 5}));
    EXPECT_EQ(book.PartialLineLength(), 2);
    EXPECT_EQ(book.AppendedChars() - book.TrimmedChars(), int64_t(control.size()));
    const LineReason* reason = book.FindReason(long(control.find(u"ee")));
    ASSERT_NE(reason, nullptr);
    EXPECT_EQ(reason->Reason, u"rejected");
    EXPECT_EQ(book.FindReason(long(control.find(u"thr"))), nullptr);
    EXPECT_EQ(book.FindReason(long(control.find(u"four"))), nullptr);
    book.TakeBlock(u"ve\n");
    EXPECT_EQ(book.TrimExcessLines(), 4) << "with the gap filled, the oldest line leaves again";
}
