#include "connections/CSpotLineJudge.h"

#include <vector>

#include "base/Utf.h"
#include "spots/BandPlan.h"
#include "spots/GlobalSpotFilterLevels.h"

namespace kv {

CSpotLineJudge::CSpotLineJudge(const CConnectionSettings& settings, const CCompiledSpotFilter& ownFilter,
                               const GlobalSpotFilterLevels* levels, ClusterSoftwareId software,
                               const CCtyTable* table)
    : settings_(settings), ownFilter_(ownFilter), levels_(levels), software_(software), table_(table)
{
}

int CSpotLineJudge::TypeLevel(ConnectionType type)
{
    switch (type) {
    case ConnectionCwSkimmer: return int(GlobalSpotFilterLevel::CwSkimmerConnections);
    case ConnectionDxSummit: return int(GlobalSpotFilterLevel::DxSummitConnections);
    default: return int(GlobalSpotFilterLevel::TelnetConnections);
    }
}

bool CSpotLineJudge::FiltersApply() const
{
    if (levels_ && levels_->allFiltersDisabled) return false;
    if (levels_ && levels_->rejectOutOfBand) return true;
    const bool spotter = UsesSpotter();
    if (!ownFilter_.IsEmpty(spotter)) return true;
    if (!levels_) return false;
    return !levels_->compiled[size_t(TypeLevel(settings_.Type))].IsEmpty(spotter) ||
           !levels_->compiled[size_t(GlobalSpotFilterLevel::AllConnections)].IsEmpty(spotter);
}

bool CSpotLineJudge::IsRejected(const std::string& line, std::u16string* reason) const
{
    if (levels_ && levels_->allFiltersDisabled) return false;
    SpotFields fields;
    if (!ParseSpotFields(line, software_ == ARCluster4, fields)) return false;

    const bool spotter = UsesSpotter();
    std::vector<SpotFilterLevelEntry> levels{{&ownFilter_, spotter}};
    if (levels_) {
        levels.push_back({&levels_->compiled[size_t(TypeLevel(settings_.Type))], spotter});
        levels.push_back({&levels_->compiled[size_t(GlobalSpotFilterLevel::AllConnections)], spotter});
    }
    SpotFilterReason code = SpotFilterReason::None;
    std::string value;
    const int index = EvaluateSpotFilterLevels(levels, fields, table_, code, value);
    if (index < 0) {
        if (!levels_ || !levels_->rejectOutOfBand || IsInAmateurBand(fields.frequency)) return false;
        if (reason) *reason = FormatOutOfBandRejection(fields.frequency);
        return true;
    }
    if (reason) *reason = FormatFilterRejection(LevelName(index), code, Utf8ToUtf16(value));
    return true;
}

std::u16string CSpotLineJudge::LevelName(int index) const
{
    if (index == 0) return settings_.Name;
    if (index == 1) return GetSpotFilterLevelName(TypeLevel(settings_.Type));
    return GetSpotFilterLevelName(int(GlobalSpotFilterLevel::AllConnections));
}

} // namespace kv
