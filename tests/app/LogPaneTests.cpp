#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <string_view>

#include "app/CLogPane.h"
#include "app/DpiHelpers.h"
#include "app/MonoFont.h"
#include "base/Format.h"
#include "base/Utf.h"
#include "tests/app/PaneTestHost.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;

namespace {

class LogPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Create(u"Log pane", 720, 300));
        ASSERT_TRUE(pane.Create(host, 101));
        ASSERT_TRUE(CreateScaledUiFont(uiFont, 96));
        ASSERT_TRUE(textFont.CreateFontForDpi(u"Consolas", 10, 96));
        pane.SetHeaderFont(uiFont, 96);
        pane.SetTextFont(textFont.Font);
        expandedHeight = 200;
        Layout();
    }
    // What the view does with the pane: full height, or only its header when folded.
    void Layout()
    {
        pane.Move(0, 30, width, pane.Collapsed() ? pane.HeaderHeight() : expandedHeight);
        test::PumpFor(30);
    }
    std::u16string Text() { return pane.Edit().GetTextRange(0, pane.Edit().GetTextLength()); }
    std::u16string FirstVisibleLineText() { return test::FirstVisibleLineText(pane.Edit()); }

    test::CPaneTestHost host;
    CLogPane pane;
    CFont uiFont;
    MonoFont textFont;
    int expandedHeight = 0;
    int width = 700;
};

} // namespace

TEST_F(LogPaneTest, EachLineIsStampedWithTheUtcTimeAndTheConnectionName)
{
    pane.AddLine(false, u"", u"Started");
    pane.AddLine(true, u"Cluster 1", u"Connection refused");
    const std::string text = Utf16ToUtf8(Text());
    const std::regex shape(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\dZ Started\r\d{4}-\d\d-\d\d \d\d:\d\d:\d\dZ \[Cluster 1\] Connection refused)");
    EXPECT_TRUE(std::regex_match(text, shape)) << text;
    EXPECT_EQ(pane.LineCount(), 2);

    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    const long error = long(Text().find(u"Connection refused"));
    pane.Edit().SetSel(error, error + 4);
    pane.Edit().SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, LPARAM(&format));
    EXPECT_EQ(format.crTextColor, RGB(192, 0, 0));
    pane.Edit().SetSel(0, 4);
    pane.Edit().SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, LPARAM(&format));
    EXPECT_EQ(format.crTextColor, ::GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(LogPaneTest, The1001stLineRemovesTheFirstEvenWhenTextsHoldLineBreaks)
{
    pane.SetCollapsed(true); // folded, the text is not drawn again for each of the thousand lines
    Layout();
    for (int i = 1; i <= 1000; ++i) pane.AddLine(false, u"", FormatText(u"entry %d\r\nsecond half\n", i));
    EXPECT_EQ(pane.LineCount(), 1000);
    EXPECT_EQ(pane.Edit().GetLineCount(), 1000);
    pane.AddLine(false, u"N", u"entry 1001");
    EXPECT_EQ(pane.LineCount(), 1000);
    EXPECT_EQ(pane.Edit().GetLineCount(), 1000);
    const std::u16string text = Text();
    EXPECT_NE(text.find(u"Z entry 2  second half "), std::u16string::npos);
    EXPECT_EQ(text.find(u"Z entry 1  second half "), std::u16string::npos);
    EXPECT_EQ(text.substr(text.size() - 14), u"[N] entry 1001");
}

TEST_F(LogPaneTest, AnEntryLongerThanTheReadWindowIsTrimmedLikeAnyOther)
{
    pane.SetCollapsed(true); // folded, the text is not drawn again for each of the thousand lines
    Layout();
    pane.AddLine(false, u"", std::u16string(5000, u'x'));
    pane.AddLine(false, u"", std::u16string(9000, u'y'));
    for (int i = 1; i <= 1000; ++i) pane.AddLine(false, u"", FormatText(u"short %d", i));
    EXPECT_EQ(pane.LineCount(), 1000);
    const std::u16string text = Text();
    EXPECT_EQ(std::count(text.begin(), text.end(), u'\r'), 999);
    EXPECT_EQ(text.find(u"xxxx"), std::u16string::npos);
    EXPECT_EQ(text.find(u"yyyy"), std::u16string::npos);
    EXPECT_EQ(text.find(u"Z short 1\r"), text.find(u'Z'));
}

// Both text panes, scrolled to their end: a vertical bar and no horizontal one (Wine's rich edit adds an
// empty one on SB_BOTTOM) to take a line from the text.
TEST_F(LogPaneTest, TheTextPanesScrolledToTheEndShowTheVerticalBarAndNoHorizontalOne)
{
    CReceivePane receivePane;
    MonoFont receiveFont;
    ASSERT_TRUE(test::PlaceReceivePane(host, receivePane, receiveFont, 300, 100));
    for (int i = 1; i <= 60; ++i) {
        pane.AddLine(false, u"", FormatText(u"entry %d", i));
        receivePane.AppendText(FormatText(u"line %d\n", i), 0);
    }
    receivePane.FlushPendingText();
    test::PumpFor(50);
    for (HWND edit : {HWND(pane.Edit()), HWND(receivePane.Edit())}) {
        ::SendMessageW(edit, WM_VSCROLL, SB_TOP, 0);
        ::SendMessageW(edit, WM_VSCROLL, SB_BOTTOM, 0);
        SCROLLINFO info{sizeof info, SIF_ALL};
        ASSERT_TRUE(::GetScrollInfo(edit, SB_VERT, &info));
        EXPECT_GE(int(info.nPage) + info.nPos, info.nMax - 1);
        SCROLLBARINFO vertical{sizeof vertical};
        SCROLLBARINFO horizontal{sizeof horizontal};
        ASSERT_TRUE(::GetScrollBarInfo(edit, OBJID_VSCROLL, &vertical));
        ASSERT_TRUE(::GetScrollBarInfo(edit, OBJID_HSCROLL, &horizontal));
        EXPECT_FALSE(vertical.rgstate[0] & STATE_SYSTEM_INVISIBLE);
        EXPECT_TRUE(horizontal.rgstate[0] & STATE_SYSTEM_INVISIBLE);
        RECT window{};
        RECT client{};
        ::GetWindowRect(edit, &window);
        ::GetClientRect(edit, &client);
        EXPECT_EQ((window.bottom - window.top) - client.bottom, 2 * ::GetSystemMetrics(SM_CYEDGE));
    }
}

TEST_F(LogPaneTest, AReaderKeepsHisPlaceAndAFollowerSeesTheNewLines)
{
    for (int i = 1; i <= 100; ++i) pane.AddLine(false, u"", FormatText(u"entry %d", i));
    EXPECT_NE(FirstVisibleLineText().find(u"entry 1"), 0u); // followed the end
    for (int i = 0; i < 3; ++i) pane.Edit().SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
    const std::u16string reading = FirstVisibleLineText();
    const long selStart = long(Text().find(u"entry 50"));
    pane.Edit().SetSel(selStart, selStart + 8);
    pane.Edit().SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
    pane.Edit().SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    const std::u16string readingNow = FirstVisibleLineText();
    pane.AddLine(false, u"", u"entry 101");
    EXPECT_EQ(FirstVisibleLineText(), readingNow);
    const CHARRANGE sel = pane.Edit().GetSel();
    EXPECT_EQ(sel.cpMin, selStart);
    EXPECT_EQ(sel.cpMax, selStart + 8);
    EXPECT_FALSE(reading.empty());
}

// A new font lays the text out again: a reader at the end of a full log stays there and follows the new
// lines, one above keeps his first line, with a larger font and with a smaller one.
TEST_F(LogPaneTest, ANewFontKeepsTheReadersPlace)
{
    MonoFont larger;
    MonoFont smaller;
    ASSERT_TRUE(larger.CreateFontForDpi(u"Consolas", 14, 96));
    ASSERT_TRUE(smaller.CreateFontForDpi(u"Consolas", 8, 96));
    pane.SetCollapsed(true); // folded, the text is not drawn again for each of the thousand lines
    Layout();
    for (int i = 1; i <= 1000; ++i) pane.AddLine(false, u"", FormatText(u"entry %d", i));
    pane.SetCollapsed(false);
    Layout();

    int next = 1001;
    for (const MonoFont* font : {&larger, &textFont, &smaller, &textFont}) {
        pane.Edit().SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
        pane.SetTextFont(font->Font);
        EXPECT_TRUE(pane.Edit().IsScrolledToEnd())
            << font->PointSize << " pt: at the end, then shown from " << Utf16ToUtf8(FirstVisibleLineText());
        pane.AddLine(false, u"", FormatText(u"entry %d", next++));
        EXPECT_TRUE(pane.Edit().IsScrolledToEnd()) << font->PointSize << " pt";
    }
    for (const MonoFont* font : {&larger, &textFont, &smaller, &textFont}) {
        test::ScrollLinesAboveTheEnd(pane.Edit(), 100);
        const std::u16string reading = FirstVisibleLineText();
        pane.SetTextFont(font->Font);
        EXPECT_EQ(Utf16ToUtf8(FirstVisibleLineText()), Utf16ToUtf8(reading)) << font->PointSize << " pt";
    }
}

// Folded, the text has no height. Whatever happens meanwhile (nothing, a new font, new lines, a narrower or
// wider window), unfolding shows a reader who had scrolled up his first line at the top again, and one who
// was at the end the end, following the new lines.
TEST_F(LogPaneTest, AFoldedLogKeepsTheReadersPlace)
{
    MonoFont larger;
    MonoFont smaller;
    ASSERT_TRUE(larger.CreateFontForDpi(u"Consolas", 14, 96));
    ASSERT_TRUE(smaller.CreateFontForDpi(u"Consolas", 8, 96));
    const auto fold = [&](bool folded) {
        pane.SetCollapsed(folded); // as the view answers ID_VIEW_LOG_PANE
        Layout();
    };
    fold(true); // folded, the text is not drawn again for each line
    for (int i = 1; i <= 300; ++i) pane.AddLine(false, u"", FormatText(u"entry %d", i));
    fold(false);
    int next = 301;
    const auto addLines = [&] {
        for (int i = 0; i < 5; ++i) pane.AddLine(i == 2, u"", FormatText(u"entry %d", next++));
    };
    const std::pair<const char*, std::function<void()>> moves[] = {
        {"nothing", [] {}},
        {"a larger font", [&] { pane.SetTextFont(larger.Font); }},
        {"a smaller font", [&] { pane.SetTextFont(smaller.Font); }},
        {"the first font", [&] { pane.SetTextFont(textFont.Font); }},
        {"new lines", addLines},
        {"a narrower window", [&] { width = 450; Layout(); }},
        {"a wider window", [&] { width = 700; Layout(); }},
    };
    for (const auto& [name, move] : moves) {
        test::ScrollLinesAboveTheEnd(pane.Edit(), 100);
        const std::u16string reading = FirstVisibleLineText();
        fold(true);
        move();
        fold(false);
        EXPECT_EQ(Utf16ToUtf8(FirstVisibleLineText()), Utf16ToUtf8(reading)) << "reading above, then " << name;
        if (std::string_view(name) == "a larger font") {
            test::PumpFor(100);
            EXPECT_FALSE(test::SaveScreenshot(host, u"log-pane-unfolded-after-a-new-font").empty());
        }

        pane.Edit().SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
        fold(true);
        move();
        fold(false);
        EXPECT_TRUE(pane.Edit().IsScrolledToEnd())
            << "at the end, then " << name << ", then shown from " << Utf16ToUtf8(FirstVisibleLineText());
        pane.AddLine(false, u"", FormatText(u"entry %d", next++));
        EXPECT_TRUE(pane.Edit().IsScrolledToEnd()) << "following after " << name;
    }
}

// Lines that come while the log is folded trim its oldest: unfolding shows the reader the line he was reading,
// not one as far below it as the trimmed lines were long.
TEST_F(LogPaneTest, AFoldedLogKeepsTheReadersLineThroughTrimming)
{
    pane.SetCollapsed(true); // folded, the text is not drawn again for each of the thousand lines
    Layout();
    for (int i = 1; i <= 1000; ++i) pane.AddLine(false, u"", FormatText(u"entry %d", i));
    pane.SetCollapsed(false);
    Layout();
    test::ScrollLinesAboveTheEnd(pane.Edit(), 300);
    const std::u16string reading = FirstVisibleLineText();

    pane.SetCollapsed(true);
    Layout();
    for (int i = 1001; i <= 1040; ++i) pane.AddLine(false, u"", FormatText(u"entry %d", i));
    pane.SetCollapsed(false);
    Layout();
    EXPECT_EQ(pane.LineCount(), 1000);
    EXPECT_EQ(Utf16ToUtf8(FirstVisibleLineText()), Utf16ToUtf8(reading));
}

TEST_F(LogPaneTest, AClickOnTheHeaderFoldsTheLogAndAClickInTheTextDoesNot)
{
    for (int i = 1; i <= 12; ++i) pane.AddLine(i % 5 == 0, i % 3 ? u"" : u"Skimmer", FormatText(u"note %d", i));
    test::PumpFor(100);
    EXPECT_FALSE(test::SaveScreenshot(host, u"log-pane-expanded").empty());

    ::SendMessageW(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, pane.HeaderHeight() / 2));
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0], ID_VIEW_LOG_PANE);
    pane.SetCollapsed(true); // as the view answers the command
    Layout();
    test::PumpFor(100);
    EXPECT_FALSE(test::SaveScreenshot(host, u"log-pane-folded").empty());

    pane.SetCollapsed(false);
    Layout();
    pane.Edit().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 10));
    pane.Edit().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
    EXPECT_EQ(host.commands.size(), 1u);
}

TEST_F(LogPaneTest, TheHeaderFollowsItsFontAndDpi)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, uiFont);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    EXPECT_EQ(pane.HeaderHeight(), tm.tmHeight + 6);
    pane.SetHeaderFont(nullptr, 144);
    EXPECT_EQ(pane.HeaderHeight(), 21 + 9);

    // The text area holds whole lines of the text font.
    const RECT format = pane.Edit().GetRect();
    EXPECT_GT(format.bottom - format.top, 0);
    dc = ::CreateCompatibleDC(nullptr);
    old = ::SelectObject(dc, textFont.Font);
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    EXPECT_EQ((format.bottom - format.top) % tm.tmHeight, 0);
}
