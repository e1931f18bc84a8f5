#pragma once
// The line under "Spot filters..." in the connection settings: the connection's own filters, the global
// levels that also apply to it, and a warning when every filter is switched off.
#include <array>
#include <string>

#include "connections/CConnectionSettings.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "spots/SpotFilterSet.h"

namespace kv {

std::u16string BuildConnectionFilterSummary(const SpotFilterSet& own, ConnectionType type,
                                            const std::array<SpotFilterSet, kGlobalSpotFilterLevelCount>& global,
                                            bool allFiltersDisabled);

// The global level of a connection type: Telnet, CW Skimmer or DX Summit connections.
int GlobalLevelOfType(ConnectionType type);

} // namespace kv
