#include <gtest/gtest.h>

#include "app/CSendEdit.h"
#include "app/CSplitterBar.h"
#include "app/CtrlBackspace.h"
#include "base/Utf.h"
#include "tests/app/ControlTestHost.h"
#include "win/Button.h"
#include "win/Edit.h"

using namespace kv;
using namespace kv::test;

namespace {

constexpr int kSendEditId = 1011;

// The send line of a page, as the page lays it out.
struct SendLineFixture : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(host.Create(600, 300));
        ASSERT_TRUE(sendEdit.Create(host, kSendEditId, RECT{10, 200, 500, 240}));
        sendEdit.SetFocus();
    }
    void Key(WPARAM key) { sendEdit.SendMessage(WM_KEYDOWN, key, 1); }
    void Type(const std::u16string& text)
    {
        edit().SetText(text);
        edit().SetSel(int(text.size()), int(text.size()));
    }
    CEdit edit() const { return CEdit(sendEdit.Handle()); }
    int Caret() const
    {
        int start = 0, end = 0;
        edit().GetSel(start, end);
        return end;
    }
    static void SetShift(bool down)
    {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }

    CControlTestHost host;
    CSendEdit sendEdit;
};

// An edit with the word deletion, its text and caret set.
struct CtrlBackspaceFixture : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(host.Create(400, 200));
        ASSERT_TRUE(edit.Create(host, 1, WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, RECT{5, 5, 380, 100}));
        ASSERT_TRUE(InstallCtrlBackspace(edit));
    }
    std::u16string After(const std::u16string& text, int caret)
    {
        edit.SetText(text);
        edit.SetSel(caret, caret);
        edit.SendMessage(WM_CHAR, 127, 1);
        return edit.GetText();
    }

    CControlTestHost host;
    CEdit edit;
};

} // namespace

TEST_F(SendLineFixture, EnterEscapeAndThePageKeysGoToThePageAndTypeNothing)
{
    Type(u"sh/dx");
    Key(VK_RETURN);
    sendEdit.SendMessage(WM_CHAR, '\r', 1);
    sendEdit.SendMessage(WM_CHAR, '\n', 1);
    Key(VK_ESCAPE);
    sendEdit.SendMessage(WM_CHAR, VK_ESCAPE, 1);
    Key(VK_PRIOR);
    Key(VK_NEXT);

    const auto sent = host.Received(WM_APP_SEND_LINE);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].wParam, WPARAM(kSendEditId));
    EXPECT_EQ(sent[0].lParam, 0);
    EXPECT_EQ(host.Count(WM_APP_SCROLL_TO_END), 1u);
    const auto pages = host.Received(WM_APP_PAGE_SCROLL);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].wParam, WPARAM(SB_PAGEUP));
    EXPECT_EQ(pages[1].wParam, WPARAM(SB_PAGEDOWN));
    EXPECT_EQ(sendEdit.GetText(), u"sh/dx"); // no line break went in
    EXPECT_EQ(edit().GetLimitText(), CSendEdit::kMaxChars);
}

TEST_F(SendLineFixture, UpAndDownBrowseTheHistoryAndBringBackWhatWasTyped)
{
    Key(VK_UP); // an empty history: the caret just moves
    EXPECT_EQ(sendEdit.GetText(), u"");
    sendEdit.AddToHistory(u"sh/dx");
    sendEdit.AddToHistory(u"sh/dx");
    sendEdit.AddToHistory(u"sh/wwv");
    Type(u"abc");

    Key(VK_UP);
    EXPECT_EQ(sendEdit.GetText(), u"sh/wwv");
    EXPECT_EQ(Caret(), 6); // at the end of the text put in
    Key(VK_UP);
    EXPECT_EQ(sendEdit.GetText(), u"sh/dx");
    Key(VK_UP);
    EXPECT_EQ(sendEdit.GetText(), u"sh/dx"); // the oldest stays
    Key(VK_DOWN);
    EXPECT_EQ(sendEdit.GetText(), u"sh/wwv");
    Key(VK_DOWN);
    EXPECT_EQ(sendEdit.GetText(), u"abc");
    Key(VK_DOWN); // not browsing any more
    EXPECT_EQ(sendEdit.GetText(), u"abc");
}

TEST_F(SendLineFixture, ShiftOrACaretBelowTheFirstLineMovesTheCaretInstead)
{
    sendEdit.AddToHistory(u"older");
    Type(u"typed");
    SetShift(true);
    Key(VK_UP);
    SetShift(false);
    EXPECT_EQ(sendEdit.GetText(), u"typed");

    // A text long enough to wrap in the 490-pixel box: the caret at its end is on its second line.
    const std::u16string wrapped(150, u'w');
    sendEdit.SetText(u"short words " + std::u16string(20, u'x') + u" " + wrapped);
    const int end = int(sendEdit.GetText().size());
    edit().SetSel(end, end);
    ASSERT_GT(edit().GetLineCount(), 1);
    Key(VK_UP);
    EXPECT_EQ(sendEdit.GetText().size(), size_t(end));
    EXPECT_FALSE(sendEdit.History().IsBrowsing());
}

TEST_F(SendLineFixture, TheWheelScrollsTheWindowUnderThePointer)
{
    CControlTestHost other; // a window outside the main window
    ASSERT_TRUE(other.Create(200, 120, u"Another program"));
    ::SetWindowPos(other, nullptr, 700, 500, 200, 120, SWP_NOZORDER);
    CControlTestHost pane;
    ASSERT_TRUE(pane.Create(10, 10));
    ::SetWindowLongPtrW(pane, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    ::SetParent(pane, host);
    ::SetWindowPos(pane, nullptr, 10, 10, 300, 150, SWP_NOZORDER | SWP_FRAMECHANGED);
    PumpFor(100);

    auto wheelAt = [&](HWND over) {
        RECT r = CWindow(over).WindowRect();
        const LPARAM screen = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return sendEdit.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), screen);
    };
    EXPECT_EQ(wheelAt(pane), TRUE);
    const auto wheels = pane.Received(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(wheels[0].wParam, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA));

    wheelAt(sendEdit); // over itself: its own handling
    wheelAt(other);    // over another program's window: not sent there
    EXPECT_EQ(pane.Count(WM_MOUSEWHEEL), 1u);
    EXPECT_EQ(other.Count(WM_MOUSEWHEEL), 0u);
}

TEST(FindWordStart, TakesTheWordWithTheBlanksAfterItAndALineBreakAlone)
{
    EXPECT_EQ(FindWordStart(u"", 0), 0);
    EXPECT_EQ(FindWordStart(u"send foo", 8), 5);
    EXPECT_EQ(FindWordStart(u"send foo  ", 10), 5);
    EXPECT_EQ(FindWordStart(u"a.b,,", 5), 3);
    EXPECT_EQ(FindWordStart(u"snake_case9", 11), 0);
    EXPECT_EQ(FindWordStart(u"   ", 3), 0);
    EXPECT_EQ(FindWordStart(u"ab\r\ncd", 4), 2); // CR LF together
    EXPECT_EQ(FindWordStart(u"ab\ncd", 3), 2);
    EXPECT_EQ(FindWordStart(u"ab\r\n  ", 6), 4); // only the blanks after the line end
    EXPECT_EQ(FindWordStart(u"\n", 1), 0);
    EXPECT_EQ(FindWordStart(u"gr\u00FC\u00DFe", 5), 0); // letters beyond ASCII are word characters
    EXPECT_EQ(FindWordStart(u"abc", 99), 0);         // an end past the text
}

TEST_F(CtrlBackspaceFixture, DeletesTheWordBeforeTheCaretAndCanBeUndone)
{
    EXPECT_EQ(After(u"foo bar ", 8), u"foo ");
    EXPECT_EQ(After(u"foo bar", 0), u"foo bar");
    EXPECT_EQ(After(u"ab\r\ncd", 4), u"abcd");
    EXPECT_TRUE(edit.CanUndo());
    edit.Undo();
    EXPECT_EQ(edit.GetText(), u"ab\r\ncd");
}

TEST_F(CtrlBackspaceFixture, DeletesASelectionAndNothingInAReadOnlyBox)
{
    edit.SetText(u"one two three");
    edit.SetSel(4, 7);
    edit.SendMessage(WM_CHAR, 127, 1);
    EXPECT_EQ(edit.GetText(), u"one  three");

    edit.SetReadOnly(true);
    EXPECT_EQ(After(u"foo bar", 7), u"foo bar");
}

TEST_F(CtrlBackspaceFixture, IsGivenToEveryEditOfADialog)
{
    CControlTestHost dialog;
    ASSERT_TRUE(dialog.Create(300, 200, u"Settings"));
    CEdit first, second;
    CButton button;
    ASSERT_TRUE(first.Create(dialog, 1, WS_CHILD | WS_VISIBLE, 0, RECT{5, 5, 200, 25}));
    ASSERT_TRUE(second.Create(dialog, 2, WS_CHILD | WS_VISIBLE, 0, RECT{5, 30, 200, 50}));
    ASSERT_TRUE(button.Create(dialog, 3, u"OK", WS_CHILD | WS_VISIBLE, RECT{5, 60, 80, 85}));
    ::EnumChildWindows(dialog, &EnableCtrlBackspace, 0);
    for (CEdit* e : {&first, &second}) {
        e->SetText(u"alpha beta");
        e->SetSel(10, 10);
        e->SendMessage(WM_CHAR, 127, 1);
        EXPECT_EQ(e->GetText(), u"alpha ");
    }
}

TEST(SplitterBar, ReportsWhereItsTopEdgeIsToStandWhileDraggedAndStopsWithTheCapture)
{
    CControlTestHost page;
    ASSERT_TRUE(page.Create(500, 400));
    CSplitterBar splitter;
    ASSERT_TRUE(splitter.Create(page, 1010, RECT{0, 200, 480, 205}));
    PumpFor(50);

    splitter.SendMessage(WM_MOUSEMOVE, 0, Point(40, 1)); // not pressed: nothing
    splitter.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(40, 2));
    EXPECT_TRUE(splitter.IsDragging());
    EXPECT_TRUE(splitter.HasCapture());
    splitter.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(40, -48)); // 50 pixels up
    splitter.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(60, 32));  // 30 pixels down
    splitter.SendMessage(WM_LBUTTONUP, 0, Point(60, 32));
    EXPECT_FALSE(splitter.IsDragging());
    splitter.SendMessage(WM_MOUSEMOVE, 0, Point(60, 90));

    const auto drags = page.Received(WM_APP_SPLITTER_DRAG);
    ASSERT_EQ(drags.size(), 2u);
    EXPECT_EQ(drags[0].wParam, WPARAM(1010));
    EXPECT_EQ(drags[0].lParam, 150);
    EXPECT_EQ(drags[1].lParam, 230);

    splitter.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(40, 2));
    ::ReleaseCapture(); // the capture taken away, e.g. by a message box
    EXPECT_FALSE(splitter.IsDragging());
}

// Through the real keyboard road (input queue, TranslateMessage): Ctrl+Backspace arrives as character 127
// and deletes a word; Up brings back the last line sent; Enter reaches the page.
TEST_F(SendLineFixture, RealKeystrokesDeleteAWordBrowseAndSend)
{
    ::SetForegroundWindow(host);
    sendEdit.SetFocus();
    PumpFor(100);
    if (::GetFocus() != sendEdit.Handle()) GTEST_SKIP() << "no keyboard focus on this display";
    Type(u"sh/dx foo bar");
    SendKeys({{VK_CONTROL, true}, {VK_BACK, true}, {VK_BACK, false}, {VK_CONTROL, false}});
    EXPECT_TRUE(PumpUntil([&] { return sendEdit.GetText() == u"sh/dx foo "; }, 2000)) << Utf16ToUtf8(sendEdit.GetText());

    sendEdit.AddToHistory(u"sh/wwv");
    SendKeys({{VK_UP, true}, {VK_UP, false}});
    EXPECT_TRUE(PumpUntil([&] { return sendEdit.GetText() == u"sh/wwv"; }, 2000));
    SendKeys({{VK_RETURN, true}, {VK_RETURN, false}});
    EXPECT_TRUE(PumpUntil([&] { return host.Count(WM_APP_SEND_LINE) == 1; }, 2000));
    EXPECT_EQ(sendEdit.GetText(), u"sh/wwv");
}

// Ctrl+H types a backspace too: it deletes one character, never a word.
TEST_F(CtrlBackspaceFixture, CtrlHStaysAPlainBackspace)
{
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    keys[VK_BACK] = 0;
    ::SetKeyboardState(keys);
    edit.SetText(u"foo bar");
    edit.SetSel(7, 7);
    edit.SendMessage(WM_CHAR, '\b', 1);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_NE(edit.GetText(), u"foo ");
}
