#include "spots/BandPlan.h"

#include "base/Ascii.h"

namespace kv {
namespace {

std::vector<BandPlanEntry> MakeBandPlan()
{
    return {
        {"2200m", {{135.7, 137.8}}, true},
        {"630m", {{472, 479}}, true},
        {"160m", {{1800, 2000}}, true},
        {"80m", {{3500, 4000}}, true},
        {"60m", {{5167.5, 5407}}, true},
        {"40m", {{7000, 7300}}, true},
        {"30m", {{10100, 10150}}, true},
        {"20m", {{14000, 14350}}, true},
        {"17m", {{18068, 18168}}, true},
        {"15m", {{21000, 21450}}, true},
        {"12m", {{24890, 24990}}, true},
        {"10m", {{28000, 29700}}, true},
        {"8m", {{40000, 40700}}, true},
        {"6m", {{50000, 54000}}, true},
        {"5m", {{58000, 60100}}, true},
        {"4m", {{70000, 70500}}, true},
        {"2m", {{144000, 148000}}, true},
        {"1.25m", {{219000, 225000}}, true},
        {"70cm", {{420000, 450000}}, true},
        {"33cm", {{902000, 928000}}, true},
        {"23cm", {{1240000, 1300000}}, true},
        {"13cm", {{2300000, 2450000}}, true},
        {"9cm", {{3300000, 3500000}}, true},
        {"6cm", {{5650000, 5925000}}, true},
        {"3cm", {{10000000, 10500000}}, true},
        {"12mm", {{24000000, 24250000}}, true},
        {"6mm", {{47000000, 47200000}}, true},
        {"4mm", {{76000000, 81500000}}, true},
        {"2.5mm", {{122250000, 123000000}}, true},
        {"2mm", {{134000000, 141000000}}, true},
        {"1mm", {{241000000, 250000000}}, true},
        {"LF", {{0, 1500}}, false},
        {"HF", {{1500, 30000}}, false},
        {"VHF", {{30000, 300000}}, false},
        {"UHF", {{300000, 3000000}}, false},
        {"SHF", {{3000000, 30000000}}, false},
        {"EHF", {{30000000, 300000000}}, false},
        {"VHF+", {{30000, 1e12}}, false},
        {"WARC", {{10100, 10150}, {18068, 18168}, {24890, 24990}}, false},
    };
}

} // namespace

const std::vector<BandPlanEntry>& GetBandPlan()
{
    static const std::vector<BandPlanEntry> plan = MakeBandPlan();
    return plan;
}

bool IsInAmateurBand(double frequencyKHz)
{
    for (const BandPlanEntry& entry : GetBandPlan()) {
        if (!entry.amateur) continue;
        for (const FrequencyRange& range : entry.ranges)
            if (IsInRange(range, frequencyKHz)) return true;
    }
    return false;
}

const BandPlanEntry* FindBand(const std::string& name)
{
    for (const BandPlanEntry& entry : GetBandPlan())
        if (EqualsIgnoreCaseAscii(std::string_view(entry.name), std::string_view(name))) return &entry;
    return nullptr;
}

} // namespace kv
