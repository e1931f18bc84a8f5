#pragma once
// The small JSON reader and writer of the DX Summit service: a cursor over the received bytes that reads
// strings, bare tokens and skips values of any kind, our own number rule, and a writer of JSON strings.
// Not a general JSON library: bare words are not validated and text passes through as bytes (UTF-8).
#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

class JsonCursor {
public:
    // Skipped containers may nest this deep below a member; deeper fails the whole answer.
    static constexpr int kMaxSkipDepth = 32;

    explicit JsonCursor(std::string_view text, size_t position = 0) : text_(text), pos_(position) {}

    size_t Position() const { return pos_; }
    bool AtEnd() const { return pos_ >= text_.size(); }
    // The byte at the position, or 0 at the end.
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    // After white space: takes the byte when it is c.
    bool Consume(char c);
    // True when nothing but white space is left.
    bool OnlyWhitespaceLeft();

    void SkipWhitespace();
    // After white space: a double-quoted string, escapes decoded to UTF-8. The output is emptied first.
    bool ReadString(std::string& text);
    // After white space: the run of bytes up to a blank, TAB, CR, LF, ",", "]", "}" or the end; not empty.
    bool ReadBareToken(std::string& text);
    // The same without copying; the view points into the text.
    bool ReadBareToken(std::string_view& token);
    // Exactly four hexadecimal digits.
    bool ReadHex4(unsigned& code);
    // One value of any kind; containers nested deeper than kMaxSkipDepth fail.
    bool SkipValue(int depth);

private:
    // Reads a string into text, or only past it when text is null.
    bool ReadStringInto(std::string* text);
    // One escape after its backslash; appends what it stands for.
    bool ReadEscape(std::string* text);
    bool SkipContainer(char closing, int depth);

    std::string_view text_;
    size_t pos_;
};

// Our number rule: an optional sign, digits, an optional "." with digits, an optional exponent. At least one
// digit and the whole token. A result that is not finite is no number.
bool ParseJsonNumber(std::string_view token, double& value);

// Appends the text as a quoted JSON string: '"' and '\' escaped, bytes below 0x20 as \u00XX, the rest as is.
void AppendJsonString(std::string& out, std::string_view text);

} // namespace kv
