#pragma once
// One filter level compiled from its texts, how it judges a parsed spot, and the evaluation of a list of
// levels (own connection, connection type, all connections).
#include <string>
#include <vector>

#include "spots/SpotFilterLists.h"
#include "spots/SpotLine.h"

namespace kv {

class CCtyTable;

enum class SpotFilterReason {
    None = 0,
    SpotterCall = 1,
    SpotterDxcc = 2,
    SpotterContinent = 3,
    Frequency = 4,
    DxCall = 5,
    DxDxcc = 6,
    DxContinent = 7,
    CommentWords = 8,
};

// What a call lookup gives the DXCC and continent criteria.
struct CallEntityInfo {
    bool found = false;
    std::string mainPrefix; // upper case
    std::string continent;
};

// What the levels of one evaluation share: the entity lookups of the spotter and the DX call and the words
// of the comment are made once, whatever the number of levels that need them.
struct SpotEvaluationCache {
    struct Call {
        bool prepared = false;
        bool looked = false;
        std::string upper; // as the call criteria compare it
        CallEntityInfo info;
    };
    Call spotter;
    Call dx;
    bool wordsSplit = false;
    std::vector<std::string> commentWords;
};

class CCompiledSpotFilter {
public:
    SpotFilterCriterion spotterCall;
    SpotFilterCriterion spotterDxcc;
    SpotFilterCriterion spotterContinent;
    FrequencyCriterion frequency;
    SpotFilterCriterion dxCall;
    SpotFilterCriterion dxDxcc;
    SpotFilterCriterion dxContinent;
    std::vector<WordPhrase> phrases;

    // The spotter lists count only when withSpotter is set.
    bool IsEmpty(bool withSpotter) const;
    // The first criterion that rejects, value the offending text (empty for comment words and when accepted).
    SpotFilterReason Evaluate(const SpotFields& fields, bool withSpotter, const CCtyTable* table,
                              std::string& value) const;
    SpotFilterReason Evaluate(const SpotFields& fields, bool withSpotter, const CCtyTable* table, std::string& value,
                              SpotEvaluationCache& cache) const;

private:
    SpotFilterReason EvaluateCallGroup(SpotEvaluationCache::Call& call, const SpotFilterCriterion& calls,
                                       const SpotFilterCriterion& dxcc, const SpotFilterCriterion& continents,
                                       const CCtyTable* table, SpotFilterReason first, std::string& value) const;
    bool CommentHasPhrase(const std::string& comment, SpotEvaluationCache& cache) const;
};

struct SpotFilterLevelEntry {
    const CCompiledSpotFilter* filter = nullptr;
    bool withSpotter = true;
};

// Index of the first level that rejects, or -1 with reason None and an empty value.
int EvaluateSpotFilterLevels(const std::vector<SpotFilterLevelEntry>& levels, const SpotFields& fields,
                             const CCtyTable* table, SpotFilterReason& reason, std::string& value);

// The spotter without one node suffix: "-@", "-#" or "-<digits>".
std::string NormalizeSpotterCall(const std::string& spotter);
// "*" stands for any run of characters, none included; the whole call must be covered.
bool MatchCallPattern(std::string_view pattern, std::string_view call);

std::u16string FormatFilterRejection(const std::u16string& levelName, SpotFilterReason reason,
                                     const std::u16string& value);
std::u16string FormatOutOfBandRejection(double frequencyKHz);

} // namespace kv
