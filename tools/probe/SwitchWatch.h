#pragma once
// What a user sees of a switch to a page: when the page shows (its window visible), when it has painted (the
// paint check), and when its pane holds the newest line that its node had sent at the switch (known by the
// line's token, looked for in the pane's last lines). Each is timed from just before the switch.
#include <windows.h>

#include <cstdint>
#include <string>

namespace kvprobe {

class CSwitchWatch {
public:
    // tag 0: no line to wait for.
    CSwitchWatch(HWND page, char tag, long long newest) : page_(page), tag_(tag), newest_(newest) {}
    // Watches until all is seen, at most 30 s from the start: "switch shown <ms> painted <ms> line <ms>", each
    // "-" when not seen.
    std::string Watch(uint64_t start);

private:
    bool NewestLineIn(HWND edit) const;

    HWND page_;
    char tag_;
    long long newest_;
};

} // namespace kvprobe
