#include <gtest/gtest.h>

#include <windowsx.h>

#include <cstdlib>
#include <vector>

#include "app/CReceivePane.h"
#include "app/LineStyle.h"
#include "app/MonoFont.h"
#include "base/Format.h"
#include "base/Platform.h"
#include "base/Text.h"
#include "base/Utf.h"
#include "tests/app/PaneTestHost.h"
#include "tests/support/WinTestSupport.h"
#include "win/MessageOnlyWindow.h"

using namespace kv;

namespace {

// The pane's time, standing still unless a test moves it.
class CTestClock : public IClock {
public:
    uint64_t TickCount() const override { return tick; }
    UtcTime NowUtc() const override { return {}; }
    uint64_t tick = 100000;
};

class ReceivePaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Create(u"Receive pane", 720, 420));
        ASSERT_TRUE(test::PlaceReceivePane(host, pane, font, 700, 330));
        test::PumpFor(50);
    }

    std::u16string EditText() { return pane.Edit().GetTextRange(0, pane.Edit().GetTextLength()); }
    // The text as the control holds it now, with what waits still waiting.
    std::u16string ControlText() { return pane.TextControl().GetTextRange(0, pane.TextControl().GetTextLength()); }
    bool ShowsSoon(const std::u16string& part)
    {
        return test::PumpUntil([&] { return ControlText().find(part) != std::u16string::npos; }, 10000);
    }
    std::u16string FirstVisibleLineText() { return test::FirstVisibleLineText(pane.Edit()); }
    void AppendNumberedLines(int from, int to)
    {
        for (int i = from; i <= to; ++i) pane.AppendText(FormatText(u"line %d\n", i), LineReceived);
    }
    void ScrollLinesAboveTheEnd(int lines)
    {
        pane.ScrollToEnd();
        test::ScrollLinesAboveTheEnd(pane.Edit(), lines);
    }
    // Scrolls up by pages, as a user with the scroll bar would.
    void ScrollUp(int pages)
    {
        for (int i = 0; i < pages; ++i) pane.Edit().SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
        ASSERT_FALSE(pane.IsScrolledToEnd());
    }
    // A client point of the text control over a character.
    POINT PointOf(long index)
    {
        POINT p = pane.Edit().PosFromChar(index);
        p.x += 2;
        p.y += 2;
        return p;
    }
    long IndexOf(const std::u16string& text) { return long(EditText().find(text)); }

    test::CPaneTestHost host;
    CReceivePane pane;
    MonoFont font;
};

} // namespace

TEST_F(ReceivePaneTest, The5001stLineRemovesTheFirstAndThePartialLineStays)
{
    AppendNumberedLines(1, 5000);
    pane.AppendText(u"partial", LineReceived);
    EXPECT_EQ(size_t(pane.Record().KeptLines()), 5000u);
    EXPECT_EQ(EditText().substr(0, 7), u"line 1\r");

    pane.AppendText(u"5001\n", LineReceived);
    EXPECT_EQ(size_t(pane.Record().KeptLines()), 5000u);
    const std::u16string text = EditText();
    EXPECT_EQ(text.substr(0, 7), u"line 2\r");
    EXPECT_EQ(text.substr(text.size() - 12), u"partial5001\r");
    EXPECT_EQ(int64_t(text.size()), pane.Record().KeptChars());
    EXPECT_TRUE(pane.IsScrolledToEnd());
    EXPECT_EQ(pane.NewLineCount(), 0);
}

TEST_F(ReceivePaneTest, NulCharactersAreDroppedSoTheCountersMatchTheText)
{
    pane.SetMaxLines(3);
    pane.AppendText(std::u16string(u"DX de K1ABC:\0 14025.0 DL1XYZ\n", 30), LineReceived);
    pane.AppendText(u"\r\r", LineReceived);
    pane.AppendText(u"a\r\nb\r\n", LineReceived);
    EXPECT_EQ(EditText(), u"DX de K1ABC: 14025.0 DL1XYZ\ra\rb\r");
    pane.AppendText(std::u16string(u"\0c\n\0", 4), LineReceived);
    EXPECT_EQ(EditText(), u"a\rb\rc\r");
    EXPECT_EQ(int64_t(EditText().size()), pane.Record().KeptChars());
}

TEST_F(ReceivePaneTest, ReadingPositionHoldsWhileLinesArriveAndAreTrimmed)
{
    pane.SetMaxLines(300);
    AppendNumberedLines(1, 300);
    ScrollUp(4);
    const std::u16string reading = FirstVisibleLineText();
    ASSERT_FALSE(pane.IsWindow() && ::IsWindowVisible(pane.JumpButton()));

    pane.AppendText(u"line 301\n", LineReceived); // trims "line 1" above the reader
    EXPECT_EQ(FirstVisibleLineText(), reading);
    EXPECT_EQ(pane.NewLineCount(), 1);
    EXPECT_TRUE(::IsWindowVisible(pane.JumpButton()));
    EXPECT_EQ(CWindow(pane.JumpButton()).GetText(), u"1 new line - jump to end");

    pane.AppendText(u"line 302\n", LineReceived);
    EXPECT_EQ(FirstVisibleLineText(), reading);
    EXPECT_EQ(CWindow(pane.JumpButton()).GetText(), u"2 new lines - jump to end");
    EXPECT_EQ(EditText().substr(0, 7), u"line 3\r");

    test::PumpFor(400); // the end check leaves the button while the reader is up
    EXPECT_TRUE(::IsWindowVisible(pane.JumpButton()));
    EXPECT_FALSE(test::SaveScreenshot(host, u"receive-pane-jump-button").empty());

    ::SendMessageW(pane, WM_COMMAND, MAKEWPARAM(CReceivePane::kJumpButtonId, BN_CLICKED), LPARAM(pane.JumpButton()));
    EXPECT_TRUE(pane.IsScrolledToEnd());
    EXPECT_EQ(pane.NewLineCount(), 0);
    EXPECT_FALSE(::IsWindowVisible(pane.JumpButton()));
    EXPECT_TRUE(test::PumpUntil([&] { return host.focusRequests == 1; }, 2000));
    EXPECT_EQ(::GetFocus(), HWND(host.sendLine));
}

// A pane of some thousand lines is taller than 65,535 pixels, where scroll positions may be scaled down to 16
// bits: a reader even one line above the end is not taken for one at the end, and neither the lines added
// below him (the first round, before the pane is full) nor those trimmed above him move him.
TEST_F(ReceivePaneTest, AReaderAFewLinesUpInAFullPaneKeepsHisLineWhileLinesArrive)
{
    CTestClock clock; // standing still: no line waits too long, however slow the updates
    pane.SetClock(clock);
    AppendNumberedLines(1, 4900);
    int next = 4901;
    for (int linesUp : {20, 1, 2, 3, 5, 20}) {
        ScrollLinesAboveTheEnd(linesUp);
        const std::u16string reading = FirstVisibleLineText();
        ASSERT_FALSE(pane.IsScrolledToEnd()) << linesUp << " lines up";
        for (int block = 0; block < 10; ++block) {
            AppendNumberedLines(next, next + 9);
            next += 10;
            test::PumpFor(30);
            if (linesUp == 3 && block == 5) {
                EXPECT_FALSE(test::SaveScreenshot(host, u"receive-pane-reader-in-a-full-pane").empty());
            }
        }
        EXPECT_EQ(FirstVisibleLineText(), reading) << linesUp << " lines up";
        EXPECT_EQ(pane.NewLineCount(), 100) << linesUp << " lines up";
        EXPECT_EQ(CWindow(pane.JumpButton()).GetText(), u"100 new lines - jump to end") << linesUp << " lines up";
    }
    EXPECT_EQ(size_t(pane.Record().KeptLines()), 5000u);
}

TEST_F(ReceivePaneTest, WithoutTrimmingTheScrollPositionIsExactlyKept)
{
    AppendNumberedLines(1, 200);
    ScrollUp(2);
    const POINT before = pane.Edit().GetScrollPos();
    const CHARRANGE selection{long(IndexOf(u"line 120")), long(IndexOf(u"line 120") + 8)};
    pane.Edit().SetSel(selection.cpMin, selection.cpMax);
    pane.Edit().SetScrollPos(before);
    AppendNumberedLines(201, 230);
    EXPECT_EQ(pane.Edit().GetScrollPos().y, before.y);
    EXPECT_EQ(pane.NewLineCount(), 30);
    const CHARRANGE after = pane.Edit().GetSel();
    EXPECT_EQ(after.cpMin, selection.cpMin);
    EXPECT_EQ(after.cpMax, selection.cpMax);
}

TEST_F(ReceivePaneTest, ReachingTheEndByScrollingHidesTheButton)
{
    AppendNumberedLines(1, 100);
    ScrollUp(1);
    pane.AppendText(u"new\n", LineReceived);
    ASSERT_EQ(pane.NewLineCount(), 1);
    pane.Edit().SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return pane.NewLineCount() == 0; }, 2000));
    EXPECT_FALSE(::IsWindowVisible(pane.JumpButton()));

    // An append at the end follows the text.
    AppendNumberedLines(101, 150);
    EXPECT_TRUE(pane.IsScrolledToEnd());
    EXPECT_EQ(pane.NewLineCount(), 0);
}

TEST_F(ReceivePaneTest, ReasonOfAStruckOutBlockIsItsTooltipAndGoesWithADuplicateSpotTest)
{
    pane.AppendText(u"Connected to cluster\n", LineNotice);
    pane.AddText(u"DX de K1ABC:     14025.0  JA1XYZ       CQ                     1200Z\n", u"DX call", LineRejected);
    pane.AddText(u"DX de W3LPL:     14030.0  VK2ABC       599                    1201Z\n", u"already forwarded",
                 LineDuplicate);
    pane.AppendText(u"DX de N1MM:      7010.0  ZL1AA        TNX                    1202Z\n", LineReceived);

    auto moveTo = [&](long index) {
        const POINT p = PointOf(index);
        pane.Edit().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    };
    moveTo(IndexOf(u"VK2ABC"));
    EXPECT_EQ(pane.TooltipText(), u"already forwarded");
    EXPECT_EQ(CToolTipCtrl(pane.Tooltip()).GetWindowToolText(pane, pane.Edit()), u"already forwarded");
    moveTo(IndexOf(u"JA1XYZ"));
    EXPECT_EQ(pane.TooltipText(), u"DX call");
    moveTo(IndexOf(u"ZL1AA"));
    EXPECT_EQ(pane.TooltipText(), u"");
    // Below the last line there is no text, whatever character is nearest.
    const POINT below = PointOf(IndexOf(u"ZL1AA"));
    EXPECT_EQ(pane.GetReasonAt(below.x, below.y + 5 * font.LineHeight), u"");

    auto spotTest = [&](const std::u16string& call) {
        POINT p = PointOf(IndexOf(call));
        ::ClientToScreen(pane.Edit(), &p);
        pane.Edit().RunContextCommand(ID_TEST_IN_SPOT_FILTERS, pane.Edit().GetLineAt(p.x, p.y));
    };
    spotTest(u"VK2ABC");
    spotTest(u"JA1XYZ");
    ASSERT_EQ(host.spotTests.size(), 2u);
    EXPECT_EQ(host.spotTests[0].Line, u"DX de W3LPL:     14030.0  VK2ABC       599                    1201Z");
    EXPECT_EQ(host.spotTests[0].Reason, u"already forwarded");
    EXPECT_EQ(host.spotTests[0].CharIndex, IndexOf(u"VK2ABC"));
    EXPECT_EQ(host.spotTests[1].Reason, u""); // filter-rejected: the dialog finds the reason itself
}

// The context menu's loop runs timers and sockets: what is shown and trimmed while the menu is open does not
// change the line and reason that its spot test carries.
TEST_F(ReceivePaneTest, TheMenusSpotTestCarriesTheClickedLineWhateverIsTrimmedWhileItIsOpen)
{
    const auto spot = [](const char16_t* call) {
        return FormatText(u"DX de W3LPL:     14030.0  %s       599                    1201Z", call);
    };
    pane.SetMaxLines(3);
    pane.AppendText(spot(u"JA1XYZ") + u"\n", LineReceived);
    pane.AddText(spot(u"VK2ABC") + u"\n", u"already forwarded", LineDuplicate);
    pane.AddText(spot(u"ZL1ABC") + u"\n", u"other reason", LineDuplicate);
    POINT at = PointOf(IndexOf(u"VK2ABC"));
    ::ClientToScreen(pane.Edit(), &at);

    // With the menu open, a line arrives and trims the first one; then the user chooses the spot test.
    CMessageOnlyWindow meanwhile;
    ASSERT_TRUE(meanwhile.Create([&](UINT msg, WPARAM id, LPARAM, LRESULT&) {
        if (msg != WM_TIMER) return false;
        meanwhile.KillTimer(id);
        if (id == 2) {
            ::EndMenu(); // the menu did not take the key
            return true;
        }
        pane.AppendText(spot(u"G4ABCD") + u"\n", LineReceived);
        pane.FlushPendingText();
        ::PostMessageW(pane.Edit(), WM_CHAR, u't', 0); // the item's access key
        return true;
    }));
    meanwhile.SetTimer(1, 300);
    meanwhile.SetTimer(2, 15000);
    pane.Edit().SendMessage(WM_CONTEXTMENU, WPARAM(HWND(pane.Edit())), MAKELPARAM(at.x, at.y));
    meanwhile.KillTimer(2);
    EXPECT_EQ(EditText().substr(0, spot(u"VK2ABC").size()), spot(u"VK2ABC")); // the first line was trimmed
    ASSERT_EQ(host.spotTests.size(), 1u);
    EXPECT_EQ(host.spotTests[0].Line, spot(u"VK2ABC"));
    EXPECT_EQ(host.spotTests[0].Reason, u"already forwarded");
}

TEST_F(ReceivePaneTest, ResizingKeepsTheEndInViewForAFollowerAndThePlaceForAReader)
{
    AppendNumberedLines(1, 200);
    pane.Move(0, 0, 700, 150);
    EXPECT_TRUE(pane.IsScrolledToEnd());
    pane.Move(0, 0, 700, 330);
    EXPECT_TRUE(pane.IsScrolledToEnd());
    ScrollUp(3);
    const std::u16string reading = FirstVisibleLineText();
    pane.Move(0, 0, 700, 300);
    EXPECT_EQ(FirstVisibleLineText(), reading);
    EXPECT_FALSE(pane.IsScrolledToEnd());
}

TEST_F(ReceivePaneTest, TypingInThePaneGoesToTheSendLine)
{
    pane.AppendText(u"some text\n", LineReceived);
    pane.Edit().SetFocus();
    ASSERT_EQ(::GetFocus(), HWND(pane.Edit()));
    ::PostMessageW(pane.Edit(), WM_CHAR, 'S', 0x001F0001);
    ::PostMessageW(pane.Edit(), WM_CHAR, 'H', 0x00230001);
    EXPECT_TRUE(test::PumpUntil([&] { return host.sendLine.GetText() == u"SH"; }, 2000));
    EXPECT_EQ(::GetFocus(), HWND(host.sendLine));
    EXPECT_EQ(host.focusRequests, 1);
    EXPECT_EQ(EditText(), u"some text\r");
}

TEST_F(ReceivePaneTest, AClickSelectsHereAndThenReturnsTheFocusToTheSendLine)
{
    pane.AppendText(u"click me\n", LineReceived);
    const POINT p = PointOf(2);
    pane.Edit().SetFocus();
    pane.Edit().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    pane.Edit().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(host.clickedEdits.size(), 1u);
    EXPECT_EQ(host.clickedEdits[0], HWND(pane.Edit()));
    EXPECT_TRUE(test::PumpUntil([&] { return ::GetFocus() == HWND(host.sendLine); }, ::GetDoubleClickTime() + 2000));
}

TEST_F(ReceivePaneTest, ContextMenuOffersTheSpotTestOnlyForSpotLines)
{
    const std::u16string spot = u"DX de K1ABC:     14025.0  JA1XYZ       CQ                     1200Z";
    pane.AppendText(spot + u"\nhello\n", LineReceived);
    CMenu menu;
    ASSERT_TRUE(pane.Edit().BuildContextMenu(menu, spot));
    EXPECT_EQ(menu.Count(), 5);
    EXPECT_EQ(menu.ItemId(4), UINT(ID_TEST_IN_SPOT_FILTERS));
    EXPECT_FALSE(menu.ItemState(ID_TEST_IN_SPOT_FILTERS) & MF_GRAYED);
    EXPECT_TRUE(menu.ItemState(ID_EDIT_COPY) & MF_GRAYED); // nothing selected
    EXPECT_FALSE(menu.ItemState(ID_EDIT_COPY_ALL) & MF_GRAYED);
    ASSERT_TRUE(pane.Edit().BuildContextMenu(menu, u"hello"));
    EXPECT_TRUE(menu.ItemState(ID_TEST_IN_SPOT_FILTERS) & MF_GRAYED);

    pane.Edit().SpotTestEnabled = false; // as in the log pane
    ASSERT_TRUE(pane.Edit().BuildContextMenu(menu, spot));
    EXPECT_EQ(menu.Count(), 3);
    EXPECT_EQ(menu.ItemState(ID_TEST_IN_SPOT_FILTERS), UINT(-1));

    // Select All selects everything, tells the main window and gives the focus back.
    pane.Edit().RunContextCommand(ID_EDIT_SELECT_ALL, {});
    const CHARRANGE all = pane.Edit().GetSel();
    EXPECT_EQ(all.cpMin, 0);
    EXPECT_GE(all.cpMax, pane.Edit().GetTextLength()); // the control's own final paragraph end may count
    EXPECT_EQ(host.clickedEdits.size(), 1u);
    EXPECT_TRUE(test::PumpUntil([&] { return host.focusRequests == 1; }, 2000));
}

// A full pane is taller than 65,535 pixels, where scroll positions may be scaled down to 16 bits: Copy All
// leaves a reader at the end there, following the new lines, and one above at his line.
TEST_F(ReceivePaneTest, CopyAllCopiesEverythingAndKeepsSelectionAndPlaceInAFullPane)
{
    CTestClock clock; // standing still: no line waits too long, however slow the updates
    pane.SetClock(clock);
    AppendNumberedLines(1, 5000);
    pane.ScrollToEnd();
    pane.Edit().RunContextCommand(ID_EDIT_COPY_ALL, {});
    EXPECT_TRUE(pane.IsScrolledToEnd()) << "at the end, then shown from " << Utf16ToUtf8(FirstVisibleLineText());
    AppendNumberedLines(5001, 5001);
    EXPECT_TRUE(pane.IsScrolledToEnd());
    EXPECT_EQ(pane.NewLineCount(), 0);

    for (int linesUp : {1, 100, 1000, 4000}) {
        ScrollLinesAboveTheEnd(linesUp);
        const std::u16string reading = FirstVisibleLineText();
        const long selected = IndexOf(reading);
        pane.Edit().SetSel(selected, selected + 4);
        pane.Edit().RunContextCommand(ID_EDIT_COPY_ALL, {});
        EXPECT_EQ(Utf16ToUtf8(FirstVisibleLineText()), Utf16ToUtf8(reading)) << linesUp << " lines up";
        EXPECT_EQ(pane.Edit().GetSel().cpMin, selected);
        EXPECT_EQ(pane.Edit().GetSel().cpMax, selected + 4);
    }
    ASSERT_TRUE(::OpenClipboard(host));
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    std::u16string copied = data ? U16(static_cast<const wchar_t*>(::GlobalLock(data))) : u"";
    if (data) ::GlobalUnlock(data);
    ::CloseClipboard();
    EXPECT_EQ(copied.substr(0, 8), u"line 2\r\n");
    EXPECT_NE(copied.find(u"line 5001\r\n"), std::u16string::npos);
}

TEST_F(ReceivePaneTest, EveryKindOfLineForALook)
{
    pane.AppendText(u"Connected to 127.0.0.1:7300\n", LineNotice);
    pane.AppendText(u"Please enter your call: ", LineReceived);
    pane.AppendText(u"DL1TST\n", LineSent);
    pane.AppendText(u"DX de K1ABC:     14025.0  JA1XYZ       CQ                     1200Z\n", LineReceived);
    pane.AddText(u"DX de EA8XX:     14027.5  K2ABC        rejected by DX call    1200Z\n", u"DX call", LineRejected);
    pane.AddText(u"DX de W3LPL:     14030.0  VK2ABC       already forwarded      1201Z\n", u"already forwarded",
                 LineDuplicate);
    pane.AppendText(u"Connection lost\n", LineError);
    pane.AppendText(u"DX de N1MM:       7010.0  ZL1AA        TNX                    1202Z\n", 17);
    test::PumpFor(200);
    EXPECT_FALSE(test::SaveScreenshot(host, u"receive-pane-line-kinds").empty());

    // The real mouse over the struck-out duplicate: its reason as a tooltip.
    POINT over = PointOf(IndexOf(u"VK2ABC"));
    ::ClientToScreen(pane.Edit(), &over);
    ::SetCursorPos(over.x + 3, over.y + 3);
    int checks = 0;
    EXPECT_TRUE(test::PumpUntil(
        [&] {
            if (pane.TooltipText() == u"already forwarded") return true;
            // Moved again by a pixel now and then: a busy machine may let the first move reach the pane late.
            if (++checks % 10 == 0) ::SetCursorPos(over.x + 3 + checks / 10 % 2, over.y + 3);
            return false;
        },
        5000));
    test::PumpFor(1200);
    EXPECT_FALSE(test::SaveScreenshot(nullptr, u"receive-pane-tooltip").empty());

    // Each append sets its own effects: the text after a struck-out block is plain.
    CReadOnlyRichEdit& edit = pane.Edit();
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    edit.SetSel(IndexOf(u"K2ABC"), IndexOf(u"K2ABC") + 5);
    edit.SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, LPARAM(&format));
    EXPECT_TRUE(format.dwEffects & CFE_STRIKEOUT);
    EXPECT_TRUE(format.dwEffects & CFE_ITALIC);
    EXPECT_EQ(format.crTextColor, ::GetSysColor(COLOR_GRAYTEXT));
    edit.SetSel(IndexOf(u"Connection lost"), IndexOf(u"Connection lost") + 4);
    edit.SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, LPARAM(&format));
    EXPECT_FALSE(format.dwEffects & (CFE_STRIKEOUT | CFE_ITALIC));
    EXPECT_EQ(format.crTextColor, RGB(192, 0, 0));
}

// A combining mark of a shaped script that follows no letter of its script made Wine's text shaping read
// outside the text and crash (Arabic fatha and hamza below after a Latin letter, a digit, a blank, or alone).
TEST_F(ReceivePaneTest, TextThatCrashedTextShapingIsShownWithoutACrash)
{
    for (const char16_t* line : {u"N\u0655\n", u"\u064E\n", u"1\u064E 9\u0655\n", u"ok \u0628\u064E\u0651 N \u064E\n"})
        pane.AppendText(line, LineReceived);
    pane.AddText(u"\u0655\n", u"rejected", LineRejected);
    test::PumpFor(200);
    EXPECT_EQ(EditText(), u"N\uFFFD\r\uFFFD\r1\uFFFD 9\uFFFD\rok \u0628\u064E\u0651 N \uFFFD\r\uFFFD\r");
}

// A rich edit's memory grows with its characters (by hundreds of bytes each under Wine): besides its lines, a
// pane keeps at most a hundred characters a line, and shows a long line in display lines of at most 2048.
TEST_F(ReceivePaneTest, LongLinesAreShownInPiecesAndThePaneKeepsAHundredCharactersALine)
{
    pane.SetMaxLines(100);
    for (int i = 0; i < 10; ++i) pane.AppendText(std::u16string(5000, u'x') + u"\n", LineReceived);
    const std::u16string text = EditText();
    EXPECT_LE(text.size(), size_t(100 * 100));
    for (const std::u16string& line : Split(text, u'\r')) EXPECT_LE(line.size(), 2048u);
    EXPECT_EQ(text.substr(text.size() - 905), std::u16string(904, u'x') + u"\r");
}

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
    pane.AppendText(block, LineReceived); // the first update shows the first lines at once
    ::Sleep(1100);                        // the loop was away: the rest waited too long
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
    EXPECT_EQ(Split(EditText(), u'\r'),
              (std::vector<std::u16string>{u"line 36", u"2 lines skipped: received faster than they can be shown",
                                           u"line 39", u"line 40", u"line 41", u"line 42", u""}));
}
