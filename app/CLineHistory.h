#pragma once
// The lines sent from one send line, oldest first, browsed with Up and Down. Lives as long as its page;
// never saved.
#include <deque>
#include <optional>
#include <string>

namespace kv {

class CLineHistory {
public:
    static constexpr size_t kMaxEntries = 100;

    // Appends a sent line unless it is empty or repeats the newest entry; ends any browsing.
    void Add(const std::u16string& text);
    // One step towards the oldest entry; the text typed so far is kept for the way back.
    // Nothing when the history is empty.
    std::optional<std::u16string> Older(const std::u16string& typedText);
    // One step towards the newest entry, then back to the text typed before browsing.
    // Nothing when not browsing.
    std::optional<std::u16string> Newer();

    bool IsBrowsing() const { return historyIndex_ >= 0; }
    const std::deque<std::u16string>& Entries() const { return history_; }

private:
    std::deque<std::u16string> history_;
    int historyIndex_ = -1; // the entry shown, -1 when not browsing
    std::u16string savedText_;
};

} // namespace kv
