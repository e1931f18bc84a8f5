#include "spots/CSentSpotCache.h"


#include "base/Platform.h"
#include "spots/SpotLine.h"

namespace kv {
namespace {

// "hh:mm"
std::string FormatHourMinute(const UtcTime& utc)
{
    const auto twoDigits = [](unsigned n) { return std::string{char('0' + n / 10 % 10), char('0' + n % 10)}; };
    return twoDigits(utc.hour) + ':' + twoDigits(utc.minute);
}

} // namespace

bool CSentSpotCache::IsSameComment(const std::string& a, const std::string& b)
{
    // Clusters cut comments at different lengths: the shorter must be a prefix of the longer.
    const std::string& shorter = a.size() <= b.size() ? a : b;
    const std::string& longer = a.size() <= b.size() ? b : a;
    return longer.compare(0, shorter.size(), shorter) == 0;
}

void CSentSpotCache::PurgeExpired(uint64_t now)
{
    lastPurge_ = now;
    // Entries are recorded in time order, so the oldest of each key is the first of its vector.
    while (!order_.empty() && now - order_.front().at > kLifeMs) {
        Spots::value_type* spot = order_.front().spot;
        order_.pop_front();
        spot->second.erase(spot->second.begin());
        if (spot->second.empty()) spots_.erase(spots_.find(spot->first));
    }
}

bool CSentSpotCache::CheckAndRecord(const std::string& line, const std::string& connection, std::string* sentBy,
                                    std::string* sentAt)
{
    SentSpotKey key;
    if (!ParseDxDeLine(line, key)) return false;
    const uint64_t now = clock_.TickCount();
    if (now - lastPurge_ >= kPurgeIntervalMs) PurgeExpired(now);

    Spots::value_type& spot = *spots_.try_emplace(std::move(key.key)).first;
    std::vector<Entry>& entries = spot.second;
    for (const Entry& entry : entries) {
        if (IsExpired(entry, now) || !IsSameComment(entry.comment, key.comment)) continue;
        if (sentBy) *sentBy = entry.connection;
        if (sentAt) *sentAt = entry.time;
        return true;
    }
    entries.push_back({std::move(key.comment), now, connection, FormatHourMinute(clock_.NowUtc())});
    order_.push_back({now, &spot});
    return false;
}

} // namespace kv
