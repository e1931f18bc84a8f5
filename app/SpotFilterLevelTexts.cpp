#include "app/SpotFilterLevelTexts.h"

#include "base/Format.h"
#include "base/TextCatalog.h"
#include "connections/CSpotLineJudge.h"
#include "spots/GlobalSpotFilterLevels.h"

namespace kv {

namespace {

std::u16string TypeName(ConnectionType type)
{
    switch (type) {
    case ConnectionCwSkimmer: return LoadText(534);
    case ConnectionDxSummit: return LoadText(535);
    default: return LoadText(533);
    }
}

int FindGlobalLevel(const std::vector<SpotFilterLevel>& levels, int levelIndex)
{
    for (size_t i = 0; i < levels.size(); ++i)
        if (!levels[i].IsConnection && levels[i].LevelIndex == levelIndex) return int(i);
    return -1;
}

bool IsAllConnections(const SpotFilterLevel& level)
{
    return !level.IsConnection && level.LevelIndex == int(GlobalSpotFilterLevel::AllConnections);
}

std::u16string JoinTexts(const std::vector<std::u16string>& parts, const std::u16string& separator)
{
    std::u16string joined;
    for (const std::u16string& part : parts) {
        if (!joined.empty()) joined += separator;
        joined += part;
    }
    return joined;
}

} // namespace

int GetEffectiveLevel(const SpotFilterLevel& level)
{
    return level.IsConnection ? CSpotLineJudge::TypeLevel(level.Type) : level.LevelIndex;
}

bool LevelUsesSpotter(const SpotFilterLevel& level) { return GlobalLevelUsesSpotter(GetEffectiveLevel(level)); }

bool HasFilterTexts(const SpotFilterSet& filters, bool withSpotter)
{
    for (const SpotFilterSet::KeyField& field : SpotFilterSet::kKeys) {
        const std::u16string& text = filters.*field.text;
        const bool spotterText = field.text == &SpotFilterSet::spotterCalls ||
                                 field.text == &SpotFilterSet::spotterDxcc ||
                                 field.text == &SpotFilterSet::spotterContinents;
        if (!text.empty() && (withSpotter || !spotterText)) return true;
    }
    return false;
}

std::u16string GetLevelShortName(const SpotFilterLevel& level)
{
    if (!level.IsConnection) return GetSpotFilterLevelName(level.LevelIndex);
    return level.Name.empty() ? LoadText(536) : level.Name;
}

std::u16string GetLevelDisplayText(const SpotFilterLevel& level)
{
    std::u16string text = level.IsConnection
                              ? FormatText(LoadText(level.BeingEdited ? 538 : 537), GetLevelShortName(level),
                                           TypeName(level.Type))
                              : GetSpotFilterLevelName(level.LevelIndex);
    if (HasFilterTexts(level.Filters, LevelUsesSpotter(level)))
        text += level.Filters.disabled ? LoadText(548) : std::u16string(u"  \u2022");
    return text;
}

std::u16string BuildLevelNote(const std::vector<SpotFilterLevel>& levels, int index, bool allFiltersDisabled)
{
    const SpotFilterLevel& level = levels.at(size_t(index));
    std::u16string note;
    if (IsAllConnections(level)) {
        note = LoadText(541);
    } else {
        const bool withSpotter = LevelUsesSpotter(level);
        std::vector<std::u16string> names;
        for (const SpotFilterLevel& candidate : levels) {
            if (candidate.IsConnection) continue;
            const bool applies = candidate.LevelIndex == int(GlobalSpotFilterLevel::AllConnections) ||
                                 (level.IsConnection && candidate.LevelIndex == GetEffectiveLevel(level));
            if (applies && !candidate.Filters.disabled && HasFilterTexts(candidate.Filters, withSpotter))
                names.push_back(GetSpotFilterLevelName(candidate.LevelIndex));
        }
        note = names.empty() ? LoadText(540) : FormatText(LoadText(539), JoinTexts(names, u", "));
    }
    if (level.BeingEdited) note += LoadText(542);
    if (allFiltersDisabled) note = LoadText(549) + note;
    return note;
}

std::vector<int> GetTestChain(const std::vector<SpotFilterLevel>& levels, int index)
{
    std::vector<int> chain{index};
    const SpotFilterLevel& level = levels.at(size_t(index));
    if (level.IsConnection) {
        const int typeLevel = FindGlobalLevel(levels, GetEffectiveLevel(level));
        if (typeLevel >= 0) chain.push_back(typeLevel);
    }
    if (!IsAllConnections(level)) {
        const int allLevel = FindGlobalLevel(levels, int(GlobalSpotFilterLevel::AllConnections));
        if (allLevel >= 0) chain.push_back(allLevel);
    }
    return chain;
}

std::u16string BuildTestScope(const std::vector<SpotFilterLevel>& levels, const std::vector<int>& chain,
                              bool rejectOutOfBand)
{
    std::vector<std::u16string> names;
    for (int index : chain) names.push_back(GetLevelShortName(levels.at(size_t(index))));
    if (rejectOutOfBand) names.push_back(LoadText(572));
    return FormatText(LoadText(558), JoinTexts(names, LoadText(557)));
}

int FindStartLevel(const std::vector<SpotFilterLevel>& levels, bool isConnection, int connectionId)
{
    for (size_t i = 0; i < levels.size(); ++i) {
        const SpotFilterLevel& level = levels[i];
        if (level.IsConnection != isConnection) continue;
        if (isConnection ? level.ConnectionId == connectionId : level.LevelIndex == 0) return int(i);
    }
    return 0;
}

} // namespace kv
