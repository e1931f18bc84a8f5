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

// A hidden pane gives its newest lines back, whole, with their styles and reasons, in front of the waiting text;
// the book forgets them and the part of a reason's block that left.
TEST(ReceiveLineBook, TheNewestLinesGoBackWholeWithTheirReasonsInFrontOfTheWaitingText)
{
    CReceiveLineBook book;
    CPendingPaneText held; // what the control holds
    const auto show = [&](const std::u16string& text, const std::u16string& reason, int style) {
        const int64_t start = book.AppendedChars();
        const CReceiveLineBook::Block block = book.TakeBlock(text);
        book.AddReason(start, book.AppendedChars(), reason, style);
        held.Add(text, block.newLines, style, reason, 0);
    };
    show(u"one\ntw", u"", LineReceived);
    show(u"o\nthree\nfo", u"rejected", LineRejected); // "two" began in the run before
    show(u"ur", u"", LineReceived);

    std::deque<CPendingPaneText::Run> runs = held.TakeNewestLines(2);
    ASSERT_EQ(runs.size(), 3u); // the partial line, "three", and "two" whole, though it began in the run before
    EXPECT_EQ(runs[0].text, u"tw");
    EXPECT_EQ(runs[1].text, u"o\nthree\nfo");
    EXPECT_EQ(runs[1].reason, u"rejected");
    int lines = 0;
    for (const CPendingPaneText::Run& run : runs) lines += run.lines;
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(book.DropNewestLines(lines), 14); // "two\nthree\nfour"
    EXPECT_EQ(book.AppendedChars(), 4);
    EXPECT_EQ(book.LineLengths().size(), 1u);
    EXPECT_TRUE(book.Reasons().empty());

    CPendingPaneText waiting;
    waiting.Add(u" five\n", 1, LineReceived, u"", 500);
    waiting.PutFront(std::move(runs), 400);
    EXPECT_EQ(waiting.Lines(), 3);
    EXPECT_EQ(waiting.LinesArrivedBefore(450), 2);
    const std::deque<CPendingPaneText::Run> all = waiting.TakeLines(3);
    std::u16string text;
    for (const CPendingPaneText::Run& run : all) text += run.text;
    EXPECT_EQ(text, u"two\nthree\nfour five\n");
    EXPECT_EQ(held.Lines(), 1);
}
