#include "connections/TelnetText.h"

#include "base/Utf.h"
#include "connections/CConnectionSettings.h"

namespace kv {
namespace {

constexpr char16_t kBellShown = 0x2022;

// Appends a decoded character unless it is one of those the panes must not see.
inline void AppendShown(std::u16string& out, char16_t c)
{
    if (c >= 0x20) {
        if (c != 0x7F && (c < 0x80 || c > 0x9F)) out.push_back(c);
    } else if (c == 7) {
        out.push_back(kBellShown);
    } else if (c == u'\t' || c == u'\n') {
        out.push_back(c);
    }
}

} // namespace

bool ContainsNonAscii(std::string_view bytes)
{
    for (unsigned char c : bytes)
        if (c >= 0x80) return true;
    return false;
}

std::u16string DecodeReceivedBytes(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    if (ContainsNonAscii(bytes)) {
        if (auto utf16 = Utf8ToUtf16Strict(bytes)) {
            for (char16_t c : *utf16) AppendShown(out, c);
            return out;
        }
    }
    for (unsigned char c : bytes) AppendShown(out, char16_t(c));
    return out;
}

size_t IncompleteUtf8TailLength(std::string_view bytes)
{
    const size_t n = bytes.size();
    size_t lead = n;
    int continuations = 0;
    while (lead > 0 && continuations < 3 && (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0) == 0x80) {
        --lead;
        ++continuations;
    }
    if (lead == 0) return 0;
    const unsigned char b = static_cast<unsigned char>(bytes[lead - 1]);
    if (b < 0xC0) return 0;
    const size_t needed = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    const size_t have = n - (lead - 1);
    return have < needed ? have : 0;
}

std::string EncodeTelnetLine(std::u16string_view line, int lineEnding)
{
    std::string out;
    out.reserve(line.size() + 2);
    for (char16_t c : line) {
        if (c >= 256) {
            out.push_back('?');
            continue;
        }
        out.push_back(char(c));
        if (c == 255) out.push_back(char(255));
    }
    if (lineEnding == LineEndingCr) out += '\r';
    else if (lineEnding == LineEndingLf) out += '\n';
    else out += "\r\n";
    return out;
}

} // namespace kv
