#include "tests/app/ReceivePaneTest.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;
using test::CTestClock;
using test::ReceivePaneTest;

static double MillisecondsSince(LARGE_INTEGER start)
{
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

// A full pane that shows a steady stream for a long time: a line goes in at the cost it had at the start.
// Under Wine, every insertion made while the control's undo limit was above 0 made the later ones dearer: after
// some thousands of updates a line cost several times as much to insert, and the pane fell behind for good.
TEST_F(ReceivePaneTest, AFullPaneInsertsALineAtTheSameCostAfterFortyThousandLines)
{
    CTestClock clock;
    pane.SetClock(clock);
    int next = 0;
    const auto lines = [&](int count) {
        std::u16string block;
        for (int i = 0; i < count; ++i)
            block += FormatText(u"DX de K1ABC:     14025.0  JA%06dX     CQ TEST   1200Z\x07\x07\r\n", next++);
        return block;
    };
    pane.AppendText(lines(5000), LineReceived);
    pane.FlushPendingText();
    // What ten lines cost to go in at the end of the control, as the pane puts them in (and taken out again at
    // once), at best of twenty tries: the least that other work on the machine leaves.
    const auto insertCost = [&] {
        CReadOnlyRichEdit& edit = pane.TextControl();
        std::u16string block = lines(10);
        std::erase(block, u'\n');
        double best = 1e9;
        edit.SetRedraw(false);
        edit.SetReadOnly(false);
        for (int i = 0; i < 20; ++i) {
            const long end = edit.GetTextLength();
            edit.SetUndoLimit(0);
            LARGE_INTEGER before;
            ::QueryPerformanceCounter(&before);
            edit.SetSel(-1, -1);
            edit.ReplaceSel(block);
            best = std::min(best, MillisecondsSince(before));
            edit.SetUndoLimit(1);
            edit.SetSel(end, -1);
            edit.ReplaceSel(u"");
        }
        edit.SetReadOnly(true);
        edit.SetRedraw(true);
        return best;
    };
    const double atStart = insertCost();
    // Updates of ten lines, as a node at 100 lines a second brings them.
    for (int update = 0; update < 4000; ++update) {
        clock.tick += 100;
        pane.AppendText(lines(10), LineReceived);
        pane.FlushPendingText();
    }
    const double after = insertCost();
    EXPECT_LT(after, 3 * std::max(atStart, 0.5)) << "ten lines went in in " << atStart << " ms at the start, in " << after
                                                 << " ms after 40,000 lines";
    EXPECT_EQ(size_t(pane.Record().KeptLines()), 5000u);
}
