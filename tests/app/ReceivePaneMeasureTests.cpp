// Figures of the receive pane under Wine: lines appended per second, and how the message loop fares while
// a steady stream of lines arrives. The figures are printed, never judged (timings vary with the machine);
// the checks are only that lines arrived and the pane kept its limit. KV_MEASURE_SECONDS sets the length of the steady stream
// (3 s by default, so that the suite stays quick; the closing figures were taken with 60).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/CReceivePane.h"
#include "app/LineStyle.h"
#include "app/MonoFont.h"
#include "base/Format.h"
#include "base/Utf.h"
#include "tests/app/PaneTestHost.h"
#include "tests/support/WinTestSupport.h"
#include "win/MessageOnlyWindow.h"

using namespace kv;

namespace {

std::u16string SpotLine(int n)
{
    return FormatText(u"DX de K1ABC:     14025.0  JA%dXYZ      CQ TEST                  1200Z\n", n % 10000);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now;
}

// Processor time of this process (user and kernel), in seconds.
double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) { return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
}

class ReceivePaneMeasure : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Create(u"Receive pane figures", 900, 600));
        ASSERT_TRUE(test::PlaceReceivePane(host, pane, font, 880, 520));
        pane.SetMaxLines(5000);
        test::PumpFor(50);
    }
    void Fill(int lines) { Fill(pane, lines); }
    static void Fill(CReceivePane& into, int lines)
    {
        std::u16string block;
        for (int i = 0; i < lines; ++i) block += SpotLine(i);
        into.AppendText(block, LineReceived);
        into.FlushPendingText();
    }

    test::CPaneTestHost host;
    CReceivePane pane;
    MonoFont font;
};

// Gaps in the message loop: a 10 ms timer of a window of its own notes the longest wait between its ticks.
class CLoopProbe {
public:
    bool Start()
    {
        last_ = Now();
        if (!window_.Create([this](UINT msg, WPARAM, LPARAM, LRESULT&) {
                if (msg != WM_TIMER) return false;
                const LARGE_INTEGER now = Now();
                longestMs_ = std::max(longestMs_, 1000 * Seconds(last_, now));
                last_ = now;
                return true;
            }))
            return false;
        window_.SetTimer(1, 10);
        return true;
    }
    void Stop() { window_.KillTimer(1); }
    double LongestGapMs() const { return longestMs_; }

private:
    CMessageOnlyWindow window_;
    LARGE_INTEGER last_{};
    double longestMs_ = 0;
};

} // namespace

TEST_F(ReceivePaneMeasure, LinesAppendedPerSecondIntoAFullPane)
{
    for (int cap : {5000, 1000}) {
        pane.SetMaxLines(cap);
        Fill(cap);
        for (int perBlock : {1, 10, 50}) {
            const int blocks = 300 / perBlock;
            const LARGE_INTEGER start = Now();
            int line = 0;
            for (int b = 0; b < blocks; ++b) {
                std::u16string block;
                for (int i = 0; i < perBlock; ++i) block += SpotLine(line++);
                pane.AppendText(block, b % 7 == 0 ? LineRejected : LineReceived);
                pane.FlushPendingText(); // one shown block each, as on a quiet connection
            }
            const double elapsed = Seconds(start, Now());
            test::PumpFor(0);
            std::printf("receive pane, %d lines kept, %d lines a block: %.0f lines/s (%.3f ms a block, painting aside)\n",
                        cap, perBlock, line / elapsed, 1000 * elapsed / blocks);
            RecordProperty(FormatText("lines_per_second_cap_%d_blocks_of_%d", cap, perBlock), int(line / elapsed));
        }
        EXPECT_EQ(size_t(pane.Record().KeptLines()), size_t(cap));
    }
}

TEST_F(ReceivePaneMeasure, SteadyStreamOf1000LinesASecondKeepsTheLoopResponsive)
{
    const char* seconds = std::getenv("KV_MEASURE_SECONDS");
    const int duration = seconds ? std::max(1, std::atoi(seconds)) : 3;
    Fill(5000);

    CLoopProbe probe;
    // The stream: every 20 ms what is due at 1000 lines a second, as one block of at most 100 lines (about
    // what one socket read brings).
    int sent = 0;
    const LARGE_INTEGER start = Now();
    CMessageOnlyWindow feeder;
    ASSERT_TRUE(feeder.Create([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != WM_TIMER) return false;
        const int due = std::min(duration * 1000, int(1000 * Seconds(start, Now())));
        std::u16string block;
        for (int n = 0; sent < due && n < 100; ++sent, ++n) block += SpotLine(sent);
        pane.AppendText(block, LineReceived);
        return true;
    }));
    ASSERT_TRUE(probe.Start());
    feeder.SetTimer(1, 20);
    const double cpuBefore = ProcessCpuSeconds();
    const LARGE_INTEGER wallStart = Now();
    // Runs for the duration; a pane that cannot keep up shows it as fewer lines than were due.
    test::PumpUntil([&] { return Seconds(start, Now()) >= duration; }, unsigned(duration * 1000 + 30000));
    const double wall = Seconds(wallStart, Now());
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    probe.Stop();
    feeder.KillTimer(1);

    std::printf("receive pane: stream of 1000 lines/s for %.1f s: %d lines appended (%.0f lines/s), longest timer "
                "gap %.0f ms, %.0f %% of one core\n",
                wall, sent, sent / wall, probe.LongestGapMs(), 100 * cpu / wall);
    RecordProperty("longest_timer_gap_ms", int(probe.LongestGapMs()));
    RecordProperty("cpu_percent_of_one_core", int(100 * cpu / wall));
    EXPECT_GT(sent, 0);
    EXPECT_EQ(size_t(pane.Record().KeptLines()), 5000u);
    EXPECT_FALSE(test::SaveScreenshot(host, u"receive-pane-stream").empty());
}

// Two full panes, shown one above the other, each with a reader 30 lines above the end, get a new font (10 to 12 points)
// in one message, as the general settings give it: how long the loop waits at most until both hold their text
// whole again, and how long that takes.
TEST_F(ReceivePaneMeasure, ANewFontOnTwoFullShownPanesKeepsTheLoopResponsive)
{
    CReceivePane other;
    ASSERT_TRUE(other.Create(host, 101));
    other.Edit().SetFont(font.Font);
    other.SetLineHeight(font.LineHeight);
    pane.Move(0, 0, 880, 255);
    other.Move(0, 260, 880, 255);
    MonoFont larger;
    ASSERT_TRUE(larger.CreateFontForDpi(u"Consolas", 12, 96));
    CReceivePane* panes[] = {&pane, &other};
    std::u16string reading[2];
    for (int i = 0; i < 2; ++i) {
        Fill(*panes[i], 5000);
        test::ScrollLinesAboveTheEnd(panes[i]->Edit(), 30);
        reading[i] = test::FirstVisibleLineText(panes[i]->TextControl());
    }
    const long whole = panes[0]->TextControl().GetTextLength();
    test::PumpFor(200);

    CLoopProbe probe;
    ASSERT_TRUE(probe.Start());
    test::PumpFor(100);
    const LARGE_INTEGER start = Now();
    CMessageOnlyWindow settings; // the new font comes in a message of the loop, so that the probe sees its cost
    ASSERT_TRUE(settings.Create([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != WM_APP) return false;
        for (CReceivePane* each : panes) {
            each->SetLineHeight(larger.LineHeight);
            each->SetTextFont(larger.Font, 4);
        }
        return true;
    }));
    settings.PostMessage(WM_APP, 0, 0);
    const auto drawnWhole = [&] {
        for (CReceivePane* each : panes)
            if (each->TextControl().GetTextLength() < whole) return false;
        return Seconds(start, Now()) > 0.2;
    };
    const bool done = test::PumpUntil(drawnWhole, 60000);
    const double seconds = Seconds(start, Now());
    test::PumpFor(300);
    probe.Stop();

    std::printf("receive pane: a new font on two full shown panes, readers 30 lines above the end: longest timer gap "
                "%.0f ms, both drawn whole after %.2f s\n",
                probe.LongestGapMs(), seconds);
    RecordProperty("font_change_longest_timer_gap_ms", int(probe.LongestGapMs()));
    EXPECT_TRUE(done);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(panes[i]->NewLineCount(), 0) << "pane " << i;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Utf16ToUtf8(test::FirstVisibleLineText(panes[i]->TextControl())), Utf16ToUtf8(reading[i])) << "pane " << i;
    EXPECT_FALSE(test::SaveScreenshot(host, u"receive-pane-new-font-two-panes").empty());
}
