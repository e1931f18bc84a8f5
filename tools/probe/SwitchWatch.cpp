#include "SwitchWatch.h"

#include "PaneText.h"
#include "ProgramWindows.h"

namespace kvprobe {
namespace {

constexpr uint64_t kLongestMs = 30000;
constexpr uint64_t kLinePollMs = 5; // each look at the pane's last lines costs the program some messages

std::string Figure(int64_t ms) { return ms < 0 ? "-" : std::to_string(ms); }

} // namespace

CSwitchWatch::CSwitchWatch(HWND page, char tag, long long newest)
    : page_(page), edit_(ReceiveEditOf(page)), tag_(tag), newest_(newest)
{
}

std::string CSwitchWatch::Watch(uint64_t start)
{
    for (uint64_t now = NowMs(); now - start < kLongestMs; now = NowMs()) {
        FollowEdit();
        if (shown_ == kNotSeen && ::IsWindowVisible(page_)) shown_ = int64_t(now - start);
        if (shown_ != kNotSeen) {
            const bool painted = painted_.Done(edit_, start);
            const bool lineIn = !tag_ || LineIn(start, now);
            if (painted && lineIn && (!tag_ || drawn_.Done(edit_, start))) break;
        }
        ::Sleep(1);
    }
    return "switch shown " + Figure(shown_) + " painted " + Figure(painted_.at) + " line " + Figure(line_) +
           " drawn " + Figure(drawn_.at);
}

// A pane may put a new control in place of its old one (an empty one, cheaper than emptying a long text): what
// is asked of the old one is asked again of the new.
void CSwitchWatch::FollowEdit()
{
    HWND edit = ReceiveEditOf(page_);
    if (!edit || edit == edit_) return;
    edit_ = edit;
    if (painted_.at == kNotSeen) painted_ = TimedPaint{};
    if (drawn_.at == kNotSeen) drawn_ = TimedPaint{};
}

bool CSwitchWatch::TimedPaint::Done(HWND edit, uint64_t start)
{
    if (!asked) {
        asked = true;
        failed = !check.Ask(edit);
        return failed;
    }
    if (at == kNotSeen && check.Painted()) at = int64_t(NowMs() - start);
    return failed || at != kNotSeen;
}

bool CSwitchWatch::LineIn(uint64_t start, uint64_t now)
{
    if (line_ == kNotSeen && now - lineLooked_ >= kLinePollMs) {
        lineLooked_ = now;
        if (NewestToken(edit_, tag_) >= newest_) line_ = int64_t(NowMs() - start);
    }
    return line_ != kNotSeen;
}

} // namespace kvprobe
