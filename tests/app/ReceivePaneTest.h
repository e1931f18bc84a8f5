#pragma once
// The receive pane in a real window, for the pane's test programs.

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

namespace kv::test {

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

} // namespace kv::test
