#include "SwitchWatch.h"

#include "PaintCheck.h"
#include "PaneText.h"
#include "ProgramWindows.h"

namespace kvprobe {
namespace {

constexpr uint64_t kLongestMs = 30000;
constexpr uint64_t kLinePollMs = 5; // each look at the pane's last lines costs the program some messages
constexpr int64_t kNotSeen = -1;

std::string Figure(int64_t ms) { return ms == kNotSeen ? "-" : std::to_string(ms); }

} // namespace

std::string CSwitchWatch::Watch(uint64_t start)
{
    const HWND edit = ReceiveEditOf(page_);
    int64_t shown = kNotSeen, painted = kNotSeen, line = kNotSeen;
    CPaintCheck check;
    bool paintAsked = false, paintFailed = false;
    uint64_t lineLooked = 0;
    for (uint64_t now = NowMs(); now - start < kLongestMs; now = NowMs()) {
        if (shown == kNotSeen && ::IsWindowVisible(page_)) shown = int64_t(now - start);
        if (shown != kNotSeen && !paintAsked) {
            paintAsked = true;
            paintFailed = !check.Ask(edit); // answered once the program's loop gets to it
            continue;
        }
        if (paintAsked && painted == kNotSeen && check.Painted()) painted = int64_t(now - start);
        if (shown != kNotSeen && tag_ && line == kNotSeen && now - lineLooked >= kLinePollMs) {
            lineLooked = now;
            if (NewestLineIn(edit)) line = int64_t(NowMs() - start);
        }
        const bool paintDone = painted != kNotSeen || paintFailed;
        if (shown != kNotSeen && paintDone && (line != kNotSeen || !tag_)) break;
        ::Sleep(1);
    }
    return "switch shown " + Figure(shown) + " painted " + Figure(painted) + " line " + Figure(line);
}

bool CSwitchWatch::NewestLineIn(HWND edit) const { return NewestToken(edit, tag_) >= newest_; }

} // namespace kvprobe
