#include "spots/SpotLine.h"

#include "base/Ascii.h"
#include "spots/Transliteration.h"

namespace kv {
namespace {

constexpr std::string_view kBullet = "\xE2\x80\xA2"; // BEL as the display road shows it

bool IsSingleByteBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\a'; }

// Per byte: 1 a blank by itself, 2 the first byte of the bullet, 0 anything else.
constexpr struct BlankClasses {
    unsigned char kind[256] = {};
    constexpr BlankClasses()
    {
        for (const char c : {' ', '\t', '\r', '\n', '\a'}) kind[static_cast<unsigned char>(c)] = 1;
        kind[0xE2] = 2;
    }
} kBlankClasses;

inline size_t BlankAt(std::string_view text, size_t pos)
{
    switch (kBlankClasses.kind[static_cast<unsigned char>(text[pos])]) {
    case 0: return 0;
    case 1: return 1;
    default: return text.substr(pos, kBullet.size()) == kBullet ? kBullet.size() : 0;
    }
}

// Length of the blank that ends just before end (0 when none).
size_t BlankLengthBefore(std::string_view text, size_t end)
{
    if (end == 0) return 0;
    if (IsSingleByteBlank(text[end - 1])) return 1;
    if (end >= kBullet.size() && text.substr(end - kBullet.size(), kBullet.size()) == kBullet) return kBullet.size();
    return 0;
}

size_t SkipBlanks(std::string_view text, size_t pos)
{
    while (pos < text.size()) {
        const size_t n = BlankAt(text, pos);
        if (n == 0) break;
        pos += n;
    }
    return pos;
}

std::string_view TrimBlanks(std::string_view text)
{
    text.remove_prefix(SkipBlanks(text, 0));
    while (const size_t n = BlankLengthBefore(text, text.size())) text.remove_suffix(n);
    return text;
}

struct TokenSpan {
    size_t begin;
    size_t end;
};

// The tokens of text from pos on, valid until the next call on the same thread: the vector is reused so
// that parsing a line allocates nothing.
std::vector<TokenSpan>& TokensOf(std::string_view text, size_t pos)
{
    thread_local std::vector<TokenSpan> spans;
    spans.clear();
    for (;;) {
        pos = SkipBlanks(text, pos);
        if (pos >= text.size()) return spans;
        const size_t begin = pos;
        while (pos < text.size() && BlankAt(text, pos) == 0) ++pos;
        spans.push_back({begin, pos});
    }
}

std::string_view TokenText(std::string_view text, const TokenSpan& span)
{
    return text.substr(span.begin, span.end - span.begin);
}

// After optional blanks, the six bytes of the "DX de " head; where the text after them starts, or npos.
size_t FindDxDeHead(std::string_view line, bool exactCase)
{
    const size_t pos = SkipBlanks(line, 0);
    if (line.size() - pos < 6) return std::string_view::npos;
    const std::string_view head = line.substr(pos, 6);
    const bool matches = exactCase ? head == "DX de " : EqualsIgnoreCaseAscii(head, "DX DE ");
    return matches ? pos + 6 : std::string_view::npos;
}

// The spotter between the head and the first colon, and where the text after the colon starts.
bool SplitAtSpotterColon(std::string_view line, size_t afterHead, std::string_view& spotter, size_t& afterColon)
{
    if (afterHead >= line.size()) return false;
    const size_t colon = line.find(':', afterHead);
    if (colon == std::string_view::npos) return false;
    spotter = TrimBlanks(line.substr(afterHead, colon - afterHead));
    afterColon = colon + 1;
    return true;
}

// Index of the last token from the end down to token 2 that is an hhmmZ time, or 0 when none.
size_t FindTimeToken(std::string_view text, const std::vector<TokenSpan>& tokens)
{
    for (size_t i = tokens.size(); i-- > 2;)
        if (IsHhmmZTime(TokenText(text, tokens[i]))) return i;
    return 0;
}

bool IsUpperAR(char c) { return c >= 'A' && c <= 'R'; }

bool IsLocator(std::string_view token)
{
    return token.size() == 4 && IsUpperAR(token[0]) && IsUpperAR(token[1]) && IsAsciiDigit(token[2]) &&
           IsAsciiDigit(token[3]);
}

bool IsSingleLetterOrQuestionMark(std::string_view token)
{
    return token.size() == 1 && (IsAsciiAlpha(token[0]) || token[0] == '?');
}

// Frequency text with exactly one decimal, cut (not rounded); empty when it does not begin with a digit.
std::string KeyFrequencyText(std::string_view token)
{
    std::string text(token);
    const size_t point = text.find('.');
    if (point == std::string::npos) text += ".0";
    else if (point + 1 == text.size()) text += "0";
    else text.resize(point + 2);
    if (!IsAsciiDigit(text[0])) return {};
    return text;
}

// The spotter as the key holds it: without a final "-@" and a "-<digits>" node suffix.
std::string_view KeySpotter(std::string_view spotter)
{
    if (spotter.size() >= 3 && spotter.ends_with("-@")) spotter.remove_suffix(2);
    size_t digitsStart = spotter.size();
    while (digitsStart > 0 && IsAsciiDigit(spotter[digitsStart - 1])) --digitsStart;
    if (digitsStart < spotter.size() && digitsStart >= 2 && spotter[digitsStart - 1] == '-')
        spotter = spotter.substr(0, digitsStart - 1);
    return spotter;
}

bool IsDateToken(std::string_view token)
{
    const size_t p = token.find('-');
    if (p != 1 && p != 2) return false;
    if (token.size() != p + 9 || token[p + 4] != '-') return false;
    for (size_t i = 0; i < token.size(); ++i) {
        if (i == p || i == p + 4) continue;
        const bool letterPlace = i > p && i < p + 4;
        if (letterPlace ? !IsAsciiAlpha(token[i]) : !IsAsciiDigit(token[i])) return false;
    }
    return true;
}

// Cuts a short token such as a spotter's prefix or state that some nodes put at the end of a listing comment.
void CutCommentTailToken(std::string& comment)
{
    const size_t n = comment.size();
    if (n < 2 || comment[n - 1] != ' ' || comment[n - 2] == ' ') return;
    const std::string_view s = std::string_view(comment).substr(0, n - 1);
    const size_t lastSpace = s.rfind(' ');
    const size_t wordStart = lastSpace == std::string_view::npos ? 0 : lastSpace + 1;
    const std::string_view word = s.substr(wordStart);
    const size_t plus = word.rfind('+');
    if (plus != std::string_view::npos) {
        if (IsCommentTailToken(word.substr(plus + 1))) comment.resize(wordStart + plus);
        return;
    }
    const bool standsApart = lastSpace != std::string_view::npos && lastSpace >= 1 && s[lastSpace - 1] == ' ';
    if ((standsApart || lastSpace == std::string_view::npos) && IsCommentTailToken(word)) comment.resize(wordStart);
}

bool IsLooselyWellFormedUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t followers;
        if (c < 0x80) followers = 0;
        else if (c >= 0xC2 && c <= 0xDF) followers = 1;
        else if (c >= 0xE0 && c <= 0xEF) followers = 2;
        else if (c >= 0xF0 && c <= 0xF4) followers = 3;
        else return false;
        if (followers > 0 && i + followers >= text.size()) return false;
        for (size_t k = 1; k <= followers; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += followers + 1;
    }
    return true;
}

std::string Latin1ToUtf8Bytes(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(char(0xC0 + (c >> 6)));
            out.push_back(char(0x80 + (c & 0x3F)));
        }
    }
    return out;
}

void AppendUpper(std::string& out, std::string_view text)
{
    const size_t start = out.size();
    out.append(text);
    for (size_t i = start; i < out.size(); ++i) out[i] = AsciiToUpper(out[i]);
}

bool IsAllAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The comment tokens before the time, less a single letter or "?" and a locator written just before it,
// joined by single spaces and normalised. Writes into the caller's string to reuse its memory.
void BuildKeyComment(std::string_view text, const std::vector<TokenSpan>& tokens, size_t time, std::string& comment)
{
    comment.clear();
    size_t end = time;
    if (IsSingleLetterOrQuestionMark(TokenText(text, tokens[end - 1]))) --end;
    if (end > 2 && IsLocator(TokenText(text, tokens[end - 1]))) --end;
    if (end <= 2) return;
    for (size_t i = 2; i < end; ++i) {
        if (i > 2) comment.push_back(' ');
        comment.append(TokenText(text, tokens[i]));
    }
    if (!IsAllAscii(comment)) {
        comment = NormalizeSpotText(comment);
        return;
    }
    // Tokens hold no blank: plain ASCII is normalised by upper-casing alone.
    for (char& c : comment) c = AsciiToUpper(c);
}

// Upper case; every run of blanks becomes one space, none at either end.
std::string UpperWithSingleSpaces(std::string_view ascii)
{
    std::string out;
    out.reserve(ascii.size());
    for (const char c : ascii) {
        if (IsSingleByteBlank(c)) {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(AsciiToUpper(c));
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}



} // namespace

size_t BlankLengthAt(std::string_view text, size_t pos) { return pos < text.size() ? BlankAt(text, pos) : 0; }

void SplitOnBlanks(const std::string& text, std::vector<std::string>& tokens, std::vector<unsigned>& starts)
{
    for (const TokenSpan& span : TokensOf(text, 0)) {
        tokens.emplace_back(TokenText(text, span));
        starts.push_back(unsigned(span.begin));
    }
}

bool ParseDecimal(std::string_view text, double& value)
{
    value = 0;
    bool sawDigit = false;
    bool sawPoint = false;
    double scale = 0.1;
    for (const char c : text) {
        if (c == '.') {
            if (sawPoint) return false;
            sawPoint = true;
        } else if (IsAsciiDigit(c)) {
            sawDigit = true;
            if (!sawPoint) {
                value = value * 10 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale *= 0.1;
            }
        } else {
            return false;
        }
    }
    return sawDigit;
}

bool IsHhmmZTime(std::string_view token)
{
    return token.size() == 5 && IsAsciiDigit(token[0]) && IsAsciiDigit(token[1]) && IsAsciiDigit(token[2]) &&
           IsAsciiDigit(token[3]) && (token[4] == 'Z' || token[4] == 'z');
}

bool IsCommentTailToken(std::string_view token)
{
    const size_t slash = token.find('/');
    const std::string_view head = token.substr(0, slash);
    if (head.empty() || head.size() > 4) return false;
    for (const char c : head)
        if (!IsAsciiUpper(c) && !IsAsciiDigit(c)) return false;
    if (slash == std::string_view::npos) return true;
    const std::string_view tail = token.substr(slash + 1);
    if (tail.empty() || tail.size() > 2) return false;
    for (const char c : tail)
        if (!IsAsciiAlpha(c)) return false;
    return true;
}

bool ParseDxDeSpotFields(const std::string& line, SpotFields& fields)
{
    fields = SpotFields();
    const std::string_view text = line;
    const size_t afterHead = FindDxDeHead(text, false);
    if (afterHead == std::string_view::npos) return false;
    std::string_view spotter;
    size_t afterColon = 0;
    if (!SplitAtSpotterColon(text, afterHead, spotter, afterColon)) return false;
    const std::vector<TokenSpan>& tokens = TokensOf(text, afterColon);
    if (tokens.size() < 2) return false;
    if (!ParseDecimal(TokenText(text, tokens[0]), fields.frequency)) return false;
    fields.spotter = spotter;
    fields.dxCall = TokenText(text, tokens[1]);
    const size_t time = FindTimeToken(text, tokens);
    const size_t commentEnd = time != 0 ? time : tokens.size();
    if (commentEnd > 2)
        fields.comment = text.substr(tokens[2].begin, tokens[commentEnd - 1].end - tokens[2].begin);
    return true;
}

bool ParseShowDxSpotFields(const std::string& line, bool tailToken, SpotFields& fields)
{
    fields = SpotFields();
    const std::string_view text = line;
    TokenSpan head[4];
    size_t pos = 0;
    for (TokenSpan& span : head) {
        pos = SkipBlanks(text, pos);
        if (pos >= text.size()) return false;
        span.begin = pos;
        while (pos < text.size() && BlankAt(text, pos) == 0) ++pos;
        span.end = pos;
    }
    double frequency = 0;
    if (!ParseDecimal(TokenText(text, head[0]), frequency) || !(frequency > 0)) return false;
    if (!IsDateToken(TokenText(text, head[2])) || !IsHhmmZTime(TokenText(text, head[3]))) return false;

    std::string_view rest = text.substr(pos);
    while (const size_t n = BlankLengthBefore(rest, rest.size())) rest.remove_suffix(n);
    if (rest.empty() || rest.back() != '>') return false;
    const size_t open = rest.rfind('<');
    const size_t close = rest.size() - 1;
    if (open == std::string_view::npos || open + 1 >= close) return false;
    const std::string_view spotter = rest.substr(open + 1, close - open - 1);
    if (spotter.find_first_of(" \t<") != std::string_view::npos) return false;

    std::string_view commentText = rest.substr(0, open);
    commentText.remove_prefix(BlankLengthAt(commentText, 0));
    std::string comment(commentText);
    if (tailToken) CutCommentTailToken(comment);

    std::string_view dxCall = TokenText(text, head[1]);
    while (!dxCall.empty() && dxCall.back() == '/') dxCall.remove_suffix(1);
    if (dxCall.empty()) return false;
    fields.frequency = frequency;
    fields.dxCall = dxCall;
    fields.spotter = spotter;
    fields.comment = TrimBlanks(comment);
    return true;
}

bool ParseSpotFields(const std::string& line, bool tailToken, SpotFields& fields)
{
    return ParseDxDeSpotFields(line, fields) || ParseShowDxSpotFields(line, tailToken, fields);
}

bool ParseDxDeLine(const std::string& line, SentSpotKey& result)
{
    result.key.clear();
    result.comment.clear();
    const std::string_view text = line;
    const size_t afterHead = FindDxDeHead(text, true);
    if (afterHead == std::string_view::npos) return false;
    std::string_view spotter;
    size_t afterColon = 0;
    if (!SplitAtSpotterColon(text, afterHead, spotter, afterColon) || spotter.empty()) return false;
    const std::vector<TokenSpan>& tokens = TokensOf(text, afterColon);
    if (tokens.size() < 3) return false;
    const std::string frequency = KeyFrequencyText(TokenText(text, tokens[0]));
    if (frequency.empty()) return false;
    const size_t time = FindTimeToken(text, tokens);
    if (time == 0) return false;

    std::string& key = result.key;
    AppendUpper(key, KeySpotter(spotter));
    key.push_back('|');
    key.append(frequency);
    key.push_back('|');
    AppendUpper(key, TokenText(text, tokens[1]));
    key.push_back('|');
    key.append(TokenText(text, tokens[time]).substr(0, 4));

    // A skimmer's comment (signal strength, speed) differs between nodes: such spots are compared without it.
    const bool skimmerSpotter = spotter.size() >= 2 && spotter.ends_with("-#");
    if (!skimmerSpotter) BuildKeyComment(text, tokens, time, result.comment);
    return true;
}

std::string NormalizeSpotText(const std::string& text)
{
    if (IsAllAscii(text)) return UpperWithSingleSpaces(text);
    if (IsLooselyWellFormedUtf8(text)) return UpperWithSingleSpaces(TransliterateToAscii(text));
    return UpperWithSingleSpaces(TransliterateToAscii(Latin1ToUtf8Bytes(text)));
}

} // namespace kv
