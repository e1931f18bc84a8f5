#pragma once
// The four global filter levels (all connections, Telnet, CW Skimmer, DX Summit) with the two global
// switches, as the application object holds them, and their settings sections.
#include <array>
#include <string>
#include <vector>

#include "spots/CCompiledSpotFilter.h"
#include "spots/SpotFilterSet.h"

namespace kv {

class CIniFile;

enum class GlobalSpotFilterLevel { AllConnections = 0, TelnetConnections = 1, CwSkimmerConnections = 2, DxSummitConnections = 3 };
constexpr int kGlobalSpotFilterLevelCount = 4;

struct GlobalSpotFilterLevels {
    std::array<SpotFilterSet, kGlobalSpotFilterLevelCount> texts;
    std::array<CCompiledSpotFilter, kGlobalSpotFilterLevelCount> compiled;
    bool allFiltersDisabled = false;
    bool rejectOutOfBand = true;
    // One line per level whose texts hold a wrong entry, e.g. "CW Skimmer connections: //F".
    std::vector<std::u16string> startupErrors;

    // Compiles the texts of one level into its slot; the wrong entry, or empty.
    std::u16string CompileLevel(int level);
};

// "SpotFilters" for level 0 and any unknown level; "SpotFilters.Telnet", ".CWSkimmer", ".DXSummit" for 1 to 3.
std::u16string GetSpotFiltersSection(int level);
// "All connections", "Telnet connections", "CW Skimmer connections", "DX Summit connections".
std::u16string GetSpotFilterLevelName(int level);
// The spotter criteria do not apply to the CW Skimmer level: its spots are all spotted by the skimmer.
bool GlobalLevelUsesSpotter(int level);

// Loads and compiles the four levels and reads the two switches of [SpotFilters]. Windows only.
void LoadGlobalSpotFilterLevels(const CIniFile& ini, GlobalSpotFilterLevels& levels);

} // namespace kv
