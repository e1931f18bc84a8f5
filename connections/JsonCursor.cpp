#include "connections/JsonCursor.h"

#include <cmath>

#include "base/Ascii.h"
#include "base/Utf.h"

namespace kv {
namespace {

constexpr bool IsJsonWhitespace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
constexpr bool EndsBareToken(char c) { return IsJsonWhitespace(c) || c == ',' || c == ']' || c == '}'; }

unsigned HexValue(char c)
{
    if (IsAsciiDigit(c)) return unsigned(c - '0');
    return unsigned(AsciiToLower(c) - 'a') + 10;
}

constexpr bool IsHighSurrogate(unsigned code) { return code >= 0xD800 && code <= 0xDBFF; }
constexpr bool IsLowSurrogate(unsigned code) { return code >= 0xDC00 && code <= 0xDFFF; }

// Exponents stop growing here: 10^400 is already beyond any double.
constexpr int kMaxExponent = 399;

} // namespace

bool JsonCursor::Consume(char c)
{
    SkipWhitespace();
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
}

bool JsonCursor::OnlyWhitespaceLeft()
{
    SkipWhitespace();
    return AtEnd();
}

void JsonCursor::SkipWhitespace()
{
    while (pos_ < text_.size() && IsJsonWhitespace(text_[pos_])) ++pos_;
}

bool JsonCursor::ReadString(std::string& text)
{
    text.clear();
    return ReadStringInto(&text);
}

bool JsonCursor::ReadStringInto(std::string* text)
{
    SkipWhitespace();
    if (AtEnd() || text_[pos_] != '"') return false;
    ++pos_;
    for (;;) {
        // Plain bytes are copied in runs.
        size_t run = pos_;
        while (run < text_.size() && text_[run] != '"' && text_[run] != '\\') ++run;
        if (text) text->append(text_.data() + pos_, run - pos_);
        pos_ = run;
        if (AtEnd()) return false;
        if (text_[pos_++] == '"') return true;
        if (!ReadEscape(text)) return false;
    }
}

bool JsonCursor::ReadEscape(std::string* text)
{
    if (AtEnd()) return false;
    const char kind = text_[pos_++];
    char plain = kind;
    switch (kind) {
    case 'b': plain = '\b'; break;
    case 'f': plain = '\f'; break;
    case 'n': plain = '\n'; break;
    case 'r': plain = '\r'; break;
    case 't': plain = '\t'; break;
    case 'u': break;
    default: break; // '"', '\', '/' and any other byte stand for themselves
    }
    if (kind != 'u') {
        if (text) text->push_back(plain);
        return true;
    }
    unsigned code = 0;
    if (!ReadHex4(code)) return false;
    if (IsHighSurrogate(code) && text_.size() - pos_ >= 2 && text_[pos_] == '\\' && text_[pos_ + 1] == 'u') {
        const size_t second = pos_;
        pos_ += 2;
        unsigned low = 0;
        if (!ReadHex4(low)) return false;
        if (IsLowSurrogate(low))
            code = (code - 0xD800) * 0x400 + (low - 0xDC00) + 0x10000;
        else
            pos_ = second; // the high surrogate stands alone; the second escape is read by itself
    }
    if (text) AppendUtf8(*text, char32_t(code));
    return true;
}

bool JsonCursor::ReadBareToken(std::string_view& token)
{
    SkipWhitespace();
    const size_t start = pos_;
    while (pos_ < text_.size() && !EndsBareToken(text_[pos_])) ++pos_;
    token = text_.substr(start, pos_ - start);
    return !token.empty();
}

bool JsonCursor::ReadBareToken(std::string& text)
{
    std::string_view token;
    const bool ok = ReadBareToken(token);
    text.assign(token);
    return ok;
}

bool JsonCursor::ReadHex4(unsigned& code)
{
    if (text_.size() - pos_ < 4) return false;
    unsigned value = 0;
    for (size_t i = 0; i < 4; ++i) {
        const char c = text_[pos_ + i];
        if (!IsAsciiXDigit(c)) {
            pos_ += i;
            return false;
        }
        value = value * 16 + HexValue(c);
    }
    pos_ += 4;
    code = value;
    return true;
}

bool JsonCursor::SkipValue(int depth)
{
    if (depth > kMaxSkipDepth) return false;
    SkipWhitespace();
    switch (Peek()) {
    case '"': return ReadStringInto(nullptr);
    case '{': return SkipContainer('}', depth);
    case '[': return SkipContainer(']', depth);
    default: {
        std::string_view token;
        return ReadBareToken(token);
    }
    }
}

bool JsonCursor::SkipContainer(char closing, int depth)
{
    ++pos_; // the opening byte
    if (Consume(closing)) return true;
    for (;;) {
        if (closing == '}') {
            if (!ReadStringInto(nullptr) || !Consume(':')) return false;
        }
        if (!SkipValue(depth + 1)) return false;
        if (Consume(closing)) return true;
        if (!Consume(',')) return false;
    }
}

bool ParseJsonNumber(std::string_view token, double& result)
{
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    double value = 0;
    bool digits = false;
    for (; i < token.size() && IsAsciiDigit(token[i]); ++i, digits = true) value = value * 10 + (token[i] - '0');
    if (i < token.size() && token[i] == '.') {
        double f = 0.1;
        for (++i; i < token.size() && IsAsciiDigit(token[i]); ++i, digits = true) {
            value += (token[i] - '0') * f;
            f /= 10;
        }
    }
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < token.size() && (token[i] == '+' || token[i] == '-')) negativeExponent = token[i++] == '-';
        int exponent = 0;
        for (; i < token.size() && IsAsciiDigit(token[i]); ++i)
            if (exponent <= kMaxExponent) exponent = exponent * 10 + (token[i] - '0');
        // Zero stays zero whatever the exponent (0 times infinity would be no number at all).
        if (value != 0) value *= std::pow(10.0, negativeExponent ? -exponent : exponent);
    }
    if (!digits || i != token.size() || !std::isfinite(value)) return false;
    result = negative ? -value : value;
    return true;
}

void AppendJsonString(std::string& out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20) {
            out.append("\\u00");
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0xF]);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

} // namespace kv
