#pragma once
// Cutting received data into lines, as both roads of a connection page need it. A line runs up to and
// including its "\n"; the last line of a block may lack it.
#include <string>
#include <string_view>
#include <vector>

namespace kv {

template <typename C> std::vector<std::basic_string_view<C>> SplitKeepingLineEnds(std::basic_string_view<C> block)
{
    std::vector<std::basic_string_view<C>> lines;
    size_t start = 0;
    while (start < block.size()) {
        const size_t end = block.find(C('\n'), start);
        const size_t next = end == std::basic_string_view<C>::npos ? block.size() : end + 1;
        lines.push_back(block.substr(start, next - start));
        start = next;
    }
    return lines;
}

// Takes from pending everything up to and including its last "\n"; empty when it holds none.
template <typename C> std::basic_string<C> TakeCompleteLines(std::basic_string<C>& pending)
{
    const size_t last = pending.rfind(C('\n'));
    if (last == std::basic_string<C>::npos) return {};
    std::basic_string<C> block = pending.substr(0, last + 1);
    pending.erase(0, last + 1);
    return block;
}

// Each CR directly followed by LF is removed; other CRs stay.
std::string RemoveCarriageReturns(std::string_view bytes);
// The block without its lines that contain the marker (letter case as written).
std::string DropLinesContaining(std::string_view block, std::string_view marker);
// A received line as the display road sees it, in UTF-8: decoded like the transport decodes text.
std::string DecodeLineForFilters(std::string_view bytes);

} // namespace kv
