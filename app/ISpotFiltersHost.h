#pragma once
// The levels of spot filters as the spot filters dialog edits them, and the owner that hands them out and
// takes them back (the view).
#include <string>
#include <vector>

#include "connections/CConnectionSettings.h"
#include "connections/ClusterSoftware.h"
#include "spots/SpotFilterSet.h"

namespace kv {

// One level: one of the four global levels, or the level of one connection.
struct SpotFilterLevel {
    bool IsConnection = false;
    int LevelIndex = 0;   // 0..3 for a global level (all, Telnet, CW Skimmer, DX Summit); 0 for a connection
    int ConnectionId = 0; // 0 for a global level and for a connection not yet saved
    std::u16string Name;  // empty for a global level
    ConnectionType Type = ConnectionTelnet;
    bool BeingEdited = false; // its connection settings dialog is open and saves it on its own OK
    ClusterSoftwareId ClusterSoftware = Unknown;
    SpotFilterSet Filters;
    bool Modified = false;
};

class ISpotFiltersHost {
public:
    // The four global levels in index order, then one level per connection tab in tab order.
    virtual void GetSpotFilterLevels(std::vector<SpotFilterLevel>& levels) = 0;
    // Stores every level that is Modified and not BeingEdited.
    virtual void SetSpotFilterLevels(const std::vector<SpotFilterLevel>& levels) = 0;

protected:
    ~ISpotFiltersHost() = default;
};

} // namespace kv
