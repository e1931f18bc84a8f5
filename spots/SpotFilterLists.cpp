#include "spots/SpotFilterLists.h"

#include <algorithm>
#include <optional>

#include "base/Ascii.h"
#include "base/Numbers.h"
#include "spots/CCtyTable.h"
#include "spots/Transliteration.h"

namespace kv {
namespace {

constexpr std::string_view kEntrySeparators = " \t\r\n,;";
constexpr double kHighestFrequency = 1e12;

bool IsKeepOnlyMark(char c) { return c == '/' || c == '!'; }

std::vector<std::string_view> SplitEntries(std::string_view text)
{
    std::vector<std::string_view> entries;
    size_t pos = 0;
    while ((pos = text.find_first_not_of(kEntrySeparators, pos)) != std::string_view::npos) {
        const size_t end = std::min(text.find_first_of(kEntrySeparators, pos), text.size());
        entries.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return entries;
}

// Walks the entries of a list text; accept(entry without its mark, keepOnly) tells whether the entry is good.
template <typename Accept> bool ParseEntries(const std::string& text, std::string& error, Accept accept)
{
    error.clear();
    for (const std::string_view typed : SplitEntries(text)) {
        const bool keepOnly = IsKeepOnlyMark(typed[0]);
        const std::string_view entry = keepOnly ? typed.substr(1) : typed;
        if (entry.empty() || IsKeepOnlyMark(entry[0]) || !accept(std::string(entry), keepOnly)) {
            error = typed;
            return false;
        }
    }
    return true;
}

// The upper-cased entries that valueOf maps to a stored value (nullopt: wrong entry).
template <typename ValueOf>
bool ParseTextCriterion(const std::string& text, SpotFilterCriterion& out, std::string& error, ValueOf valueOf)
{
    out = SpotFilterCriterion();
    const bool ok = ParseEntries(text, error, [&](const std::string& entry, bool keepOnly) {
        const std::optional<std::string> value = valueOf(ToUpperAscii(entry));
        if (!value) return false;
        (keepOnly ? out.keepOnly : out.reject).push_back(*value);
        return true;
    });
    if (!ok) out = SpotFilterCriterion();
    return ok;
}

bool IsCallPatternByte(char c) { return IsAsciiUpper(c) || IsAsciiDigit(c) || c == '*' || c == '-' || c == '/'; }

std::optional<std::string> CallPattern(const std::string& entry)
{
    if (!std::all_of(entry.begin(), entry.end(), IsCallPatternByte)) return std::nullopt;
    if (std::none_of(entry.begin(), entry.end(), [](char c) { return IsAsciiAlnum(c); })) return std::nullopt;
    return entry;
}

std::optional<std::string> Continent(const std::string& entry)
{
    for (const char* continent : {"EU", "AF", "AS", "NA", "SA", "OC", "AN"})
        if (entry == continent) return entry;
    return std::nullopt;
}

bool IsWordByte(char c) { return c == '/' || IsAsciiDigit(c) || IsAsciiUpper(c); }

bool IsAllAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Words of letters, digits and slashes, without the slashes at their ends.
std::vector<std::string> SplitAsciiWords(std::string_view ascii)
{
    std::vector<std::string> words;
    words.reserve(8);
    size_t pos = 0;
    while (pos < ascii.size()) {
        while (pos < ascii.size() && !IsWordByte(AsciiToUpper(ascii[pos]))) ++pos;
        size_t end = pos;
        while (end < ascii.size() && IsWordByte(AsciiToUpper(ascii[end]))) ++end;
        std::string_view word = ascii.substr(pos, end - pos);
        while (!word.empty() && word.front() == '/') word.remove_prefix(1);
        while (!word.empty() && word.back() == '/') word.remove_suffix(1);
        if (!word.empty()) {
            std::string& upper = words.emplace_back(word);
            for (char& c : upper) c = AsciiToUpper(c);
        }
        pos = end;
    }
    return words;
}

} // namespace

bool ParseCallFilterText(const std::string& text, SpotFilterCriterion& out, std::string& error)
{
    return ParseTextCriterion(text, out, error, CallPattern);
}

bool ParseDxccFilterText(const std::string& text, SpotFilterCriterion& out, std::string& error,
                         const CCtyTable* table)
{
    const bool check = table && !table->Entities.empty();
    return ParseTextCriterion(text, out, error, [&](const std::string& entry) -> std::optional<std::string> {
        if (!check) return entry;
        const CtyEntity* entity = table->FindEntity(entry);
        if (!entity) return std::nullopt;
        return ToUpperAscii(entity->mainPrefix);
    });
}

bool ParseContinentFilterText(const std::string& text, SpotFilterCriterion& out, std::string& error)
{
    return ParseTextCriterion(text, out, error, Continent);
}

bool ParseFrequencyList(const std::string& text, FrequencyCriterion& out, std::string& error)
{
    out = FrequencyCriterion();
    const bool ok = ParseEntries(text, error, [&](const std::string& entry, bool keepOnly) {
        return ParseFrequencyEntry(entry, keepOnly ? out.keepOnly : out.reject);
    });
    if (!ok) out = FrequencyCriterion();
    return ok;
}

bool ParseFrequencyEntry(const std::string& entry, std::vector<FrequencyRange>& out)
{
    if (const BandPlanEntry* band = FindBand(entry)) {
        out.insert(out.end(), band->ranges.begin(), band->ranges.end());
        return true;
    }
    const size_t dash = entry.find('-');
    if (dash != std::string::npos) {
        if (entry.size() == 1 || entry.find('-', dash + 1) != std::string::npos) return false;
        FrequencyRange range{0, kHighestFrequency};
        const std::string low = entry.substr(0, dash);
        const std::string high = entry.substr(dash + 1);
        if (!low.empty() && !ParseFrequencyNumber(low, range.low)) return false;
        if (!high.empty() && !ParseFrequencyNumber(high, range.high)) return false;
        if (range.low > range.high) return false;
        out.push_back(range);
        return true;
    }
    double f = 0;
    if (!ParseFrequencyNumber(entry, f)) return false;
    out.push_back({f - 0.5 > 0 ? f - 0.5 : 0, f + 0.5});
    return true;
}

bool ParseFrequencyNumber(const std::string& text, double& kHz)
{
    const size_t point = text.find('.');
    const size_t integerDigits = point == std::string::npos ? text.size() : point;
    if (integerDigits < 1 || integerDigits > 9 || point + 1 == text.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (i != point && !IsAsciiDigit(text[i])) return false;
    const std::optional<double> value = ParseDouble(text);
    if (!value) return false;
    kHz = *value;
    return true;
}

std::vector<WordPhrase> ParseWordList(const std::string& text)
{
    static constexpr std::string_view kSkipped = " \t,;";
    static constexpr std::string_view kWordEnds = " \t,;\"";
    std::vector<WordPhrase> phrases;
    const std::string_view view = text;
    size_t pos = 0;
    while ((pos = view.find_first_not_of(kSkipped, pos)) != std::string_view::npos) {
        std::string_view phrase;
        if (view[pos] == '"') {
            const size_t close = std::min(view.find('"', pos + 1), view.size());
            phrase = view.substr(pos + 1, close - pos - 1);
            pos = std::min(close + 1, view.size());
        } else {
            const size_t end = std::min(view.find_first_of(kWordEnds, pos), view.size());
            phrase = view.substr(pos, end - pos);
            pos = end;
        }
        std::vector<std::string> words = SplitWords(std::string(phrase));
        if (!words.empty()) phrases.push_back(std::move(words));
    }
    return phrases;
}

std::vector<std::string> SplitWords(const std::string& text)
{
    return IsAllAscii(text) ? SplitAsciiWords(text) : SplitAsciiWords(TransliterateToAscii(text));
}

} // namespace kv
