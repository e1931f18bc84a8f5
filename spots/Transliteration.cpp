#include "spots/Transliteration.h"

namespace kv {
namespace {

constexpr char32_t kTableFirst = 0xC0;
constexpr char32_t kTableLast = 0x17F;

// U+00C0..U+017F: the base letter in the same case, with the usual ASCII spellings of ligatures and
// letters without a base letter.
constexpr const char* kLatinTable[192] = {
    // U+00C0
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    // U+00D0
    "D", "N", "O", "O", "O", "O", "O", "x", "0", "U", "U", "U", "U", "Y", "TH", "ss",
    // U+00E0
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    // U+00F0
    "d", "n", "o", "o", "o", "o", "o", "/", "o", "u", "u", "u", "u", "y", "th", "y",
    // U+0100
    "A", "a", "A", "a", "A", "a", "C", "c", "C", "c", "C", "c", "C", "c", "D", "d",
    // U+0110
    "D", "d", "E", "e", "E", "e", "E", "e", "E", "e", "E", "e", "G", "g", "G", "g",
    // U+0120
    "G", "g", "G", "g", "H", "h", "H", "h", "I", "i", "I", "i", "I", "i", "I", "i",
    // U+0130
    "I", "i", "IJ", "ij", "J", "j", "K", "k", "k", "L", "l", "L", "l", "L", "l", "L",
    // U+0140
    "l", "L", "l", "N", "n", "N", "n", "N", "n", "n", "N", "n", "O", "o", "O", "o",
    // U+0150
    "O", "o", "OE", "oe", "R", "r", "R", "r", "R", "r", "S", "s", "S", "s", "S", "s",
    // U+0160
    "S", "s", "T", "t", "T", "t", "T", "t", "U", "u", "U", "u", "U", "u", "U", "u",
    // U+0170
    "U", "u", "U", "u", "W", "w", "Y", "y", "Y", "Z", "z", "Z", "z", "Z", "z", "s",
};
static_assert(sizeof kLatinTable / sizeof kLatinTable[0] == kTableLast - kTableFirst + 1);

// Length announced by a lead byte, 0 for a byte that cannot start a multi-byte sequence.
int AnnouncedLength(unsigned char lead)
{
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

const char* LatinTransliteration(char32_t codePoint)
{
    if (codePoint < kTableFirst || codePoint > kTableLast) return nullptr;
    return kLatinTable[codePoint - kTableFirst];
}

std::string TransliterateToAscii(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(char(lead));
            ++i;
            continue;
        }
        const int length = AnnouncedLength(lead);
        bool complete = length > 0 && i + size_t(length) <= utf8.size();
        for (int k = 1; complete && k < length; ++k)
            complete = IsContinuation(static_cast<unsigned char>(utf8[i + size_t(k)]));
        if (!complete) {
            // Each stray byte of a broken sequence becomes its own dot.
            out.push_back('.');
            ++i;
            continue;
        }
        char32_t codePoint = lead & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[i + size_t(k)]) & 0x3F);
        i += size_t(length);
        if (codePoint == 0xA0) out.push_back(' ');
        else if (const char* latin = LatinTransliteration(codePoint)) out.append(latin);
        else out.push_back('.');
    }
    return out;
}

} // namespace kv
