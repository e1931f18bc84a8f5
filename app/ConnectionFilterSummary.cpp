#include "app/ConnectionFilterSummary.h"

#include "base/Format.h"
#include "base/TextCatalog.h"

namespace kv {
namespace {

bool HasTexts(const SpotFilterSet& set, bool withSpotter)
{
    for (const SpotFilterSet::KeyField& field : SpotFilterSet::kKeys) {
        const bool spotterText = field.text == &SpotFilterSet::spotterCalls || field.text == &SpotFilterSet::spotterDxcc ||
                                 field.text == &SpotFilterSet::spotterContinents;
        if ((withSpotter || !spotterText) && !(set.*field.text).empty()) return true;
    }
    return false;
}

} // namespace

int GlobalLevelOfType(ConnectionType type)
{
    switch (type) {
    case ConnectionCwSkimmer: return int(GlobalSpotFilterLevel::CwSkimmerConnections);
    case ConnectionDxSummit: return int(GlobalSpotFilterLevel::DxSummitConnections);
    default: return int(GlobalSpotFilterLevel::TelnetConnections);
    }
}

std::u16string BuildConnectionFilterSummary(const SpotFilterSet& own, ConnectionType type,
                                            const std::array<SpotFilterSet, kGlobalSpotFilterLevelCount>& global,
                                            bool allFiltersDisabled)
{
    const bool withSpotter = type != ConnectionCwSkimmer;
    std::u16string text = own.GetSummary(withSpotter);
    std::u16string also;
    for (int level : {GlobalLevelOfType(type), int(GlobalSpotFilterLevel::AllConnections)}) {
        const SpotFilterSet& set = global[size_t(level)];
        if (set.disabled || !HasTexts(set, withSpotter)) continue;
        if (!also.empty()) also += u", ";
        also += GetSpotFilterLevelName(level);
    }
    if (!also.empty()) text = FormatText(LoadText(545), text, also);
    if (allFiltersDisabled) text = LoadText(549) + text;
    return text;
}

} // namespace kv
