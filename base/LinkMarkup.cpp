#include "base/LinkMarkup.h"

#include "base/Ascii.h"

namespace kv {
namespace {

// The end of a tag that starts at pos: its ">" outside quotes, or npos.
size_t TagEnd(std::u16string_view s, size_t pos)
{
    char16_t quote = 0;
    for (size_t i = pos; i < s.size(); ++i) {
        if (quote) {
            if (s[i] == quote) quote = 0;
        } else if (s[i] == u'"' || s[i] == u'\'') {
            quote = s[i];
        } else if (s[i] == u'>') {
            return i;
        }
    }
    return std::u16string_view::npos;
}

// The value of href= inside a tag's attributes, quoted or not.
std::u16string HrefOf(std::u16string_view attributes)
{
    const std::u16string lower = ToLowerAscii(attributes);
    const size_t at = lower.find(u"href=");
    if (at == std::u16string::npos) return {};
    std::u16string_view value = attributes.substr(at + 5);
    if (!value.empty() && (value[0] == u'"' || value[0] == u'\'')) {
        const size_t close = value.find(value[0], 1);
        return std::u16string(value.substr(1, close == std::u16string_view::npos ? value.npos : close - 1));
    }
    size_t end = 0;
    while (end < value.size() && !IsAsciiSpace(value[end])) ++end;
    return std::u16string(value.substr(0, end));
}

bool IsLinkOpening(std::u16string_view s, size_t pos)
{
    if (pos + 2 >= s.size() || s[pos] != u'<' || AsciiToLower(s[pos + 1]) != u'a') return false;
    return s[pos + 2] == u'>' || IsAsciiSpace(s[pos + 2]);
}

} // namespace

LinkMarkup SplitLinkMarkup(std::u16string_view markup)
{
    LinkMarkup result;
    size_t pos = 0;
    while (pos < markup.size()) {
        const size_t end = IsLinkOpening(markup, pos) ? TagEnd(markup, pos) : std::u16string_view::npos;
        if (end == std::u16string_view::npos) {
            result.Text.push_back(markup[pos++]);
            continue;
        }
        result.Text += u"<a>";
        result.Urls.push_back(HrefOf(markup.substr(pos + 2, end - pos - 2)));
        pos = end + 1;
    }
    return result;
}

} // namespace kv
