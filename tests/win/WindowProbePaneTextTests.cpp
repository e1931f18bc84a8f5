// The load tool's window probe reads what a receive pane shows; here it reads a real rich edit of the panes'
// kind, holding a full pane of 5000 lines as the load tool's nodes send them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/CReadOnlyRichEdit.h"
#include "base/Utf.h"
#include "PaneText.h"

#include <commctrl.h>

using namespace kv;

namespace {

constexpr int kLines = 5000;
constexpr UINT_PTR kRecorderId = 1;

// A line of the load tool's nodes, with its token "kvload A<seq>".
std::string LoadLine(int seq)
{
    char line[128];
    std::snprintf(line, sizeof line, "DX de K1ABC:     %7.1f  DL%dXYZ       kvload A%06d                1200Z",
                  14000.0 + (seq % 3000) / 10.0, seq % 10, seq);
    return line;
}

// The tokens of the lines from `from` to before `to`, as the probe gives them.
std::string Tokens(int from, int to, int step)
{
    std::string tokens;
    for (int seq = from; seq != to; seq += step) {
        char token[16];
        std::snprintf(token, sizeof token, " A%06d", seq);
        tokens += token;
    }
    return tokens;
}

// A full pane in a window of its own, and the largest text that an answer of the control to the probe carried:
// under Wine, the answer to another process's WM_GETTEXT or EM_GETLINE travels through the wine server.
class FullPane : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame_ = ::CreateWindowExW(0, L"STATIC", L"probe test", WS_OVERLAPPEDWINDOW, 0, 0, 900, 700, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_TRUE(frame_);
        ASSERT_TRUE(pane_.Create(frame_, 1008, CReadOnlyRichEdit::kTextStyle, 0, 0x1000000));
        ::MoveWindow(pane_, 0, 0, 880, 650, FALSE);
        std::string text;
        for (int seq = 0; seq < kLines; ++seq) text += LoadLine(seq) + "\r\n";
        const std::u16string wide = Latin1ToUtf16(text);
        pane_.SendMessage(EM_REPLACESEL, FALSE, LPARAM(wide.c_str()));
        ASSERT_TRUE(::SetWindowSubclass(pane_, Record, kRecorderId, DWORD_PTR(this)));
    }
    void TearDown() override
    {
        ::RemoveWindowSubclass(pane_, Record, kRecorderId);
        ::DestroyWindow(frame_);
    }
    HWND Pane() const { return pane_; }
    size_t LargestTextAnswer() const { return largestTextAnswer_; }

private:
    static LRESULT CALLBACK Record(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
    {
        const LRESULT result = ::DefSubclassProc(window, msg, wParam, lParam);
        if (msg == WM_GETTEXT || msg == EM_GETLINE || msg == EM_GETSELTEXT) {
            size_t& largest = reinterpret_cast<FullPane*>(self)->largestTextAnswer_;
            largest = std::max(largest, size_t(result));
        }
        return result;
    }

    HWND frame_ = nullptr;
    CReadOnlyRichEdit pane_;
    size_t largestTextAnswer_ = 0;
};

} // namespace

TEST_F(FullPane, TheProbeReadsAllOfItWithoutAnyTextInTheAnswersOfThePane)
{
    const std::string text = kvprobe::TextOf(Pane());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), kLines);
    EXPECT_EQ(text.substr(0, LoadLine(0).size() + 1), LoadLine(0) + "\r");
    EXPECT_EQ(kvprobe::TokensIn(text), Tokens(0, kLines, 1));

    EXPECT_EQ(kvprobe::NewestToken(Pane(), 'A'), kLines - 1);
    EXPECT_EQ(kvprobe::NewestToken(Pane(), 'B'), -1);
    EXPECT_EQ(kvprobe::TokensAbove(Pane(), 'A', kLines - 1000), Tokens(kLines - 1, kLines - 1001, -1));

    EXPECT_EQ(LargestTextAnswer(), 0u);
}
