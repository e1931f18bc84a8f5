#include "base/Utf.h"

namespace kv {
namespace {

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(char16_t(cp));
    } else {
        cp -= 0x10000;
        out.push_back(char16_t(0xD800 + (cp >> 10)));
        out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    }
}

// Decodes one sequence; returns its length or 0 (malformed) or -missing (truncated at the end).
int DecodeOne(std::string_view s, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    int len;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2; min = 0x80; cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3; min = 0x800; cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4; min = 0x10000; cp = b0 & 0x07;
    } else {
        return 0;
    }
    for (int i = 1; i < len; ++i) {
        if (size_t(i) >= s.size()) return -(len - i);
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
        // Reject overlong and out-of-range forms as early as the second byte allows.
        if (i == 1) {
            if (len == 3 && b0 == 0xE0 && b < 0xA0) return 0;
            if (len == 3 && b0 == 0xED && b > 0x9F) return 0; // surrogates
            if (len == 4 && b0 == 0xF0 && b < 0x90) return 0;
            if (len == 4 && b0 == 0xF4 && b > 0x8F) return 0;
        }
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

} // namespace

int Utf8SequenceLength(std::string_view bytes)
{
    if (bytes.empty()) return 0;
    char32_t cp;
    return DecodeOne(bytes, cp);
}

std::u16string Utf8ToUtf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        char32_t cp;
        const int n = DecodeOne(s.substr(i), cp);
        if (n > 0) {
            AppendUtf16(out, cp);
            i += size_t(n);
        } else {
            out.push_back(kReplacementChar);
            ++i;
        }
    }
    return out;
}

std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        char32_t cp;
        const int n = DecodeOne(s.substr(i), cp);
        if (n <= 0) return std::nullopt;
        AppendUtf16(out, cp);
        i += size_t(n);
    }
    return out;
}

bool IsValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp;
        const int n = DecodeOne(s.substr(i), cp);
        if (n <= 0) return false;
        i += size_t(n);
    }
    return true;
}

std::string Utf16ToUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacementChar;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

std::u16string Latin1ToUtf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (unsigned char c : s) out.push_back(char16_t(c));
    return out;
}

std::string Utf16ToLatin1(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (char16_t c : s) out.push_back(c < 256 ? char(static_cast<unsigned char>(c)) : '?');
    return out;
}

} // namespace kv
