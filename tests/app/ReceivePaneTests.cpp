#include "tests/app/ReceivePaneTest.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;
using test::CTestClock;
using test::ReceivePaneTest;

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

// A line goes in on the pane's own timer, a moment after the read that brought it: drawn inside that read, it made
// the socket's turn as long as the drawing, and a station's packet waiting on another socket waited behind it.
TEST_F(ReceivePaneTest, ALineIsDrawnInThePanesOwnTurnNotInTheReadThatBringsIt)
{
    CTestClock clock;
    pane.SetClock(clock);
    clock.tick += 10000; // long quiet: the pane is due for an update
    pane.AddText(u"DX de K1ABC:     14025.0  JA1XYZ       CQ TEST   1200Z\n", u"", LineReceived);
    EXPECT_EQ(ControlText(), u"") << "drawn inside the read";
    EXPECT_TRUE(ShowsSoon(u"JA1XYZ"));
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
