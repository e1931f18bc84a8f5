#pragma once
// Lists of filter levels as the view hands them out: the four global levels, then the connections.
#include <string>
#include <vector>

#include "app/ISpotFiltersHost.h"

namespace kv::test {

inline SpotFilterLevel GlobalLevel(int index, SpotFilterSet filters = {})
{
    SpotFilterLevel level;
    level.LevelIndex = index;
    level.Filters = std::move(filters);
    return level;
}

inline SpotFilterLevel ConnectionLevel(int id, const std::u16string& name, ConnectionType type,
                                       SpotFilterSet filters = {})
{
    SpotFilterLevel level;
    level.IsConnection = true;
    level.ConnectionId = id;
    level.Name = name;
    level.Type = type;
    level.Filters = std::move(filters);
    return level;
}

// Globals 0..3 (indexes 0..3), then "Alpha" (Telnet, id 7, index 4), "Skimmer" (CW Skimmer, id 8, index 5)
// and "Web" (DX Summit, id 9, index 6).
inline std::vector<SpotFilterLevel> SampleLevels()
{
    return {GlobalLevel(0),
            GlobalLevel(1),
            GlobalLevel(2),
            GlobalLevel(3),
            ConnectionLevel(7, u"Alpha", ConnectionTelnet),
            ConnectionLevel(8, u"Skimmer", ConnectionCwSkimmer),
            ConnectionLevel(9, u"Web", ConnectionDxSummit)};
}

constexpr int kAllIndex = 0;
constexpr int kTelnetIndex = 1;
constexpr int kSkimmerGlobalIndex = 2;
constexpr int kAlphaIndex = 4;
constexpr int kSkimmerIndex = 5;
constexpr int kWebIndex = 6;

} // namespace kv::test
