#include "spots/CCompiledSpotFilter.h"

#include <algorithm>

#include "base/Ascii.h"
#include "base/Format.h"
#include "base/Numbers.h"
#include "base/TextCatalog.h"
#include "spots/CCtyTable.h"
#include "spots/StringIds.h"

namespace kv {
namespace {

// Entries and words are a few characters long: a plain loop beats a call of memcmp.
bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

bool Contains(const std::vector<std::string>& list, const std::string& value)
{
    return std::any_of(list.begin(), list.end(), [&value](const std::string& entry) { return SameText(entry, value); });
}

bool MatchesAny(const std::vector<std::string>& patterns, const std::string& call)
{
    return std::any_of(patterns.begin(), patterns.end(),
                       [&call](const std::string& pattern) { return MatchCallPattern(pattern, call); });
}

bool RejectsCall(const SpotFilterCriterion& criterion, const std::string& upperCall)
{
    if (!criterion.HasEntries()) return false;
    if (MatchesAny(criterion.reject, upperCall)) return true;
    return !criterion.keepOnly.empty() && !MatchesAny(criterion.keepOnly, upperCall);
}

// A call of unknown entity passes a list that only rejects, and fails a keep-only list.
bool RejectsText(const SpotFilterCriterion& criterion, bool known, const std::string& value)
{
    if (!criterion.HasEntries()) return false;
    if (!known) return !criterion.keepOnly.empty();
    if (Contains(criterion.reject, value)) return true;
    return !criterion.keepOnly.empty() && !Contains(criterion.keepOnly, value);
}

bool InAnyRange(const std::vector<FrequencyRange>& ranges, double f)
{
    return std::any_of(ranges.begin(), ranges.end(), [f](const FrequencyRange& r) { return IsInRange(r, f); });
}

CallEntityInfo LookUpEntity(const std::string& call, const CCtyTable* table)
{
    CallEntityInfo info;
    CtyLookupResult result;
    if (!table || table->Entities.empty() || !table->Lookup(call, result)) return info;
    info.found = true;
    info.mainPrefix = ToUpperAscii(result.entity->mainPrefix);
    info.continent = result.continent;
    return info;
}

SpotFilterReason Next(SpotFilterReason reason, int steps) { return SpotFilterReason(int(reason) + steps); }

bool ContainsPhrase(const std::vector<std::string>& words, const WordPhrase& phrase)
{
    if (phrase.size() > words.size()) return false;
    for (size_t start = 0; start + phrase.size() <= words.size(); ++start) {
        size_t n = 0;
        while (n < phrase.size() && SameText(words[start + n], phrase[n])) ++n;
        if (n == phrase.size()) return true;
    }
    return false;
}

} // namespace

bool MatchCallPattern(std::string_view pattern, std::string_view call)
{
    // The usual forms first: a whole call, a prefix ("DL*") and a suffix ("*/P").
    const size_t star = pattern.find('*');
    if (star == std::string_view::npos) return SameText(pattern, call);
    if (star + 1 == pattern.size() && pattern.size() - 1 <= call.size())
        return SameText(pattern.substr(0, star), call.substr(0, star));
    if (star == 0 && pattern.find('*', 1) == std::string_view::npos && pattern.size() - 1 <= call.size())
        return SameText(pattern.substr(1), call.substr(call.size() - (pattern.size() - 1)));

    size_t p = 0;
    size_t c = 0;
    size_t starPattern = std::string_view::npos;
    size_t starCall = 0;
    while (c < call.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starCall = c;
        } else if (p < pattern.size() && pattern[p] == call[c]) {
            ++p;
            ++c;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            c = ++starCall;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string NormalizeSpotterCall(const std::string& spotter)
{
    std::string call = ToUpperAscii(spotter);
    while (!call.empty() && (call.back() == ' ' || call.back() == '\t' || call.back() == '\r' || call.back() == '\n'))
        call.pop_back();
    const size_t dash = call.rfind('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == call.size()) return call;
    const std::string_view suffix = std::string_view(call).substr(dash + 1);
    const bool nodeSuffix = suffix == "@" || suffix == "#" || std::all_of(suffix.begin(), suffix.end(), [](char c) {
                                return IsAsciiDigit(c);
                            });
    if (nodeSuffix) call.resize(dash);
    return call;
}

bool CCompiledSpotFilter::IsEmpty(bool withSpotter) const
{
    if (withSpotter && (spotterCall.HasEntries() || spotterDxcc.HasEntries() || spotterContinent.HasEntries()))
        return false;
    return !frequency.HasEntries() && !dxCall.HasEntries() && !dxDxcc.HasEntries() && !dxContinent.HasEntries() &&
           phrases.empty();
}

SpotFilterReason CCompiledSpotFilter::EvaluateCallGroup(SpotEvaluationCache::Call& call,
                                                        const SpotFilterCriterion& calls,
                                                        const SpotFilterCriterion& dxcc,
                                                        const SpotFilterCriterion& continents,
                                                        const CCtyTable* table, SpotFilterReason first,
                                                        std::string& value) const
{
    if (RejectsCall(calls, call.upper)) {
        value = call.upper;
        return first;
    }
    if (!dxcc.HasEntries() && !continents.HasEntries()) return SpotFilterReason::None;
    if (!call.looked) {
        call.info = LookUpEntity(call.upper, table);
        call.looked = true;
    }
    const CallEntityInfo& info = call.info;
    if (RejectsText(dxcc, info.found, info.mainPrefix)) {
        value = info.found ? info.mainPrefix : "?";
        return Next(first, 1);
    }
    if (RejectsText(continents, info.found, info.continent)) {
        value = info.found ? info.continent : "?";
        return Next(first, 2);
    }
    return SpotFilterReason::None;
}

bool CCompiledSpotFilter::CommentHasPhrase(const std::string& comment, SpotEvaluationCache& cache) const
{
    if (!cache.wordsSplit) {
        cache.commentWords = SplitWords(comment);
        cache.wordsSplit = true;
    }
    const std::vector<std::string>& words = cache.commentWords;
    return std::any_of(phrases.begin(), phrases.end(),
                       [&words](const WordPhrase& phrase) { return ContainsPhrase(words, phrase); });
}

SpotFilterReason CCompiledSpotFilter::Evaluate(const SpotFields& fields, bool withSpotter, const CCtyTable* table,
                                               std::string& value) const
{
    SpotEvaluationCache cache;
    return Evaluate(fields, withSpotter, table, value, cache);
}

SpotFilterReason CCompiledSpotFilter::Evaluate(const SpotFields& fields, bool withSpotter, const CCtyTable* table,
                                               std::string& value, SpotEvaluationCache& cache) const
{
    value.clear();
    if (withSpotter && (spotterCall.HasEntries() || spotterDxcc.HasEntries() || spotterContinent.HasEntries())) {
        if (!cache.spotter.prepared) {
            cache.spotter.upper = NormalizeSpotterCall(fields.spotter);
            cache.spotter.prepared = true;
        }
        const SpotFilterReason reason = EvaluateCallGroup(cache.spotter, spotterCall, spotterDxcc, spotterContinent,
                                                          table, SpotFilterReason::SpotterCall, value);
        if (reason != SpotFilterReason::None) return reason;
    }
    const double f = fields.frequency;
    if (InAnyRange(frequency.reject, f) || (!frequency.keepOnly.empty() && !InAnyRange(frequency.keepOnly, f))) {
        value = FormatFixed(f, 1);
        return SpotFilterReason::Frequency;
    }
    if (!cache.dx.prepared) {
        cache.dx.upper = ToUpperAscii(fields.dxCall);
        cache.dx.prepared = true;
    }
    const SpotFilterReason reason =
        EvaluateCallGroup(cache.dx, dxCall, dxDxcc, dxContinent, table, SpotFilterReason::DxCall, value);
    if (reason != SpotFilterReason::None) return reason;
    if (!phrases.empty() && CommentHasPhrase(fields.comment, cache)) return SpotFilterReason::CommentWords;
    return SpotFilterReason::None;
}

int EvaluateSpotFilterLevels(const std::vector<SpotFilterLevelEntry>& levels, const SpotFields& fields,
                             const CCtyTable* table, SpotFilterReason& reason, std::string& value)
{
    SpotEvaluationCache cache;
    for (size_t i = 0; i < levels.size(); ++i) {
        const SpotFilterLevelEntry& level = levels[i];
        if (!level.filter || level.filter->IsEmpty(level.withSpotter)) continue;
        reason = level.filter->Evaluate(fields, level.withSpotter, table, value, cache);
        if (reason != SpotFilterReason::None) return int(i);
    }
    reason = SpotFilterReason::None;
    value.clear();
    return -1;
}

std::u16string FormatFilterRejection(const std::u16string& levelName, SpotFilterReason reason,
                                     const std::u16string& value)
{
    const int code = int(reason);
    const unsigned id = code >= 1 && code <= 7 ? kIdsReasonSpotterCall + unsigned(code - 1) : kIdsReasonCommentWords;
    std::u16string criterion = LoadText(id);
    if (!value.empty()) criterion += u" (" + value + u")";
    return FormatText(LoadText(kIdsRejectedBy), levelName, criterion);
}

std::u16string FormatOutOfBandRejection(double frequencyKHz)
{
    return FormatText(LoadText(kIdsRejectedOutOfBand), FormatFixed(frequencyKHz, 1));
}

} // namespace kv
