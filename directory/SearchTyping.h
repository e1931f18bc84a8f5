#pragma once
// Type-to-search of the cluster chooser: characters typed anywhere but in the country list build a search
// text; after a pause the next character starts a new one. The window restarts its pause timer and refreshes
// its list whenever a call here says the text changed.
#include <string>
#include <vector>

namespace kv {

class CTypeToSearch {
public:
    static constexpr unsigned kPauseMs = 1500;

    const std::u16string& Text() const { return text_; }
    bool RestartPending() const { return restart_; }

    // Printable characters only (above the blank, not DEL): false leaves the character to the window.
    bool OnChar(char16_t c);
    // Removes the last character; false when the text was already empty.
    bool OnBackspace();
    // The pause timer ran out: the next character starts a new search.
    void OnPause() { restart_ = true; }
    void Clear();

    static bool IsSearchable(char16_t c) { return c > u' ' && c != 0x7F; }

private:
    std::u16string text_;
    bool restart_ = false;
};

// Type-ahead of a list of texts (the country list): characters typed within the pause build a prefix, and
// the first text that begins with it (ignoring case) is the one to select.
class CTypeAhead {
public:
    static constexpr unsigned kPauseMs = 1500;

    // Appends the character, after emptying the prefix when more than the pause passed since the last one.
    const std::u16string& OnChar(char16_t c, unsigned long long tickMs);
    const std::u16string& Prefix() const { return prefix_; }

private:
    std::u16string prefix_;
    unsigned long long lastTick_ = 0;
};

// The index of the first text that begins with the prefix (ASCII case ignored), or -1.
int FindFirstWithPrefix(const std::vector<std::u16string>& texts, const std::u16string& prefix);

} // namespace kv
