#include "spots/CSentSpotCache.h"

#include <algorithm>
#include <functional>

#include "base/Platform.h"

namespace kv {
namespace {

uint64_t HashKey(const std::string& key) { return std::hash<std::string>{}(key); }

void FormatHourMinute(const UtcTime& utc, std::string& out)
{
    out = {char('0' + utc.hour / 10 % 10), char('0' + utc.hour % 10), ':', char('0' + utc.minute / 10 % 10),
           char('0' + utc.minute % 10)};
}

} // namespace

bool CSentSpotCache::IsSameComment(const std::string& a, const std::string& b)
{
    // Clusters cut comments at different lengths: the shorter must be a prefix of the longer.
    const std::string& shorter = a.size() <= b.size() ? a : b;
    const std::string& longer = a.size() <= b.size() ? b : a;
    return longer.compare(0, shorter.size(), shorter) == 0;
}

void CSentSpotCache::PlaceInSlots(Slot slot)
{
    const size_t mask = slots_.size() - 1;
    size_t i = slot.hash & mask;
    while (slots_[i].spot != 0) i = (i + 1) & mask;
    slots_[i] = slot;
}

void CSentSpotCache::GrowSlots()
{
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 1024 : old.size() * 2, Slot());
    for (const Slot& slot : old)
        if (slot.spot != 0) PlaceInSlots(slot);
}

uint32_t CSentSpotCache::FindOrAddSpot(const std::string& key, uint64_t hash)
{
    if (!slots_.empty()) {
        const size_t mask = slots_.size() - 1;
        for (size_t i = hash & mask; slots_[i].spot != 0; i = (i + 1) & mask)
            if (slots_[i].hash == hash && spots_[slots_[i].spot - 1].key == key) return slots_[i].spot;
    }
    if ((keyCount_ + 1) * 2 > slots_.size()) GrowSlots();
    uint32_t spot;
    if (!freeSpots_.empty()) {
        spot = freeSpots_.back();
        freeSpots_.pop_back();
    } else {
        spots_.emplace_back();
        spot = uint32_t(spots_.size());
    }
    Spot& record = spots_[spot - 1];
    record.key.assign(key);
    record.hash = hash;
    record.used = 0;
    PlaceInSlots({hash, spot});
    ++keyCount_;
    return spot;
}

void CSentSpotCache::RemoveSpot(uint32_t spot)
{
    // Linear probing: the slots after the removed one move back where their probe would find them.
    const size_t mask = slots_.size() - 1;
    size_t hole = spots_[spot - 1].hash & mask;
    while (slots_[hole].spot != spot) hole = (hole + 1) & mask;
    for (size_t next = (hole + 1) & mask; slots_[next].spot != 0; next = (next + 1) & mask) {
        const size_t home = slots_[next].hash & mask;
        const bool staysBehindHole = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (staysBehindHole) continue;
        slots_[hole] = slots_[next];
        hole = next;
    }
    slots_[hole] = Slot();
    freeSpots_.push_back(spot);
    --keyCount_;
}

void CSentSpotCache::PurgeExpired(uint64_t now)
{
    lastPurge_ = now;
    while (!order_.empty() && now - order_.front().at > kLifeMs) DropOldest();
}

void CSentSpotCache::DropOldest()
{
    // Entries are recorded in time order, so the oldest of a key is its first entry.
    Spot& record = spots_[order_.front().spot - 1];
    order_.pop_front();
    std::rotate(record.entries.begin(), record.entries.begin() + 1, record.entries.begin() + long(record.used));
    if (--record.used == 0) RemoveSpot(uint32_t(&record - spots_.data()) + 1);
}

bool CSentSpotCache::CheckAndRecord(const std::string& line, const std::string& connection, std::string* sentBy,
                                    std::string* sentAt)
{
    SentSpotKey& key = scratch_;
    if (!ParseDxDeLine(line, key)) return false;
    const uint64_t now = clock_.TickCount();
    if (now - lastPurge_ >= kPurgeIntervalMs) PurgeExpired(now);

    const uint32_t spot = FindOrAddSpot(key.key, HashKey(key.key));
    Spot& record = spots_[spot - 1];
    for (size_t i = 0; i < record.used; ++i) {
        const Entry& entry = record.entries[i];
        if (IsExpired(entry, now) || !IsSameComment(entry.comment, key.comment)) continue;
        if (sentBy) *sentBy = entry.connection;
        if (sentAt) *sentAt = entry.time;
        return true;
    }
    if (record.used == record.entries.size()) record.entries.emplace_back();
    Entry& entry = record.entries[record.used++];
    entry.comment.swap(key.comment);
    entry.recorded = now;
    entry.connection.assign(connection);
    FormatHourMinute(clock_.NowUtc(), entry.time);
    order_.push_back({now, spot});
    if (order_.size() > kMaxEntries) DropOldest();
    return false;
}

} // namespace kv
