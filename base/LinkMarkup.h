#pragma once
// The markup of a link control ("Website: <a href="x">y</a>") taken apart into the text with bare <a> tags
// and the addresses of its links, in order. Wine's link control reads an href only when the blank after
// "<a" is its font's break character, so the addresses are given to it link by link instead.
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct LinkMarkup {
    std::u16string Text;            // every <a ...> reduced to <a>
    std::vector<std::u16string> Urls; // the href of each link, empty when it has none
};

LinkMarkup SplitLinkMarkup(std::u16string_view markup);

} // namespace kv
