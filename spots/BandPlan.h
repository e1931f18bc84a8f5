#pragma once
// The built-in table of the amateur bands and the usual frequency groups, in kHz.
#include <string>
#include <vector>

namespace kv {

// Both limits belong to the range.
struct FrequencyRange {
    double low = 0;
    double high = 0;
    bool operator==(const FrequencyRange&) const = default;
};

struct BandPlanEntry {
    const char* name;
    std::vector<FrequencyRange> ranges;
    bool amateur; // false for the groups (LF, HF, WARC...)
};

const std::vector<BandPlanEntry>& GetBandPlan();
// Within 1e-6 kHz of an amateur band; NaN is in no band.
bool IsInAmateurBand(double frequencyKHz);
// The first row whose name equals the text without regard to ASCII case; nullptr when none.
const BandPlanEntry* FindBand(const std::string& name);

// low - 1e-6 <= f <= high + 1e-6.
inline bool IsInRange(const FrequencyRange& range, double frequencyKHz)
{
    constexpr double kTolerance = 1e-6;
    return range.low - kTolerance <= frequencyKHz && frequencyKHz <= range.high + kTolerance;
}

} // namespace kv
