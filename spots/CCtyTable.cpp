#include "spots/CCtyTable.h"

#include <cmath>
#include <limits>

#include "base/Ascii.h"

namespace kv {
namespace {

// Suffixes that tell where a station operates, not in which entity.
constexpr std::string_view kPortableDesignators[] = {"P",  "QRP", "M",  "MM", "A",  "AM", "KT",
                                                     "AG", "AA",  "AE", "LH", "R",  "T"};
constexpr unsigned kNoBest = 100;

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::vector<std::string_view> CutLines(std::string_view content)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < content.size()) {
        const char c = content[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(content.substr(start, i - start));
        i += (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < content.size()) lines.push_back(content.substr(start));
    return lines;
}

// The fields of a country line: the pieces before each ':'; text after the last ':' is not a field.
std::vector<std::string> CountryFields(std::string_view line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t colon; (colon = line.find(':', start)) != std::string_view::npos; start = colon + 1)
        fields.push_back(TrimSpaces(line.substr(start, colon - start)));
    return fields;
}

bool IsSkippedMainPrefix(const std::string& mainPrefix) { return mainPrefix == "0VER" || mainPrefix.starts_with('*'); }

bool IsPortableDesignator(std::string_view part)
{
    constexpr size_t kLongestDesignator = 3; // "QRP"; nearly every call is longer and needs no comparison
    if (part.size() > kLongestDesignator) return false;
    for (const std::string_view designator : kPortableDesignators)
        if (part == designator) return true;
    return false;
}

std::string NormalizeCall(std::string_view call)
{
    std::string out;
    out.reserve(call.size());
    for (const char c : call)
        if (!IsCSpace(c)) out.push_back(AsciiToUpper(c));
    return out;
}

// "W1ABC/4" is looked up as "W4ABC": the call area after the slash replaces the one in the call.
std::string ApplyCallAreaSuffix(const std::string& call)
{
    const size_t length = call.size();
    if (length <= 2 || call[length - 2] != '/' || !IsAsciiDigit(call[length - 1])) return call;
    const char area = call[length - 1];
    size_t longestRun = 0;
    for (size_t i = 1; i + 3 <= length;) {
        if (!IsAsciiDigit(call[i])) {
            ++i;
            continue;
        }
        size_t run = 0;
        while (i + 3 <= length && IsAsciiDigit(call[i])) ++run, ++i;
        longestRun = std::max(longestRun, run);
    }
    if (longestRun == 0) return call;
    std::string copy = call;
    if (longestRun == 2) {
        size_t last = length - 3;
        while (last > 0 && !IsAsciiDigit(copy[last])) --last;
        if (last == 0) return call;
        copy[last] = area;
    } else {
        size_t first = 1;
        while (!IsAsciiDigit(copy[first])) ++first;
        size_t end = first;
        while (end < copy.size() && IsAsciiDigit(copy[end])) ++end;
        copy.replace(first, end - first, 1, area);
    }
    copy.resize(std::min(copy.size(), length - 2));
    return copy;
}

size_t FindCloser(std::string_view text, size_t from, char closer)
{
    const size_t pos = text.find(closer, from);
    return pos == std::string_view::npos ? text.size() : pos;
}

} // namespace

std::shared_ptr<const CCtyTable>& CurrentCtyTable()
{
    static std::shared_ptr<const CCtyTable> current;
    return current;
}

std::string TrimSpaces(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsCSpace(text[begin])) ++begin;
    while (end > begin && IsCSpace(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

double ParseCtyNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    double value = 0;
    double scale = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && scale == 0) {
            scale = 0.1;
        } else if (IsAsciiDigit(c)) {
            if (scale == 0) {
                value = value * 10 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10;
            }
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

int CtyNumberToInt(double value)
{
    if (std::isnan(value)) return 0;
    const double truncated = std::trunc(value);
    if (truncated >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (truncated <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(truncated);
}

std::vector<std::string> SplitAny(std::string_view text, std::string_view delimiters)
{
    std::vector<std::string> pieces;
    size_t pos = 0;
    while ((pos = text.find_first_not_of(delimiters, pos)) != std::string_view::npos) {
        const size_t end = std::min(text.find_first_of(delimiters, pos), text.size());
        pieces.emplace_back(text.substr(pos, end - pos));
        pos = end;
    }
    return pieces;
}

void ApplyCtyOverrides(std::string_view overrides, CtyLookupResult& result)
{
    size_t i = 0;
    while (i < overrides.size()) {
        const char opener = overrides[i];
        char closer;
        switch (opener) {
        case '(': closer = ')'; break;
        case '[': closer = ']'; break;
        case '{': closer = '}'; break;
        case '<': closer = '>'; break;
        case '~': closer = '~'; break;
        default: ++i; continue;
        }
        const size_t close = FindCloser(overrides, i + 1, closer);
        const std::string_view content = overrides.substr(i + 1, close - i - 1);
        switch (opener) {
        case '(': result.cqZone = CtyNumberToInt(ParseCtyNumber(content)); break;
        case '[': result.ituZone = CtyNumberToInt(ParseCtyNumber(content)); break;
        case '{': result.continent = std::string(content.substr(0, 2)); break;
        case '<': {
            result.latitude = ParseCtyNumber(content);
            const size_t slash = content.find('/');
            if (slash != std::string_view::npos) result.longitude = ParseCtyNumber(content.substr(slash + 1));
            break;
        }
        default: result.utcOffset = ParseCtyNumber(content); break;
        }
        i = close + 1;
    }
}

void CCtyTable::Clear()
{
    Entities.clear();
    Prefixes.clear();
    ExactCalls.clear();
    MainPrefixes.clear();
    MaxPrefixLength = 0;
}

bool CCtyTable::Fail(size_t lineIndex, const std::string& message, std::string& error)
{
    Clear();
    error = "line " + std::to_string(lineIndex + 1) + ": " + message;
    return false;
}

bool CCtyTable::Parse(const std::string& content, std::string& error)
{
    Clear();
    error.clear();
    const std::vector<std::string_view> lines = CutLines(content);
    int pendingAdif = 0;
    for (size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (TrimSpaces(line).empty()) continue;
        if (line[0] == '#') {
            if (line.starts_with("# ADIF ")) pendingAdif = CtyNumberToInt(ParseCtyNumber(line.substr(7)));
            continue;
        }
        const std::vector<std::string> fields = CountryFields(line);
        if (fields.size() < 8 || fields[7].empty())
            return Fail(index, "country line expected (8 fields separated by ':')", error);

        const size_t countryLine = index;
        std::string prefixText;
        bool ended = false;
        while (!ended && ++index < lines.size()) {
            const std::string item = TrimSpaces(lines[index]);
            if (item.empty() || item[0] == '#') continue;
            prefixText += item;
            ended = item.back() == ';';
        }
        if (!ended) return Fail(countryLine, "';' missing at the end of the prefixes", error);

        const int adif = pendingAdif;
        pendingAdif = 0;
        if (IsSkippedMainPrefix(fields[7])) continue;

        CtyEntity entity;
        entity.name = fields[0];
        entity.mainPrefix = fields[7];
        entity.continent = ToUpperAscii(fields[3]).substr(0, 2);
        entity.cqZone = CtyNumberToInt(ParseCtyNumber(fields[1]));
        entity.ituZone = CtyNumberToInt(ParseCtyNumber(fields[2]));
        entity.latitude = ParseCtyNumber(fields[4]);
        entity.longitude = ParseCtyNumber(fields[5]);
        entity.utcOffset = ParseCtyNumber(fields[6]);
        entity.adifNumber = adif;
        const auto entityIndex = unsigned(Entities.size());
        MainPrefixes.TryEmplace(ToUpperAscii(entity.mainPrefix), entityIndex);
        Entities.push_back(std::move(entity));
        AddEntityPrefixes(prefixText, entityIndex);
    }
    if (Entities.empty()) return Fail(0, "no entity", error);
    return true;
}

void CCtyTable::AddEntityPrefixes(const std::string& prefixText, unsigned entity)
{
    for (const std::string& item : SplitAny(ToUpperAscii(prefixText), ",;")) {
        if (item.starts_with("=VER")) continue;
        const size_t overrideStart = std::min(item.find_first_of("({[<~"), item.size());
        std::string prefix = TrimSpaces(std::string_view(item).substr(0, overrideStart));
        if (prefix.empty()) continue;
        CtyPrefixEntry value{entity, item.substr(overrideStart)};
        if (prefix[0] == '=') {
            prefix.erase(0, 1);
            if (!prefix.empty()) ExactCalls.TryEmplace(std::move(prefix), std::move(value));
            continue;
        }
        MaxPrefixLength = std::max(MaxPrefixLength, unsigned(prefix.size()));
        Prefixes.InsertOrAssign(std::move(prefix), std::move(value));
    }
}

unsigned CCtyTable::ResolveCall(std::string_view call, const CtyPrefixEntry*& entry, std::string& matched) const
{
    entry = nullptr;
    matched.clear();
    if (call.empty()) return 0;
    // Exact calls first: the file lists KG4 calls that belong to other entities than the KG4 rule gives.
    if (const CtyPrefixEntry* exact = ExactCalls.Find(call)) {
        entry = exact;
        matched = call;
        return unsigned(call.size());
    }
    if (call.starts_with("KG4") && !call.starts_with("KG44") && (call.size() == 4 || call.size() == 6))
        return ResolveCall("K", entry, matched);
    const size_t longest = std::min<size_t>(MaxPrefixLength, call.size());
    thread_local std::vector<uint32_t> hashes;
    hashes.resize(longest + 1);
    hashes[0] = CtyKeyMap<CtyPrefixEntry>::kHashStart;
    for (size_t n = 1; n <= longest; ++n) hashes[n] = CtyKeyMap<CtyPrefixEntry>::HashStep(hashes[n - 1], call[n - 1]);
    for (size_t n = longest; n >= 1; --n) {
        if (const CtyPrefixEntry* prefix = Prefixes.Find(call.substr(0, n), hashes[n])) {
            entry = prefix;
            matched = call.substr(0, n);
            return unsigned(n);
        }
    }
    return 0;
}

bool CCtyTable::TakeEntry(const CtyPrefixEntry& entry, CtyLookupResult& result) const
{
    const CtyEntity& entity = Entities[entry.entity];
    result.entity = &entity;
    result.continent = entity.continent;
    result.cqZone = entity.cqZone;
    result.ituZone = entity.ituZone;
    result.latitude = entity.latitude;
    result.longitude = entity.longitude;
    result.utcOffset = entity.utcOffset;
    ApplyCtyOverrides(entry.overrides, result);
    return true;
}

bool CCtyTable::Lookup(const std::string& call, CtyLookupResult& result) const
{
    result = CtyLookupResult();
    const std::string normalized = NormalizeCall(call);
    if (normalized.empty() || Entities.empty()) return false;
    const size_t lastSlash = normalized.rfind('/');
    if (lastSlash != std::string::npos) {
        const std::string_view suffix = std::string_view(normalized).substr(lastSlash + 1);
        if (suffix == "MM" || suffix == "AM") return false;
    }

    const CtyPrefixEntry* entry = nullptr;
    std::string matched;
    const unsigned resolved = ResolveCall(normalized, entry, matched);
    if (resolved == normalized.size()) return TakeEntry(*entry, result);
    // Without a slash the call is the only part of the walk below, which would resolve it again: a portable
    // designator ("KT") is passed over there, and a part of kNoBest characters or more never becomes the best.
    if (lastSlash == std::string::npos) {
        if (resolved == 0 || IsPortableDesignator(normalized) || normalized.size() >= kNoBest) return false;
        return TakeEntry(*entry, result);
    }

    const std::vector<std::string> parts = SplitAny(ApplyCallAreaSuffix(normalized), "/");
    unsigned bestLength = kNoBest;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (i + 1 == parts.size() && IsPortableDesignator(part)) continue;
        if (ResolveCall(part, entry, matched) == 0) continue;
        if (matched.size() == part.size() && bestLength == kNoBest && part != normalized)
            return TakeEntry(*entry, result);
        if (part.size() < bestLength) {
            TakeEntry(*entry, result);
            bestLength = unsigned(part.size());
        }
    }
    if (bestLength != kNoBest) return true;
    result = CtyLookupResult();
    return false;
}

const CtyEntity* CCtyTable::FindEntity(const std::string& mainPrefix) const
{
    const unsigned* index = MainPrefixes.Find(ToUpperAscii(TrimSpaces(mainPrefix)));
    return index ? &Entities[*index] : nullptr;
}

} // namespace kv
