#include "connections/CWithheldSpots.h"

#include <cmath>

#include "base/Format.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"

namespace kv {

namespace {

constexpr unsigned kIdsAlreadySent = 546;
constexpr unsigned kIdsAnotherConnection = 547;
constexpr double kSameFrequencyKHz = 0.05;

} // namespace

void CWithheldSpots::Record(const std::string& line, const std::string& by, const std::string& at, uint64_t now)
{
    Entry entry;
    if (!ParseDxDeSpotFields(line, entry.fields)) return;
    const std::u16string name = by.empty() ? LoadText(kIdsAnotherConnection) : Utf8ToUtf16(by);
    entry.reason = FormatText(LoadText(kIdsAlreadySent), name, Utf8ToUtf16(at));
    entry.time = now;
    records_.push_back(std::move(entry));
    while (records_.size() > kMaxRecords) records_.pop_front();
}

bool CWithheldSpots::TakeReason(const std::string& line, uint64_t now, std::u16string& reason)
{
    while (!records_.empty() && now - records_.front().time > kLifeMs) records_.pop_front();
    if (records_.empty()) return false;
    SpotFields fields;
    if (!ParseDxDeSpotFields(line, fields)) return false;
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if (it->fields.dxCall == fields.dxCall && it->fields.spotter == fields.spotter &&
            std::fabs(it->fields.frequency - fields.frequency) < kSameFrequencyKHz) {
            reason = std::move(it->reason);
            records_.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace kv
