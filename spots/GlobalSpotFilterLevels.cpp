#include "spots/GlobalSpotFilterLevels.h"

#include "base/TextCatalog.h"
#include "spots/StringIds.h"

namespace kv {

std::u16string GetSpotFiltersSection(int level)
{
    switch (GlobalSpotFilterLevel(level)) {
    case GlobalSpotFilterLevel::TelnetConnections: return u"SpotFilters.Telnet";
    case GlobalSpotFilterLevel::CwSkimmerConnections: return u"SpotFilters.CWSkimmer";
    case GlobalSpotFilterLevel::DxSummitConnections: return u"SpotFilters.DXSummit";
    default: return u"SpotFilters";
    }
}

std::u16string GetSpotFilterLevelName(int level)
{
    const bool known = level >= 0 && level < kGlobalSpotFilterLevelCount;
    return LoadText(kIdsLevelAllConnections + unsigned(known ? level : 0));
}

bool GlobalLevelUsesSpotter(int level) { return level != int(GlobalSpotFilterLevel::CwSkimmerConnections); }

std::u16string GlobalSpotFilterLevels::CompileLevel(int level)
{
    std::u16string error;
    CCompiledSpotFilter filter;
    texts.at(size_t(level)).Compile(filter, GlobalLevelUsesSpotter(level), error);
    compiled.at(size_t(level)) = std::move(filter);
    return error;
}

} // namespace kv
