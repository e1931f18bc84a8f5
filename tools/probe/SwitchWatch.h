#pragma once
// What a user sees of a switch to a page: when the page shows (its window visible), when it has painted (a paint
// check asked once it shows), when its pane holds the newest line that its node had sent at the switch (known by
// the line's token, looked for in the pane's last lines), and when that line is drawn (a paint check asked once
// the line is in). Each is timed from just before the switch.
#include <windows.h>

#include <cstdint>
#include <string>

#include "PaintCheck.h"

namespace kvprobe {

class CSwitchWatch {
public:
    // tag 0: no line to wait for.
    CSwitchWatch(HWND page, char tag, long long newest);
    // Watches until all is seen, at most 30 s from the start: "switch shown <ms> painted <ms> line <ms> drawn
    // <ms>", each "-" when not seen.
    std::string Watch(uint64_t start);

private:
    static constexpr int64_t kNotSeen = -1;

    // A paint check asked once, and when the screen showed it.
    struct TimedPaint {
        CPaintCheck check;
        bool asked = false;
        bool failed = false;
        int64_t at = kNotSeen;
        // Asks at the first call (which waits for the program's answer), then looks; true once shown or failed.
        bool Done(HWND edit, uint64_t start);
    };

    void FollowEdit();
    bool LineIn(uint64_t start, uint64_t now);

    HWND page_;
    HWND edit_;
    char tag_;
    long long newest_;
    int64_t shown_ = kNotSeen;
    int64_t line_ = kNotSeen;
    uint64_t lineLooked_ = 0;
    TimedPaint painted_;
    TimedPaint drawn_;
};

} // namespace kvprobe
