// The whole program with two nodes streaming, its pages switched as a user does, by a click on a tab and by a
// station's "/select": a page shown again holds what it held and what came (up to its limit) with no notice of
// lines skipped, its reader is on his line and a follower's selection stays. How long the window did not answer
// at each switch and how soon the page showed its newest lines are printed as figures (tools/load measures them
// under load).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/Format.h"
#include "base/Text.h"
#include "base/Utf.h"
#include "tests/app/EndToEndSupport.h"
#include "tests/app/ProgramTestHost.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;
using namespace kv::test;

namespace {

constexpr int kMaxLines = 500;
const std::string kSep = "\x1f";

// The numbers of the spot lines a pane shows, in their order.
std::vector<int> SpotNumbers(const std::u16string& text)
{
    std::vector<int> numbers;
    for (const std::u16string& line : Split(text, u'\r')) {
        const size_t at = line.find(u" JA");
        if (line.find(u" CQ TEST ") != std::u16string::npos && at != std::u16string::npos)
            numbers.push_back(std::atoi(Utf16ToUtf8(line.substr(at + 3, 5)).c_str()));
    }
    return numbers;
}

// Every line from the first shown to the last, none missing, none twice.
bool Continuous(const std::vector<int>& numbers)
{
    for (size_t i = 1; i < numbers.size(); ++i)
        if (numbers[i] != numbers[i - 1] + 1) return false;
    return true;
}

// The longest time the window took to answer a message while the probe ran.
class CAnswerProbe {
public:
    explicit CAnswerProbe(HWND window) : thread_([this, window] { Run(window); }) {}
    ~CAnswerProbe()
    {
        stop_ = true;
        thread_.join();
    }
    unsigned TakeLongestMs() { return longest_.exchange(0); }

private:
    void Run(HWND window)
    {
        while (!stop_) {
            const ULONGLONG start = ::GetTickCount64();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            const unsigned took = unsigned(::GetTickCount64() - start);
            if (took > longest_) longest_ = took;
            ::Sleep(5);
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<unsigned> longest_{0};
    std::thread thread_;
};

class PageSwitchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const CTestPeer* peer : {&station, &one, &two}) ASSERT_TRUE(peer->Ok()) << peer->Error();
        ASSERT_TRUE(WriteDataFolderSettings(
            dir.Path(),
            FormatText("[General]\r\nConfigVersion=2\r\nFontFace=Consolas\r\nConnectAllOnStartup=1\r\n"
                       "ReceiveMaxLines=%d\r\n[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=%d\r\n"
                       "[Connections]\r\nOrder=1,2\r\nActive=1\r\nNextId=3\r\n",
                       kMaxLines, int(station.Port())) +
                TelnetSection(1, "One", one.Port(), "") + TelnetSection(2, "Two", two.Port(), "")));
        program = std::make_unique<CProgram>(u"-a \"" + dir.Path() + u"\"");
        ASSERT_TRUE(program->Started());
        frame = program->FindWindowOfClass(kFrameClass, 15000);
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return ShownPage(frame) != nullptr; }, 10000));
        pageOne = ShownPage(frame);
        probe = std::make_unique<CAnswerProbe>(frame);
    }
    void TearDown() override
    {
        probe.reset();
        if (program && frame) CloseAndExpectCleanExit(*program, frame);
    }

    HWND TabStrip() const { return Child(Child(frame, kViewId), kTabStripId); }
    static HWND EditOf(HWND page) { return Child(Child(page, kReceivePaneId), kReceiveEditId); }
    // A pane's text as its control counts it: WM_GETTEXT ends its lines with CR LF, the control with CR.
    static std::u16string TextOf(HWND page)
    {
        std::u16string text = WindowText(EditOf(page));
        std::erase(text, u'\n');
        return text;
    }
    static std::vector<int> NumbersOf(HWND page) { return SpotNumbers(TextOf(page)); }

    // Where to click the tab after the selected one: the selected tab's accent runs along its whole width.
    POINT NextTabPoint() const
    {
        const POINT accent = SelectedTabAccent(TabStrip());
        const CScreenPixels pixels(TabStrip());
        int end = accent.x;
        while (end < pixels.Width() && pixels.At(end, accent.y) == ::GetSysColor(COLOR_HIGHLIGHT)) ++end;
        RECT strip{};
        ::GetWindowRect(TabStrip(), &strip);
        return POINT{strip.left + end + 16, strip.top + accent.y + 8};
    }
    // Where to click the first tab, left of the second's accent when the second is selected.
    POINT FirstTabPoint() const
    {
        const POINT accent = SelectedTabAccent(TabStrip());
        RECT strip{};
        ::GetWindowRect(TabStrip(), &strip);
        return POINT{strip.left + accent.x / 2, strip.top + accent.y + 8};
    }

    void SelectByStation(const char* name)
    {
        ASSERT_EQ(station.Tell("SENDPKT:" + kSep + "STN2" + kSep + kSep + "/select " + name).substr(0, 2), "OK");
    }

    // After a switch to a page: the page is shown and its newest lines soon follow those of the other node, which
    // streams as fast; the figures of the switch are printed.
    void ExpectShownWithItsNewestLines(HWND page, const char* how)
    {
        const ULONGLONG start = ::GetTickCount64();
        ASSERT_TRUE(PumpUntil([&] { return ShownPage(frame) == page; }, 5000)) << how;
        const int newestElsewhere = NumbersOf(page == pageOne ? pageTwo : pageOne).back();
        std::vector<int> shown;
        EXPECT_TRUE(PumpUntil(
            [&] {
                shown = NumbersOf(page);
                return !shown.empty() && shown.back() >= newestElsewhere - 200;
            },
            10000))
            << how << ": the newest line shown is " << (shown.empty() ? -1 : shown.back()) << ", the other node's "
            << newestElsewhere;
        std::printf("[ figure ] %s: newest lines shown after %llu ms, the window answered within %u ms\n", how,
                    ::GetTickCount64() - start, probe->TakeLongestMs());
    }

    // The page holds a full pane of lines, every line from its first to its last, and no notice of lines skipped.
    void ExpectAllItsLines(HWND page, const char* how)
    {
        std::vector<int> numbers;
        EXPECT_TRUE(PumpUntil(
            [&] {
                numbers = NumbersOf(page);
                return Continuous(numbers) && numbers.size() + 5 >= size_t(kMaxLines);
            },
            20000))
            << how << ": " << numbers.size() << " lines, continuous " << Continuous(numbers);
        const std::u16string text = TextOf(page);
        const size_t notice = text.find(u"skipped");
        EXPECT_EQ(notice, std::u16string::npos) << how << ": " << Utf16ToUtf8(text.substr(0, std::min(text.size(), notice + 200)));
    }

    // The first line in view of a page's pane, as its reader sees it: its line of text, and where in it the view
    // begins when the line is wrapped.
    static std::u16string FirstLineInView(HWND page)
    {
        HWND edit = EditOf(page);
        const long first = long(::SendMessageW(edit, EM_LINEINDEX, ::SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0));
        const std::u16string text = TextOf(page);
        if (first < 0 || size_t(first) >= text.size()) return u"";
        const size_t start = first == 0 ? 0 : text.rfind(u'\r', size_t(first - 1)) + 1;
        return text.substr(start, text.find(u'\r', start) - start) + FormatText(u" (from %d)", int(first - long(start)));
    }
    static std::u16string SelectedText(HWND page)
    {
        const DWORD selection = DWORD(::SendMessageW(EditOf(page), EM_GETSEL, 0, 0));
        return TextOf(page).substr(LOWORD(selection), HIWORD(selection) - LOWORD(selection));
    }

    CTestPeer station{"station", "listen"};
    CTestPeer one{"cluster", "stream", "rate=100 seconds=120"};
    CTestPeer two{"cluster", "stream", "rate=100 seconds=120"};
    test::CTempDir dir;
    std::unique_ptr<CProgram> program;
    HWND frame = nullptr;
    HWND pageOne = nullptr;
    HWND pageTwo = nullptr;
    std::unique_ptr<CAnswerProbe> probe;
};

} // namespace

TEST_F(PageSwitchTest, APageShownAgainHoldsItsLinesItsReadersPlaceAndItsSelection)
{
    // Both panes full; the second page was never shown.
    ASSERT_TRUE(PumpUntil([&] { return NumbersOf(pageOne).size() >= size_t(kMaxLines); }, 20000));
    PumpFor(1000);
    const POINT tabTwo = NextTabPoint();
    probe->TakeLongestMs();
    SelectByStation("Two");
    ASSERT_TRUE(PumpUntil([&] { return ShownPage(frame) != pageOne && ShownPage(frame) != nullptr; }, 5000));
    pageTwo = ShownPage(frame);
    ExpectShownWithItsNewestLines(pageTwo, "shown for the first time by a station's /select");
    ExpectAllItsLines(pageTwo, "shown for the first time");
    PumpFor(500);
    const POINT tabOne = FirstTabPoint();

    ClickAt(tabOne);
    ExpectShownWithItsNewestLines(pageOne, "shown again by a click on its tab");
    ExpectAllItsLines(pageOne, "shown again");

    // A reader scrolls up a page with a click on the scroll bar above its box and leaves at once.
    RECT edit{};
    ::GetWindowRect(EditOf(pageOne), &edit);
    const int bar = ::GetSystemMetrics(SM_CXVSCROLL);
    ClickAt(POINT{edit.right - 2 - bar / 2, edit.top + 2 + bar + 6});
    ClickAt(tabTwo);
    ExpectShownWithItsNewestLines(pageTwo, "shown again by a click on its tab, at once");
    const std::u16string reading = FirstLineInView(pageOne);
    EXPECT_NE(reading.find(u" CQ TEST "), std::u16string::npos) << Utf16ToUtf8(reading);
    PumpFor(1000);
    SelectByStation("One");
    ExpectShownWithItsNewestLines(pageOne, "shown again by a station's /select, its reader above");
    PumpFor(300);
    EXPECT_EQ(FirstLineInView(pageOne), reading) << "shown from " << Utf16ToUtf8(FirstLineInView(pageOne));
    HWND jumpButton = Child(Child(pageOne, kReceivePaneId), kJumpButtonId);
    EXPECT_TRUE(::IsWindowVisible(jumpButton)) << "the reader follows the end";
    EXPECT_NE(WindowText(jumpButton).find(u"new lines - jump to end"), std::u16string::npos);

    // A follower selects a word near the end of the other page with a double click, and switches away and back.
    ClickAt(tabTwo);
    ExpectShownWithItsNewestLines(pageTwo, "shown again by a click on its tab");
    ::GetWindowRect(EditOf(pageTwo), &edit);
    const POINT word{edit.left + 60, edit.bottom - 60};
    ClickAt(word);
    ClickAt(word);
    PumpFor(300);
    const std::u16string selected = SelectedText(pageTwo);
    ASSERT_FALSE(selected.empty());
    SelectByStation("One");
    ExpectShownWithItsNewestLines(pageOne, "shown again by a station's /select");
    PumpFor(1000);
    ClickAt(tabTwo);
    ExpectShownWithItsNewestLines(pageTwo, "shown again by a click on its tab, a word selected");
    ExpectAllItsLines(pageTwo, "shown again, a word selected");
    EXPECT_EQ(SelectedText(pageTwo), selected);
    EXPECT_FALSE(SaveScreenshot(frame, u"page-switch-selection-kept").empty());
}

