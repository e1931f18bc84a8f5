#include "directory/SearchTyping.h"

#include "base/Ascii.h"

namespace kv {
namespace {

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

} // namespace

bool CTypeToSearch::OnChar(char16_t c)
{
    if (!IsSearchable(c)) return false;
    if (restart_) text_.clear();
    text_.push_back(c);
    restart_ = false;
    return true;
}

bool CTypeToSearch::OnBackspace()
{
    if (text_.empty()) return false;
    // A character outside the basic plane goes as a whole.
    const bool pair = text_.size() >= 2 && IsLowSurrogate(text_.back()) && IsHighSurrogate(text_[text_.size() - 2]);
    text_.resize(text_.size() - (pair ? 2 : 1));
    restart_ = false;
    return true;
}

void CTypeToSearch::Clear()
{
    text_.clear();
    restart_ = false;
}

const std::u16string& CTypeAhead::OnChar(char16_t c, unsigned long long tickMs)
{
    if (tickMs - lastTick_ > kPauseMs) prefix_.clear();
    lastTick_ = tickMs;
    prefix_.push_back(c);
    return prefix_;
}

int FindFirstWithPrefix(const std::vector<std::u16string>& texts, const std::u16string& prefix)
{
    for (size_t i = 0; i < texts.size(); ++i)
        if (StartsWithIgnoreCaseAscii(texts[i], prefix)) return int(i);
    return -1;
}

} // namespace kv
