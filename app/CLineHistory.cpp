#include "app/CLineHistory.h"

namespace kv {

void CLineHistory::Add(const std::u16string& text)
{
    if (!text.empty() && (history_.empty() || history_.back() != text)) {
        history_.push_back(text);
        if (history_.size() > kMaxEntries) history_.pop_front();
    }
    historyIndex_ = -1;
    savedText_.clear();
}

std::optional<std::u16string> CLineHistory::Older(const std::u16string& typedText)
{
    if (history_.empty()) return std::nullopt;
    if (historyIndex_ < 0) {
        savedText_ = typedText;
        historyIndex_ = int(history_.size());
    }
    if (historyIndex_ > 0) --historyIndex_;
    return history_[size_t(historyIndex_)];
}

std::optional<std::u16string> CLineHistory::Newer()
{
    if (historyIndex_ < 0) return std::nullopt;
    if (historyIndex_ + 1 < int(history_.size())) return history_[size_t(++historyIndex_)];
    historyIndex_ = -1;
    return savedText_;
}

} // namespace kv
