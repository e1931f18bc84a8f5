#pragma once
// What the spot filters dialog says of its levels: their names and notes, which global levels apply after
// one, and the texts of the test scope. Portable, so that the rules are tested without a window.
#include <string>
#include <vector>

#include "app/ISpotFiltersHost.h"

namespace kv {

// For a connection the global level of its type, for a global level its own index.
int GetEffectiveLevel(const SpotFilterLevel& level);
// The spotter criteria mean nothing on a local CW Skimmer: every spot is its own.
bool LevelUsesSpotter(const SpotFilterLevel& level);
// At least one text that is not empty; the spotter texts count only when withSpotter is set.
bool HasFilterTexts(const SpotFilterSet& filters, bool withSpotter);

// The connection's name ("New connection" when empty) or the global level's name.
std::u16string GetLevelShortName(const SpotFilterLevel& level);
// The line of the level list: name, type, "being edited", and a mark when the level has filters.
std::u16string GetLevelDisplayText(const SpotFilterLevel& level);
// Which other levels also apply to the level at index, and what the switches change about it.
std::u16string BuildLevelNote(const std::vector<SpotFilterLevel>& levels, int index, bool allFiltersDisabled);

// The level at index, the global level of its type for a connection, then "All connections": the order in
// which a page applies them. Indexes into levels.
std::vector<int> GetTestChain(const std::vector<SpotFilterLevel>& levels, int index);
// "Tested: <names> (from the entry chosen upwards, with the values of this dialog)."
std::u16string BuildTestScope(const std::vector<SpotFilterLevel>& levels, const std::vector<int>& chain,
                              bool rejectOutOfBand);

// The level shown first: the first level of the kind asked for (the connection with that id, or the global
// level 0), or 0 when there is none.
int FindStartLevel(const std::vector<SpotFilterLevel>& levels, bool isConnection, int connectionId);

} // namespace kv
