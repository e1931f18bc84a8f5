#include "connections/DxSummitSpots.h"

#include <cmath>
#include <cstdlib>

#include "base/Ascii.h"
#include "base/Numbers.h"
#include "connections/JsonCursor.h"
#include "spots/Transliteration.h"

namespace kv {
namespace {

constexpr bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
constexpr bool IsTrimmed(char c) { return IsBlankOrTab(c) || c == '\r' || c == '\n'; }
constexpr bool IsUpperOrDigit(char c) { return IsAsciiUpper(c) || IsAsciiDigit(c); }
constexpr bool IsCallByte(char c) { return IsUpperOrDigit(c) || c == '/'; }

bool EndsWithWebMark(std::string_view text) { return text.size() >= 2 && text.substr(text.size() - 2) == "-@"; }

bool IsSaneFrequency(double khz) { return std::isfinite(khz) && khz > 0 && khz < kMaxSpotFrequencyKhz; }

// "K1A" and "AB1" are no calls of the web page: two letters or digits and a digit.
bool IsTwoAndDigit(std::string_view call)
{
    return call.size() == 3 && IsUpperOrDigit(call[0]) && IsUpperOrDigit(call[1]) && IsAsciiDigit(call[2]);
}

// Control bytes would break the line apart or forge another one.
std::string WithoutControlBytes(std::string_view text)
{
    std::string out(text);
    for (auto& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

void AppendPadded(std::string& line, std::string_view text, size_t width, bool alignLeft)
{
    const size_t padding = text.size() < width ? width - text.size() : 0;
    if (!alignLeft) line.append(padding, ' ');
    line.append(text);
    if (alignLeft) line.append(padding, ' ');
}

std::string TimeText(std::string_view time)
{
    if (time.size() >= 16 && IsAsciiDigit(time[11]) && IsAsciiDigit(time[12]) && IsAsciiDigit(time[14]) &&
        IsAsciiDigit(time[15])) {
        std::string hhmm(time.substr(11, 2));
        hhmm.append(time.substr(14, 2));
        return hhmm;
    }
    return "0000";
}

// Cuts an overlong line before its line feed, never inside a UTF-8 sequence.
void LimitLine(std::string& line)
{
    if (line.size() <= kMaxSpotLineLength) return;
    size_t cut = kMaxSpotLineLength - 1;
    for (int back = 0; back < 3 && cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80; ++back) --cut;
    line.resize(cut);
    line.push_back('\n');
}

std::string CollapseBlanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsBlankOrTab(text[i])) {
            out.push_back(text[i]);
            continue;
        }
        out.push_back(' ');
        while (i + 1 < text.size() && IsBlankOrTab(text[i + 1])) ++i;
    }
    return out;
}

std::string KeepBytes(std::string_view text, bool keepDash)
{
    std::string out;
    for (const char c : text)
        if (IsCallByte(c) || (keepDash && c == '-')) out.push_back(c);
    return out;
}

} // namespace

std::string TrimCopy(std::string_view text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsTrimmed(text[begin])) ++begin;
    while (end > begin && IsTrimmed(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

bool IsDecimalText(std::string_view text)
{
    int digits = 0, points = 0;
    for (const char c : text) {
        if (IsAsciiDigit(c))
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

bool IsCallText(std::string_view text)
{
    bool letterOrDigit = false;
    for (const char c : text) {
        const char upper = AsciiToUpper(c);
        if (IsAsciiAlnum(upper))
            letterOrDigit = true;
        else if (upper != '/' && upper != '-')
            return false;
    }
    return letterOrDigit;
}

std::optional<size_t> FindSsidDash(std::string_view text)
{
    const size_t dash = text.rfind('-');
    if (dash == std::string_view::npos || dash + 1 == text.size()) return std::nullopt;
    for (size_t i = dash + 1; i < text.size(); ++i)
        if (!IsAsciiDigit(text[i])) return std::nullopt;
    return dash;
}

std::string NormaliseWebSpotCall(std::string_view call, bool isSpotter)
{
    std::string text = ToUpperAscii(TransliterateToAscii(call));
    if (EndsWithWebMark(text)) text.resize(text.size() - 2);
    std::erase_if(text, IsBlankOrTab);
    if (!isSpotter) {
        if (const auto dash = FindSsidDash(text)) text.resize(*dash);
    }
    text = KeepBytes(text, isSpotter);
    if (isSpotter) {
        // A station number after a dash stays; every other dash goes.
        const auto keep = FindSsidDash(text);
        std::string out;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] != '-' || (keep && i == *keep)) out.push_back(text[i]);
        text = std::move(out);
    }
    return text;
}

bool IsValidWebSpotCall(std::string_view call, bool isSpotter)
{
    if (call.size() < 2) return false;
    std::string_view examined = call;
    if (isSpotter) {
        if (const auto dash = FindSsidDash(call)) examined = call.substr(0, *dash);
    }
    bool letter = false;
    for (const char c : examined) {
        if (!IsCallByte(c)) return false;
        letter = letter || IsAsciiUpper(c);
    }
    if (examined.empty() || examined.back() == '/' || examined.size() > kMaxWebSpotCallLength || !letter)
        return false;
    if (!isSpotter) {
        bool digit = false;
        for (const char c : call) digit = digit || IsAsciiDigit(c);
        if (!digit || call.find("N0CALL") != std::string_view::npos) return false;
    }
    return true;
}

SpotOrigin ClassifyDxSummitSpot(const DxSummitSpot& spot, DxSummitSpot& normalised)
{
    if (spot.deCall.size() <= 1 || !EndsWithWebMark(spot.deCall)) return SpotOrigin::RelayedSpot;
    normalised = spot;
    normalised.deCall = NormaliseWebSpotCall(spot.deCall, true);
    normalised.dxCall = NormaliseWebSpotCall(spot.dxCall, false);
    if (!IsValidWebSpotCall(normalised.deCall, true) || !IsValidWebSpotCall(normalised.dxCall, false) ||
        !IsSaneFrequency(spot.frequency) || IsTwoAndDigit(normalised.dxCall) || !HasUsableId(spot))
        return SpotOrigin::InvalidWebSpot;
    normalised.deCall += "-@";
    return SpotOrigin::ValidWebSpot;
}

std::string FormatSpotFrequency(double khz)
{
    // Beyond this the tenths no longer fit a 64-bit integer; such a value is no frequency anyway.
    if (!std::isfinite(khz) || std::fabs(khz) >= 1e17) return FormatFixed(khz, 1);
    const long long tenths = std::llround(khz * 10);
    const unsigned long long magnitude = tenths < 0 ? 0ULL - static_cast<unsigned long long>(tenths) : tenths;
    std::string text = tenths < 0 ? "-" : "";
    text += FormatInteger(magnitude / 10);
    text.push_back('.');
    text.push_back(char('0' + magnitude % 10));
    return text;
}

std::string FormatDxSummitSpotLine(std::string_view spotter, std::string_view dxCall, std::string_view comment,
                                   const DxSummitSpot& spot)
{
    std::string line = "DX de ";
    line.reserve(96 + spotter.size() + dxCall.size() + comment.size());
    AppendPadded(line, WithoutControlBytes(spotter) + ":", 11, true);
    line.push_back(' ');
    AppendPadded(line, FormatSpotFrequency(spot.frequency), 10, false);
    line.append("  ");
    AppendPadded(line, WithoutControlBytes(dxCall), 12, true);
    line.push_back(' ');
    AppendPadded(line, WithoutControlBytes(comment), 30, true);
    line.push_back(' ');
    line.append(TimeText(spot.time));
    line.append("Z\n");
    LimitLine(line);
    return line;
}

std::string FormatWebSpotLine(const DxSummitSpot& spot)
{
    std::string comment = TrimCopy(CollapseBlanks(TransliterateToAscii(spot.info)));
    if (comment.size() > kMaxWebSpotCommentLength) comment = TrimCopy(comment.substr(0, kMaxWebSpotCommentLength));
    return FormatDxSummitSpotLine(TransliterateToAscii(spot.deCall), TransliterateToAscii(spot.dxCall), comment,
                                  spot);
}

SpotLineOutcome TurnSpotIntoLine(const DxSummitSpot& spot, bool allSpots)
{
    SpotLineOutcome outcome;
    DxSummitSpot normalised;
    switch (ClassifyDxSummitSpot(spot, normalised)) {
    case SpotOrigin::ValidWebSpot:
        outcome.kind = SpotLineOutcome::Kind::Line;
        outcome.line = FormatWebSpotLine(normalised);
        break;
    case SpotOrigin::InvalidWebSpot:
        outcome.kind = SpotLineOutcome::Kind::InvalidLine;
        outcome.line = FormatWebSpotLine(spot);
        break;
    case SpotOrigin::RelayedSpot:
        if (allSpots && !spot.deCall.empty() && !spot.dxCall.empty() && IsSaneFrequency(spot.frequency) &&
            HasUsableId(spot)) {
            outcome.kind = SpotLineOutcome::Kind::Line;
            outcome.line = FormatDxSummitSpotLine(spot.deCall, spot.dxCall, spot.info, spot);
        }
        break;
    }
    return outcome;
}

bool ParseSpotCommand(std::string_view line, std::string& frequencyText, std::string& call, std::string& comment)
{
    const std::string text = TrimCopy(line);
    std::string_view words[3];
    size_t count = 0, pos = 0;
    while (count < 3) {
        while (pos < text.size() && IsBlankOrTab(text[pos])) ++pos;
        if (pos == text.size()) break;
        const size_t start = pos;
        while (pos < text.size() && !IsBlankOrTab(text[pos])) ++pos;
        words[count++] = std::string_view(text).substr(start, pos - start);
    }
    if (count < 3 || ToUpperAscii(words[0]) != "DX") return false;
    if (IsDecimalText(words[1]) && IsCallText(words[2])) {
        frequencyText = std::string(words[1]);
        call = std::string(words[2]);
    } else if (IsCallText(words[1]) && IsDecimalText(words[2])) {
        call = std::string(words[1]);
        frequencyText = std::string(words[2]);
    } else {
        return false;
    }
    call = ToUpperAscii(call);
    comment = TrimCopy(std::string_view(text).substr(pos));
    return true;
}

std::string BuildDxSummitSpotJson(std::string_view login, std::string_view call, std::string_view frequencyText,
                                  std::string_view comment)
{
    std::string json = "{\"de_call\": ";
    AppendJsonString(json, ToUpperAscii(login));
    json += ", \"dx_call\": ";
    AppendJsonString(json, ToUpperAscii(call));
    json += ", \"frequency\": ";
    AppendJsonString(json, frequencyText);
    json += ", \"info\": ";
    AppendJsonString(json, comment);
    json += "}";
    return json;
}

} // namespace kv
