#include "connections/CommandDialect.h"

#include <algorithm>

#include "base/Ascii.h"

namespace kv {

const char* const BandNames[13] = {"160", "80", "60", "40", "30", "20", "17", "15", "12", "10", "6", "4", "2"};
const char* const ReservedShowWords[11] = {"ON",  "BY",   "DAY",   "INFO", "IOTA", "QSL",
                                           "QRA", "DXCC", "EXACT", "REAL", "ALL"};

CommandDialect GetCommandDialect(ClusterSoftwareId software)
{
    switch (software) {
    case DXSpider:
    case PyCluster: return DialectDXSpider;
    case ARCluster: return DialectARCluster;
    case ARCluster4: return DialectARCluster4;
    case ARCluster6: return DialectARCluster6;
    case CCCluster: return DialectCCCluster;
    case DxNet: return DialectDxNet;
    case CLX: return DialectCLX;
    case GoCluster: return DialectGoCluster;
    default: return NoDialect;
    }
}

std::string NormalizeCommand(const std::string& text)
{
    std::string out;
    bool pendingBlank = false;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank) out.push_back(' ');
        pendingBlank = false;
        out.push_back(AsciiToUpper(c));
    }
    return out;
}

std::vector<std::string> SplitOnSpaces(const std::string& text)
{
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = text.find_first_not_of(' ', pos);
        if (start == std::string::npos) break;
        const size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        pos = end;
    }
    return words;
}

namespace {

bool AllDigits(const std::string& text)
{
    for (char c : text)
        if (!IsAsciiDigit(c)) return false;
    return true;
}

bool IsReservedShowWord(const std::string& word)
{
    for (const char* reserved : ReservedShowWords)
        if (word == reserved) return true;
    return false;
}

// Only the characters that the predicate allows, with at least one letter; hasDigit tells whether a digit
// was among them.
template <typename Allowed> bool IsCallLike(const std::string& word, Allowed allowed, bool& hasDigit)
{
    bool hasLetter = false;
    hasDigit = false;
    for (char c : word) {
        if (!IsAsciiUpper(c) && !IsAsciiDigit(c) && !allowed(c)) return false;
        hasLetter = hasLetter || IsAsciiUpper(c);
        hasDigit = hasDigit || IsAsciiDigit(c);
    }
    return hasLetter;
}

bool IsDxCallWord(const std::string& word)
{
    bool hasDigit = false;
    if (word.empty() || word.size() > 8) return false;
    if (!IsCallLike(word, [](char c) { return c == '/'; }, hasDigit)) return false;
    return (hasDigit || word.size() <= 3) && !IsReservedShowWord(word);
}

bool IsSpotterWord(const std::string& word)
{
    bool hasDigit = false;
    if (word.size() < 3 || word.size() > 15) return false;
    return IsCallLike(word, [](char c) { return c == '#' || c == '-' || c == '/'; }, hasDigit) && hasDigit;
}

// "L<sep>H" with two frequencies fills the range of the command.
bool ReadFrequencyRange(const std::string& word, char separator, ShowCommand& command)
{
    const size_t pos = word.find(separator);
    if (pos == std::string::npos) return false;
    std::string low = word.substr(0, pos), high = word.substr(pos + 1);
    if (!IsFrequencyText(low) || !IsFrequencyText(high)) return false;
    command.Kind = ShowFrequencyRange;
    command.FrequencyLow = std::move(low);
    command.FrequencyHigh = std::move(high);
    return true;
}

ShowCommand Make(ShowCommandKind kind, std::string count = {}, std::string band = {}, std::string call = {})
{
    ShowCommand command;
    command.Kind = kind;
    command.Count = std::move(count);
    command.Band = std::move(band);
    command.Call = std::move(call);
    return command;
}

// SH/DX followed by words and no "/count".
ShowCommand ParseDxWords(const std::vector<std::string>& words)
{
    ShowCommand command;
    if (words.size() == 1) {
        const std::string& word = words[0];
        if (IsCountText(word)) return Make(ShowCount, word);
        // A band word alone asks for that band: it is no call.
        if (const std::string band = ParseBandWord(word); !band.empty()) return Make(ShowBand, {}, band);
        if (word.find('-') != std::string::npos && ReadFrequencyRange(word, '-', command)) return command;
        if (IsDxCallWord(word)) return Make(ShowCall, {}, {}, word);
        return {};
    }
    if (words.size() == 2 && words[0] == "ON") {
        if (const std::string band = ParseBandWord(words[1]); !band.empty()) return Make(ShowBand, {}, band);
        if (ReadFrequencyRange(words[1], '/', command)) return command;
        return {};
    }
    if (words.size() == 2 && words[0] == "BY") return IsSpotterWord(words[1]) ? Make(ShowSpotter, {}, {}, words[1]) : ShowCommand{};
    if (words.size() == 3 && words[1] == "ON" && IsCountText(words[0])) {
        if (const std::string band = ParseBandWord(words[2]); !band.empty()) return Make(ShowCountBand, words[0], band);
    }
    return {};
}

} // namespace

bool IsCountText(const std::string& text)
{
    return !text.empty() && text.size() <= 4 && AllDigits(text) && text[0] != '0';
}

bool IsBandName(const std::string& text)
{
    for (const char* band : BandNames)
        if (text == band) return true;
    return false;
}

std::string ParseBandWord(const std::string& word)
{
    if (word.size() < 2 || word.back() != 'M') return {};
    std::string band = word.substr(0, word.size() - 1);
    return IsBandName(band) ? band : std::string();
}

bool IsFrequencyText(const std::string& text)
{
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    if (whole.empty() || whole.size() > 8 || !AllDigits(whole)) return false;
    if (point == std::string::npos) return true;
    const std::string fraction = text.substr(point + 1);
    return !fraction.empty() && AllDigits(fraction);
}

std::string MapBandForClx(const std::string& band)
{
    return band == "10" ? "28" : band;
}

std::string MapBandForDxNet(const std::string& band)
{
    if (band == "10") return "28";
    if (band == "30") return {};
    return band;
}

ShowCommand ParseShowCommand(const std::string& line)
{
    const std::string text = NormalizeCommand(line);
    size_t pos = 0;
    if (text.starts_with("SHOW")) pos = 4;
    else if (text.starts_with("SHO")) pos = 3;
    else if (text.starts_with("SH")) pos = 2;
    else return {};
    if (pos >= text.size() || (text[pos] != '/' && text[pos] != ' ')) return {};
    ++pos;

    std::string topic;
    for (const char* candidate : {"DX", "WWV", "WCY"}) {
        const std::string word = candidate;
        const size_t end = pos + word.size();
        if (text.compare(pos, word.size(), word) == 0 && (end == text.size() || text[end] == '/' || text[end] == ' ')) {
            topic = word;
            break;
        }
    }
    if (topic.empty()) return {};
    pos += topic.size();
    if (pos >= text.size()) return {};

    std::string count;
    if (text[pos] == '/') {
        const size_t end = std::min(text.find(' ', pos + 1), text.size());
        count = text.substr(pos + 1, end - pos - 1);
        if (!IsCountText(count)) return {};
        pos = end;
    }
    const std::vector<std::string> words = SplitOnSpaces(text.substr(pos));

    if (topic != "DX") {
        const ShowCommandKind kind = topic == "WWV" ? ShowWwv : ShowWcy;
        if (!count.empty()) return words.empty() ? Make(kind, count) : ShowCommand{};
        return words.size() == 1 && IsCountText(words[0]) ? Make(kind, words[0]) : ShowCommand{};
    }
    if (!count.empty()) {
        if (words.empty()) return Make(ShowCount, count);
        if (words.size() == 1 && IsBandName(words[0])) return Make(ShowCountBand, count, words[0]);
        return {};
    }
    return ParseDxWords(words);
}

namespace {

std::string FormatCount(const ShowCommand& c, CommandDialect dialect)
{
    switch (dialect) {
    case DialectDXSpider:
    case DialectARCluster6: return "SH/DX " + c.Count;
    case DialectGoCluster: return "SH DX " + c.Count;
    default: return "SH/DX/" + c.Count;
    }
}

std::string FormatBand(const ShowCommand& c, CommandDialect dialect)
{
    switch (dialect) {
    case DialectDXSpider:
    case DialectCCCluster: return "SH/DX on " + c.Band + "m";
    case DialectARCluster4: return "SH/DX " + c.Band;
    case DialectARCluster6: return "SH/DX Band=" + c.Band;
    case DialectDxNet: {
        const std::string band = MapBandForDxNet(c.Band);
        return band.empty() ? std::string() : "SH/DX " + band;
    }
    case DialectCLX: return "SH/DX " + MapBandForClx(c.Band);
    case DialectGoCluster: return "SH DX BAND " + c.Band + "M";
    default: return {};
    }
}

std::string FormatCountBand(const ShowCommand& c, CommandDialect dialect)
{
    switch (dialect) {
    case DialectDXSpider: return "SH/DX " + c.Count + " on " + c.Band + "m";
    case DialectARCluster:
    case DialectARCluster4:
    case DialectCCCluster: return "SH/DX/" + c.Count + " " + c.Band;
    case DialectARCluster6: return "SH/DX/" + c.Count + " Band=" + c.Band;
    case DialectDxNet: {
        const std::string band = MapBandForDxNet(c.Band);
        return band.empty() ? std::string() : "SH/DX/" + c.Count + " " + band;
    }
    case DialectCLX: return "SH/DX/" + c.Count + " " + MapBandForClx(c.Band);
    case DialectGoCluster: return "SH DX " + c.Count + " BAND " + c.Band + "M";
    default: return {};
    }
}

std::string FormatSpotter(const ShowCommand& c, CommandDialect dialect)
{
    switch (dialect) {
    case DialectDXSpider:
    case DialectCCCluster: return "SH/DX by " + c.Call;
    case DialectARCluster4: return "SH/DX where spotter = '" + c.Call + "'";
    case DialectARCluster6: return "SH/DX Spotter=" + c.Call;
    default: return {};
    }
}

std::string FormatFrequencyRange(const ShowCommand& c, CommandDialect dialect)
{
    switch (dialect) {
    case DialectDXSpider: return "SH/DX on " + c.FrequencyLow + "/" + c.FrequencyHigh;
    case DialectARCluster4:
    case DialectCCCluster:
    case DialectCLX: return "SH/DX " + c.FrequencyLow + "-" + c.FrequencyHigh;
    case DialectARCluster6: return "SH/DX Freq>=" + c.FrequencyLow + " and Freq<=" + c.FrequencyHigh;
    default: return {};
    }
}

std::string FormatCall(const ShowCommand& c, CommandDialect dialect)
{
    switch (dialect) {
    case DialectDXSpider:
    case DialectARCluster4:
    case DialectCCCluster:
    case DialectCLX: return "SH/DX " + c.Call;
    case DialectARCluster6: return "SH/DX Call=" + c.Call + "*";
    case DialectGoCluster: return "SH DX " + c.Call;
    default: return {};
    }
}

std::string FormatReport(const ShowCommand& c, CommandDialect dialect, const char* topic)
{
    if (dialect == DialectDxNet || dialect == DialectCLX) return std::string("SH/") + topic + "/" + c.Count;
    if (c.Kind == ShowWcy && dialect == DialectDXSpider) return "SH/WCY " + c.Count;
    return {};
}

} // namespace

std::string FormatShowCommand(const ShowCommand& command, CommandDialect dialect)
{
    if (dialect < DialectDXSpider || dialect > DialectGoCluster) return {};
    switch (command.Kind) {
    case ShowCount: return FormatCount(command, dialect);
    case ShowBand: return FormatBand(command, dialect);
    case ShowCountBand: return FormatCountBand(command, dialect);
    case ShowSpotter: return FormatSpotter(command, dialect);
    case ShowFrequencyRange: return FormatFrequencyRange(command, dialect);
    case ShowCall: return FormatCall(command, dialect);
    case ShowWwv: return FormatReport(command, dialect, "WWV");
    case ShowWcy: return FormatReport(command, dialect, "WCY");
    default: return {};
    }
}

bool AdaptShowCommand(const std::string& line, CommandDialect dialect, std::string& out)
{
    out.clear();
    if (dialect == NoDialect) return false;
    const ShowCommand command = ParseShowCommand(line);
    if (command.Kind == ShowNotRecognised) return false;
    std::string formatted = FormatShowCommand(command, dialect);
    if (formatted.empty() || NormalizeCommand(formatted) == NormalizeCommand(line)) return false;
    out = std::move(formatted);
    return true;
}

} // namespace kv
