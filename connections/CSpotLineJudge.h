#pragma once
// How the filter levels of one connection judge a received line: its own level, the global level of its
// type, the level of all connections, then the out-of-band switch. Both roads of a page ask the same judge,
// so the display and the forwarding always agree.
#include <string>

#include "connections/CConnectionSettings.h"
#include "connections/ClusterSoftware.h"
#include "spots/CCompiledSpotFilter.h"

namespace kv {

class CCtyTable;
struct GlobalSpotFilterLevels;

class CSpotLineJudge {
public:
    // levels may be null: no global level and both switches off.
    CSpotLineJudge(const CConnectionSettings& settings, const CCompiledSpotFilter& ownFilter,
                   const GlobalSpotFilterLevels* levels, ClusterSoftwareId software, const CCtyTable* table);

    // False when no level can reject anything, so that text needs no look line by line.
    bool FiltersApply() const;
    // line: UTF-8. A line that is not a spot is never rejected. reason, when given, receives the text shown.
    bool IsRejected(const std::string& line, std::u16string* reason) const;

    // The global level that applies to connections of a type.
    static int TypeLevel(ConnectionType type);

private:
    bool UsesSpotter() const { return settings_.Type != ConnectionCwSkimmer; }
    std::u16string LevelName(int index) const;

    const CConnectionSettings& settings_;
    const CCompiledSpotFilter& ownFilter_;
    const GlobalSpotFilterLevels* levels_;
    ClusterSoftwareId software_;
    const CCtyTable* table_;
};

} // namespace kv
