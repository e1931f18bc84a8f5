// The whole program with one node that misbehaves beside a well-behaved one: a line of 1 MiB, a stream without
// line ends, random bytes. The program takes it all, forwards the spots that follow, keeps forwarding the other
// node's spots, keeps its memory bounded and shows the page of the bad node when a station selects it. The
// time limits are generous deadlines for correctness, not speed figures (tools/load measures those).
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "base/Format.h"
#include "base/Utf.h"
#include "tests/app/EndToEndSupport.h"
#include "tests/app/ProgramTestHost.h"
#include "tests/support/WinTestSupport.h"
#include "win/WineDetection.h"

#include <psapi.h>

using namespace kv;
using namespace kv::test;

namespace {

constexpr int kNormalSpotsPerSecond = 20;
constexpr int kNormalMostSeconds = 300; // the normal node streams until the checks of the flood are done
constexpr size_t kNormalSpotsBeforeStop = 10 * kNormalSpotsPerSecond;
constexpr int kFloodSpots = 20;
const std::string kSep = "\x1f";

// The times at which the station heard the normal node's spots.
std::vector<unsigned> NormalSpotTimes(const CTestPeer& station)
{
    std::vector<unsigned> times;
    for (const StationPacket& p : PacketsOfKind(station, "RCVDPKT:"))
        if (p.fields.size() == 4)
            for (size_t n = CountOf(p.fields[3], " CQ TEST "); n > 0; --n) times.push_back(p.ms);
    return times;
}

unsigned LongestGap(const std::vector<unsigned>& times)
{
    unsigned longest = 0;
    for (size_t i = 1; i < times.size(); ++i) longest = std::max(longest, times[i] - times[i - 1]);
    return longest;
}

// The most memory the program's process has held, in MiB.
double PeakMemoryMiB(HANDLE process, const std::string& commandLinePart)
{
    if (RunningUnderWine()) {
        const std::string status = LinuxProcFileOf(commandLinePart, u"status");
        const size_t at = status.find("VmHWM:");
        return at == std::string::npos ? -1 : std::atof(status.c_str() + at + 6) / 1024;
    }
    PROCESS_MEMORY_COUNTERS counters{sizeof counters};
    return ::GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize / 1048576.0 : -1;
}

// Whether text is drawn in a window on the screen: some of its pixels are neither the text background nor grey.
bool TextDrawnIn(HWND window)
{
    const CScreenPixels pixels(window);
    const COLORREF background = ::GetSysColor(COLOR_WINDOW);
    int drawn = 0;
    for (int y = 4; y < pixels.Height() - 4; ++y)
        for (int x = 4; x < pixels.Width() - 24; ++x) drawn += pixels.At(x, y) != background;
    return drawn > 200;
}

class MisbehavingSourceTest : public ::testing::Test {
protected:
    void Start(const std::string& flood)
    {
        bad = std::make_unique<CTestPeer>("cluster", "flood", flood + FormatText(" spots=%d", kFloodSpots));
        for (const CTestPeer* peer : {&station, &normal, bad.get()}) ASSERT_TRUE(peer->Ok()) << peer->Error();
        ASSERT_TRUE(WriteDataFolderSettings(
            dir.Path(),
            FormatText("[General]\r\nConfigVersion=2\r\nFontFace=Consolas\r\nConnectAllOnStartup=1\r\n"
                       "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=%d\r\nSendSpotsOnce=1\r\n"
                       "[Connections]\r\nOrder=1,2\r\nActive=1\r\nNextId=3\r\n",
                       int(station.Port())) +
                TelnetSection(1, "Normal", normal.Port(), "") + TelnetSection(2, "Bad", bad->Port(), "")));
        program = std::make_unique<CProgram>(u"-a \"" + dir.Path() + u"\"");
        ASSERT_TRUE(program->Started());
        frame = program->FindWindowOfClass(kFrameClass, 15000);
        ASSERT_NE(frame, nullptr);
    }

    // Polls once a second: the station's log is large once the bad node's bytes are forwarded.
    static bool EverySecondUntil(const std::function<bool()>& done, unsigned timeoutMs)
    {
        ULONGLONG last = 0;
        return PumpUntil(
            [&] {
                if (::GetTickCount64() - last < 1000) return false;
                last = ::GetTickCount64();
                return done();
            },
            timeoutMs);
    }

    // The bad node wrote all its bytes, then its spots were forwarded, all of them.
    void ExpectFloodTakenAndItsSpotsForwarded(unsigned deadlineMs)
    {
        ASSERT_TRUE(EverySecondUntil([&] { return !EventsOf(bad->Log(), "flood-done").empty(); }, deadlineMs))
            << "the program did not take the bad node's bytes";
        EXPECT_TRUE(EverySecondUntil([&] { return CountOf(ForwardedText(station), " FLOOD0") == kFloodSpots; },
                                     deadlineMs))
            << CountOf(ForwardedText(station), " FLOOD0") << " of the bad node's spots forwarded";
    }

    // The normal node stops streaming; every spot it sent was forwarded, none of them held up for long.
    void ExpectTheNormalNodeForwarded()
    {
        ASSERT_FALSE(EventsOf(normal.Log(), "accept").empty());
        // Streamed for longer than the program took the flood in these tests.
        EXPECT_TRUE(EverySecondUntil([&] { return NormalSpotTimes(station).size() >= kNormalSpotsBeforeStop; }, 60000));
        ASSERT_EQ(normal.Tell("stop").substr(0, 2), "OK");
        size_t sent = 0;
        ASSERT_TRUE(PumpUntil(
            [&] {
                const std::vector<PeerEvent> log = normal.Log(); // the events point into it
                const auto events = EventsOf(log, "stream-sent");
                if (events.empty()) return false;
                sent = std::stoul(events[0]->data);
                return true;
            },
            10000));
        EXPECT_TRUE(EverySecondUntil([&] { return NormalSpotTimes(station).size() == sent; }, 30000))
            << NormalSpotTimes(station).size() << " of the normal node's " << sent << " spots forwarded";
        EXPECT_LT(LongestGap(NormalSpotTimes(station)), 5000u);
    }

    HWND TabStrip() const { return Child(Child(frame, kViewId), kTabStripId); }
    // The page shown, asked of the program's windows (sent messages, answered whatever waits in its queue).
    HWND ShownPage() const { return test::ShownPage(frame); }
    static HWND ReceiveEditOf(HWND page) { return Child(Child(page, kReceivePaneId), kReceiveEditId); }

    // A station selects the bad node's page; the text of the page shown once it holds the bad node's last spot.
    std::u16string SelectTheBadPage()
    {
        EXPECT_EQ(station.Tell("SENDPKT:" + kSep + "STN2" + kSep + kSep + "/select Bad").substr(0, 2), "OK");
        std::u16string shown;
        EXPECT_TRUE(PumpUntil(
            [&] {
                HWND page = ShownPage();
                if (!page) return false;
                DWORD_PTR length = 0;
                HWND edit = ReceiveEditOf(page);
                if (!::SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) return false;
                shown = WindowText(edit);
                return length > 0 && shown.find(u"FLOOD019") != std::u16string::npos;
            },
            20000))
            << "the page shown holds " << shown.size() << " characters";
        return shown;
    }

    std::string DataFolderName() const { return Utf16ToUtf8(dir.Path().substr(dir.Path().rfind(u'\\') + 1)); }

    CTestPeer station{"station", "listen"};
    CTestPeer normal{"cluster", "stream", FormatText("rate=%d seconds=%d", kNormalSpotsPerSecond, kNormalMostSeconds)};
    std::unique_ptr<CTestPeer> bad;
    test::CTempDir dir;
    std::unique_ptr<CProgram> program;
    HWND frame = nullptr;
};

} // namespace

TEST_F(MisbehavingSourceTest, ALineOf1MiBThenSpotsIsTakenAndTheOtherNodeKeepsFlowing)
{
    Start("kind=longline size=1048576");
    ExpectFloodTakenAndItsSpotsForwarded(60000);
    ExpectTheNormalNodeForwarded();
    // The line of 1 MiB is forwarded whole (in pieces of the forwarding road), though shown in display lines.
    EXPECT_GE(ForwardedText(station).size(), size_t(1 << 20));
    SelectTheBadPage();
    EXPECT_FALSE(test::SaveScreenshot(frame, u"misbehaving-long-line").empty());
    test::CloseAndExpectCleanExit(*program, frame);
}

TEST_F(MisbehavingSourceTest, AStreamWithoutLineEndsIsTakenWholeInBoundedMemory)
{
    Start("kind=nolineends size=2097152");
    ExpectFloodTakenAndItsSpotsForwarded(120000);
    ExpectTheNormalNodeForwarded();
    const double peak = PeakMemoryMiB(program->Process(), DataFolderName());
    std::printf("[ figure ] peak memory %.0f MiB\n", peak);
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 600);
    test::CloseAndExpectCleanExit(*program, frame);
}

// The random bytes hold text that made Wine's text shaping crash in the receive pane, and text the pane once
// showed as a blank page.
TEST_F(MisbehavingSourceTest, APageOfRandomBytesIsShownWhenAStationSelectsIt)
{
    Start("kind=random size=2097152 seed=3");
    ExpectFloodTakenAndItsSpotsForwarded(120000);
    const std::u16string shown = SelectTheBadPage();
    EXPECT_EQ(shown.find(u" CQ TEST "), std::u16string::npos) << "the page shown is the normal node's";
    EXPECT_FALSE(test::SaveScreenshot(frame, u"misbehaving-random-bytes").empty());
    ExpectTheNormalNodeForwarded();
    test::CloseAndExpectCleanExit(*program, frame);
}

// While a node floods, what the user sees and does keeps its turn: the page a station selects is drawn with its
// text and its tab as the selected one, a click on the other tab and keys typed in its send line take effect,
// all while the flood is still being taken.
TEST_F(MisbehavingSourceTest, WhileANodeFloodsTheWindowIsDrawnAndAnswersTheUser)
{
    Start("kind=random size=2097152 seed=3");
    ASSERT_TRUE(PumpUntil([&] { return !EventsOf(bad->Log(), "flood-done").empty(); }, 30000));
    HWND normalPage = ShownPage();
    ASSERT_NE(normalPage, nullptr);
    const int normalAccentX = SelectedTabAccent(TabStrip()).x;

    ASSERT_EQ(station.Tell("SENDPKT:" + kSep + "STN2" + kSep + kSep + "/select Bad").substr(0, 2), "OK");
    ULONGLONG start = ::GetTickCount64();
    HWND badPage = nullptr;
    POINT badAccent{-1, -1};
    EXPECT_TRUE(PumpUntil(
        [&] {
            badPage = ShownPage();
            if (!badPage || badPage == normalPage) return false;
            badAccent = SelectedTabAccent(TabStrip());
            return badAccent.x > normalAccentX && TextDrawnIn(ReceiveEditOf(badPage));
        },
        1000))
        << "accent of the selected tab at x " << badAccent.x << ", the first tab's at " << normalAccentX;
    std::printf("[ figure ] the selected page drawn %llu ms after the station's /select\n", ::GetTickCount64() - start);
    EXPECT_FALSE(SaveScreenshot(frame, u"misbehaving-flood-selected").empty());
    ASSERT_GT(badAccent.x, 0);

    // The first tab lies left of the accent of the second, in the same row.
    RECT strip{};
    ::GetWindowRect(TabStrip(), &strip);
    ClickAt(POINT{strip.left + badAccent.x / 2, strip.top + badAccent.y + 8});
    start = ::GetTickCount64();
    EXPECT_TRUE(PumpUntil(
        [&] { return ShownPage() == normalPage && SelectedTabAccent(TabStrip()).x == normalAccentX; }, 1000));
    SendKeys({{'K', true}, {'K', false}, {'V', true}, {'V', false}});
    EXPECT_TRUE(PumpUntil([&] { return WindowText(Child(normalPage, kSendEditId)) == u"kv"; }, 1000))
        << Utf16ToUtf8(WindowText(Child(normalPage, kSendEditId)));
    std::printf("[ figure ] the click and the keys took effect within %llu ms\n", ::GetTickCount64() - start);

    EXPECT_EQ(CountOf(ForwardedText(station), " FLOOD0"), 0u) << "the flood was over before the checks";
}
