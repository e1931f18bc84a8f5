#include "tests/app/ReceivePaneTest.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;
using test::CTestClock;
using test::ReceivePaneTest;

// Lines passing through a full pane leave nothing behind: under Wine, a rich edit whose undo limit is 0 lost a few
// hundred bytes for each replacement, so memory rose with every line received, whatever the pane's limit.
TEST_F(ReceivePaneTest, LinesPassingThroughAFullPaneLeaveNoMemoryBehind)
{
    pane.SetMaxLines(100);
    auto feed = [this](int from, int count) {
        for (int i = from; i < from + count; ++i) {
            const std::u16string line = FormatText(u"DX de K1ABC:     14025.0  JA%05dX     CQ TEST   1200Z\n", i);
            pane.AddText(line, i % 2 ? u"duplicate" : u"", i % 2 ? LineDuplicate : LineReceived);
            if (i % 50 == 0) pane.FlushPendingText();
        }
        pane.FlushPendingText();
    };
    feed(0, 1000); // the pane full and the control's caches warm
    const size_t before = test::HeapBytesInUse();
    feed(1000, 5000);
    EXPECT_LT(double(test::HeapBytesInUse()) - double(before), 256.0 * 1024) << "5000 lines passed through";
}

// A lower limit (the general settings' maximum lines) takes the lines beyond it away in the pane's bounded
// updates: 4,000 lines taken from the top at once held the window for seconds.
TEST_F(ReceivePaneTest, ALowerLimitTakesTheLinesBeyondItAwayInBoundedUpdates)
{
    AppendNumberedLines(1, 5000);
    pane.FlushPendingText();
    ASSERT_EQ(size_t(pane.Record().KeptLines()), 5000u);
    pane.SetMaxLines(1000);
    AppendNumberedLines(5001, 5001);
    ULONGLONG longest = 0;
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            const ULONGLONG start = ::GetTickCount64();
            test::PumpFor(1);
            longest = std::max(longest, ::GetTickCount64() - start);
            return pane.TextControl().GetLineCount() <= 1001;
        },
        60000));
    EXPECT_LT(longest, 1000u) << "the window waited " << longest << " ms";
    const std::vector<std::u16string> lines = Split(EditText(), u'\r');
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines.front(), u"line 4002");
    EXPECT_EQ(lines[999], u"line 5001");
}

// A hidden page's pane spends nothing on lines nobody sees: they wait (a full pane of the newest at most) and the
// control stays as it is. Shown again, the pane holds its newest lines, with their reasons.
TEST_F(ReceivePaneTest, AHiddenPaneHoldsItsLinesBackAndShowsTheNewestWithTheirReasonsWhenShownAgain)
{
    CTestClock clock;
    pane.SetClock(clock);
    pane.SetMaxLines(100);
    AppendNumberedLines(1, 150);
    pane.FlushPendingText();
    const std::u16string beforeHiding = EditText();
    pane.Show(SW_HIDE);
    for (int i = 151; i <= 400; ++i) {
        clock.tick += 100;
        if (i % 50 == 0)
            pane.AddText(FormatText(u"line %d\n", i), FormatText(u"reason %d", i), i % 100 ? LineRejected : LineDuplicate);
        else
            pane.AppendText(FormatText(u"line %d\n", i), LineReceived);
    }
    test::PumpFor(500);
    EXPECT_EQ(pane.TextControl().GetTextRange(0, pane.TextControl().GetTextLength()), beforeHiding)
        << "a hidden pane changed its text";

    pane.Show(SW_SHOW);
    std::vector<std::u16string> expected;
    for (int i = 301; i <= 400; ++i) expected.push_back(FormatText(u"line %d", i));
    expected.push_back(u"");
    const auto shownText = [&] { return pane.TextControl().GetTextRange(0, pane.TextControl().GetTextLength()); };
    EXPECT_TRUE(test::PumpUntil(
        [&] {
            clock.tick += 10; // time goes on for the pane's updates
            return Split(shownText(), u'\r') == expected;
        },
        10000))
        << Utf16ToUtf8(shownText());
    ASSERT_NE(pane.FindReason(IndexOf(u"line 350\r")), nullptr);
    EXPECT_EQ(pane.FindReason(IndexOf(u"line 350\r"))->Reason, u"reason 350");
    EXPECT_EQ(pane.FindReason(IndexOf(u"line 400\r"))->Style, LineDuplicate);
    EXPECT_EQ(pane.FindReason(IndexOf(u"line 351\r")), nullptr);
    EXPECT_EQ(size_t(pane.Record().KeptLines()), 100u);
}

// The moves of a user around a hidden page: he leaves it with lines still to be shown, or the general settings
// lower its limit while it is hidden, or a flood of long lines goes beyond its characters; each time, shown
// again, it holds what it held plus what came, up to its limit, with no notice of lines skipped.
TEST_F(ReceivePaneTest, AHiddenPaneKeepsItsLinesThroughALowerLimitAndABurstItWasLeftDuring)
{
    const auto shownLines = [&] {
        std::vector<std::u16string> lines = Split(ControlText(), u'\r');
        lines.pop_back(); // after the last line end
        return lines;
    };
    const auto expectLines = [&](int first, int last, const char* when) {
        std::vector<std::u16string> expected;
        for (int i = first; i <= last; ++i) expected.push_back(FormatText(u"line %d", i));
        EXPECT_TRUE(test::PumpUntil([&] { return shownLines() == expected; }, 20000))
            << when << ": " << shownLines().size() << " lines, from \"" << Utf16ToUtf8(shownLines().front()) << "\"";
    };
    // A quiet page, hidden while the limit is lowered.
    AppendNumberedLines(1, 3000);
    pane.FlushPendingText();
    pane.Show(SW_HIDE);
    pane.SetMaxLines(2000);
    test::PumpFor(1500);
    pane.Show(SW_SHOW);
    expectLines(1001, 3000, "a lower limit");

    // A burst (a node's answer to "sh/dx"), and the page left before the pane has shown it all; the node quiet.
    pane.SetMaxLines(5000);
    std::u16string burst;
    for (int i = 3001; i <= 8000; ++i) burst += FormatText(u"line %d\n", i);
    pane.AppendText(burst, LineReceived);
    test::PumpFor(100);
    pane.Show(SW_HIDE);
    test::PumpFor(1500);
    pane.Show(SW_SHOW);
    expectLines(3001, 8000, "a burst");

    // Long lines beyond the pane's characters while it is hidden (a flood of garbage), the node still sending
    // while the older lines go in: the newest of them that fit stay, above what came after.
    pane.SetMaxLines(2000); // 200,000 characters
    pane.Show(SW_HIDE);
    for (int i = 1; i <= 1500; ++i) pane.AppendText(FormatText(u"long %04d ", i) + std::u16string(180, u'x') + u"\n", LineReceived);
    pane.Show(SW_SHOW);
    const auto longLines = [&] {
        std::vector<int> numbers;
        for (const std::u16string& line : shownLines())
            if (line.starts_with(u"long ")) numbers.push_back(std::atoi(Utf16ToUtf8(line.substr(5, 4)).c_str()));
        return numbers;
    };
    for (int i = 8001; i <= 8200 && longLines().size() < 900; ++i) {
        pane.AppendText(FormatText(u"line %d\n", i), LineReceived);
        test::PumpFor(50);
    }
    const std::vector<int> shown = longLines();
    ASSERT_GE(shown.size(), 900u) << "long lines kept";
    EXPECT_EQ(shown.back(), 1500);
    EXPECT_EQ(shown.back() - shown.front() + 1, int(shown.size())) << "each once, none missing";
    EXPECT_TRUE(shownLines().back().starts_with(u"line 8"));
}

// A reader who scrolled up and left at once, or who left for a while and had the window resized meanwhile, is on
// his line when he comes back; one who went back to the end before leaving follows the end, and nothing of his
// hidden page changed meanwhile.
TEST_F(ReceivePaneTest, AReaderIsWhereHeWasWhenHeComesBack)
{
    AppendNumberedLines(1, 300);
    pane.FlushPendingText();
    for (int click = 0; click < 20; ++click) pane.TextControl().SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    const std::u16string reading = FirstVisibleLineText();
    pane.Show(SW_HIDE); // at once: no update since he scrolled
    AppendNumberedLines(301, 400);
    test::PumpFor(300);
    pane.Show(SW_SHOW);
    ASSERT_TRUE(ShowsSoon(u"line 400\r"));
    EXPECT_EQ(FirstVisibleLineText(), reading) << "left at once";
    EXPECT_EQ(CWindow(pane.JumpButton()).GetText(), u"100 new lines - jump to end");

    pane.Show(SW_HIDE);
    pane.Move(0, 0, 500, 330);
    AppendNumberedLines(401, 450);
    test::PumpFor(1200);
    pane.Show(SW_SHOW);
    ASSERT_TRUE(ShowsSoon(u"line 450\r"));
    EXPECT_EQ(FirstVisibleLineText(), reading) << "resized while away";

    ::SendMessageW(pane, WM_COMMAND, MAKEWPARAM(CReceivePane::kJumpButtonId, BN_CLICKED), LPARAM(pane.JumpButton()));
    pane.Show(SW_HIDE); // at once after the jump to the end
    const std::u16string atLeaving = ControlText();
    AppendNumberedLines(451, 500);
    test::PumpFor(300);
    EXPECT_EQ(ControlText(), atLeaving) << "the hidden page showed lines nobody sees";
    pane.Show(SW_SHOW);
    ASSERT_TRUE(ShowsSoon(u"line 500\r"));
    EXPECT_TRUE(pane.IsScrolledToEnd());
    EXPECT_FALSE(::IsWindowVisible(pane.JumpButton()));
}

// A follower who selected a line keeps his selection through a switch, though lines came meanwhile.
TEST_F(ReceivePaneTest, AFollowersSelectionStaysThroughAHideAndShow)
{
    AppendNumberedLines(1, 300);
    pane.FlushPendingText();
    const long start = IndexOf(u"line 290\r");
    pane.TextControl().SetSel(start, start + 8);
    pane.Show(SW_HIDE);
    AppendNumberedLines(301, 400);
    test::PumpFor(1500);
    pane.Show(SW_SHOW);
    ASSERT_TRUE(ShowsSoon(u"line 400\r"));
    const CHARRANGE selection = pane.TextControl().GetSel();
    EXPECT_EQ(pane.TextControl().GetTextRange(selection.cpMin, selection.cpMax), u"line 290");
    EXPECT_TRUE(pane.IsScrolledToEnd());
}

// Shown again with a full pane of lines waiting, a pane shows its newest lines in its first update, bounded as
// every update is, and the older ones above them in the next updates, with their reasons, the reader who scrolled
// up meanwhile keeping his line.
TEST_F(ReceivePaneTest, ASwitchShowsTheNewestLinesAtOnceAndTheOlderOnesAboveThemAfter)
{
    const auto spot = [](int n) { return FormatText(u"DX de K1ABC:     14025.0  JA%05dX     CQ TEST   1200Z\n", n); };
    std::u16string block;
    for (int n = 1; n <= 5000; ++n) block += spot(n);
    pane.AppendText(block, LineReceived);
    pane.FlushPendingText();
    pane.Show(SW_HIDE);
    for (int n = 5001; n <= 10000; ++n) {
        if (n % 1000 == 0)
            pane.AddText(spot(n), FormatText(u"reason %d", n), LineRejected);
        else
            pane.AppendText(spot(n), LineReceived);
    }
    pane.Show(SW_SHOW);
    ASSERT_TRUE(ShowsSoon(u"JA10000X"));
    int newLinesShown = 0;
    for (const std::u16string& line : Split(ControlText(), u'\r'))
        newLinesShown += line.size() > 32 && std::atoi(Utf16ToUtf8(line.substr(28, 5)).c_str()) > 5000;
    EXPECT_LT(newLinesShown, 2500) << "the whole backlog went in at once";
    EXPECT_TRUE(pane.TextControl().IsScrolledToEnd());

    for (int click = 0; click < 10; ++click) pane.TextControl().SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    const std::u16string reading = test::FirstVisibleLineText(pane.TextControl()); // as the pane stands
    std::vector<std::u16string> expected;
    for (int n = 5001; n <= 10000; ++n) expected.push_back(spot(n).substr(0, spot(n).size() - 1));
    expected.push_back(u"");
    // The oldest line goes in last, at the top.
    test::PumpUntil([&] { return pane.TextControl().GetTextRange(0, 40).find(u"JA05001X") != std::u16string::npos; }, 60000);
    EXPECT_EQ(Split(ControlText(), u'\r'), expected);
    EXPECT_EQ(test::FirstVisibleLineText(pane.TextControl()), reading);
    EXPECT_EQ(ControlText().find(u"skipped"), std::u16string::npos);
    for (int n : {6000, 9000, 10000}) {
        const LineReason* reason = pane.FindReason(IndexOf(FormatText(u"JA%05dX", n)));
        ASSERT_NE(reason, nullptr) << n;
        EXPECT_EQ(reason->Reason, FormatText(u"reason %d", n));
    }
    EXPECT_EQ(pane.FindReason(IndexOf(u"JA09999X")), nullptr);
}

// More than the pane can show before the text grows old: the pane skips to the newest lines and says how many
// it skipped in one notice line.
TEST_F(ReceivePaneTest, TextThatWaitedTooLongIsSkippedWithANotice)
{
    std::u16string block;
    for (int i = 1; i <= 3000; ++i) block += FormatText(u"DX de K1ABC:     14025.0  JA%04dX      CQ TEST   1200Z\n", i);
    pane.AppendText(block, LineReceived);
    ASSERT_TRUE(ShowsSoon(u"JA0001X")); // the first update shows the first lines
    ::Sleep(1100);                      // the loop was away: the rest waited too long
    test::PumpFor(500);
    const std::vector<std::u16string> lines = Split(EditText(), u'\r');
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0].substr(26, 6), u"JA0001");
    size_t notice = 0;
    while (notice < lines.size() && lines[notice].find(u"skipped") == std::u16string::npos) ++notice;
    ASSERT_LT(notice, lines.size()) << "no notice of skipped lines";
    const int skipped = std::atoi(Utf16ToUtf8(lines[notice]).c_str());
    EXPECT_EQ(lines[notice], FormatText(u"%d lines skipped: received faster than they can be shown", skipped));
    // Shown before, skipped, and shown after the notice up to the last one, each line once.
    EXPECT_EQ(lines[notice + 1].substr(26, 6), FormatText(u"JA%04d", int(notice) + skipped + 1));
    EXPECT_EQ(lines[lines.size() - 2].substr(26, 6), u"JA3000");
    EXPECT_EQ(int(lines.size()) - 2 + skipped, 3000); // the last element is after the last line end
    const POINT scroll = pane.Edit().GetScrollPos();
    pane.Edit().SetScrollPos(POINT{0, scroll.y + pane.Edit().PosFromChar(IndexOf(u"JA0055")).y});
    test::PumpFor(200);
    EXPECT_FALSE(test::SaveScreenshot(host, u"receive-pane-skipped-lines").empty());
}

// A line is skipped only when it has waited more than a second itself: lines that arrive as fast as the pane
// shows them are all shown, even when some always wait for the next update; a backlog older than a second
// is skipped with its notice.
TEST_F(ReceivePaneTest, LinesThePaneKeepsUpWithAreNeverSkippedButABacklogOlderThanASecondIs)
{
    CTestClock clock;
    pane.SetClock(clock);
    pane.SetMaxLines(6); // an update shows four lines into six, whatever it costs
    int next = 1;
    const auto arrive = [&](int lines) {
        std::u16string block;
        for (int i = 0; i < lines; ++i) block += FormatText(u"line %d\n", next++);
        pane.AppendText(block, LineReceived);
    };
    // Each update shows the four oldest of the lines waiting: the newest two wait for the next one.
    const auto shownText = [&] { return pane.TextControl().GetTextRange(0, pane.TextControl().GetTextLength()); };
    const auto shownUpTo = [&](int line) {
        const auto shown = [&] { return shownText().find(FormatText(u"line %d\r", line)) != std::u16string::npos; };
        return shown() || test::PumpUntil(shown, 10000);
    };
    arrive(6);
    ASSERT_TRUE(shownUpTo(4));
    for (int step = 1; step <= 8; ++step) {
        clock.tick += 800;
        arrive(4);
        ASSERT_TRUE(shownUpTo(next - 3)) << "step " << step;
        EXPECT_EQ(shownText().find(u"skipped"), std::u16string::npos) << "step " << step << ": " << Utf16ToUtf8(shownText());
    }

    // The two lines waiting have waited longer than a second when the next four arrive.
    clock.tick += 1500;
    arrive(4);
    ASSERT_TRUE(shownUpTo(42));
    EXPECT_EQ(Split(EditText(), u'\r'),
              (std::vector<std::u16string>{u"line 36", u"2 lines skipped: received faster than they can be shown",
                                           u"line 39", u"line 40", u"line 41", u"line 42", u""}));
}
