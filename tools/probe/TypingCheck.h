#pragma once
// Types a line into the send line of the page shown, as a user does: a click into it, then the keys in one burst
// (a down and an up each, through the system's input road), then Enter when the load tool says so. Times when
// the send line holds the keys and when Enter has taken the line out of it.
#include <windows.h>

#include <cstdint>
#include <string>

namespace kvprobe {

class CTypingCheck {
public:
    // The keys of the text (lower-case letters and digits) into the shown page's send line: "typed <ms>", or
    // "typed nopage", "typed nofocus" (the click did not give it the keyboard), "typed timeout" (not in 10 s).
    std::string Type(const std::string& text);
    // Enter, after a successful Type: "entered <ms>" once the send line is empty, or "entered timeout".
    std::string Enter();

private:
    // Waits until the window's text is the one given; the milliseconds since start, -1 after 10 s.
    static int64_t WaitForText(HWND window, const std::wstring& text, uint64_t start);

    HWND sendLine_ = nullptr;
};

} // namespace kvprobe
