#include "spots/GlobalSpotFilterLevels.h"

#include "win/IniFile.h"

namespace kv {

void LoadGlobalSpotFilterLevels(const CIniFile& ini, GlobalSpotFilterLevels& levels)
{
    levels.startupErrors.clear();
    for (int level = 0; level < kGlobalSpotFilterLevelCount; ++level) {
        levels.texts[size_t(level)].Load(ini, GetSpotFiltersSection(level));
        const std::u16string error = levels.CompileLevel(level);
        if (!error.empty()) levels.startupErrors.push_back(GetSpotFilterLevelName(level) + u": " + error);
    }
    const std::u16string section = GetSpotFiltersSection(int(GlobalSpotFilterLevel::AllConnections));
    levels.allFiltersDisabled = ini.ReadInteger(section, u"AllFiltersDisabled").value_or(0) != 0;
    levels.rejectOutOfBand = ini.ReadInteger(section, u"RejectOutOfBand").value_or(1) != 0;
}

} // namespace kv
