#include "spots/CSentSpotCache.h"

#include <algorithm>
#include <cstdio>

#include "base/Platform.h"
#include "spots/SpotLine.h"

namespace kv {

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
    for (auto it = spots_.begin(); it != spots_.end();) {
        std::erase_if(it->second, [now](const Entry& entry) { return IsExpired(entry, now); });
        it = it->second.empty() ? spots_.erase(it) : std::next(it);
    }
}

bool CSentSpotCache::CheckAndRecord(const std::string& line, const std::string& connection, std::string* sentBy,
                                    std::string* sentAt)
{
    SentSpotKey key;
    if (!ParseDxDeLine(line, key)) return false;
    const uint64_t now = clock_.TickCount();
    if (now - lastPurge_ >= kPurgeIntervalMs) PurgeExpired(now);

    std::vector<Entry>& entries = spots_[key.key];
    for (const Entry& entry : entries) {
        if (IsExpired(entry, now) || !IsSameComment(entry.comment, key.comment)) continue;
        if (sentBy) *sentBy = entry.connection;
        if (sentAt) *sentAt = entry.time;
        return true;
    }
    const UtcTime utc = clock_.NowUtc();
    char time[8];
    std::snprintf(time, sizeof time, "%02u:%02u", utc.hour % 100, utc.minute % 100);
    entries.push_back({std::move(key.comment), now, connection, time});
    return false;
}

} // namespace kv
