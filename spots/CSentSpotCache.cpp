#include "spots/CSentSpotCache.h"

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

uint32_t CSentSpotCache::FindSpot(const std::string& key, uint64_t hash) const
{
    if (slots_.empty()) return 0;
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask; slots_[i].spot != 0; i = (i + 1) & mask)
        if (slots_[i].hash == hash && spots_[slots_[i].spot - 1].key == key) return slots_[i].spot;
    return 0;
}

uint32_t CSentSpotCache::AddSpot(const std::string& key, uint64_t hash)
{
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
    while (oldest_ != 0 && IsExpired(entries_[oldest_ - 1], now)) DropOldest();
}

uint32_t CSentSpotCache::NewEntry()
{
    if (freeEntries_.empty()) {
        entries_.emplace_back();
        return uint32_t(entries_.size());
    }
    const uint32_t entry = freeEntries_.back();
    freeEntries_.pop_back();
    return entry;
}

void CSentSpotCache::Record(uint32_t spot, SentSpotKey& key, const std::string& connection, uint64_t now)
{
    const uint32_t index = NewEntry();
    Entry& entry = entries_[index - 1];
    entry.comment.swap(key.comment);
    entry.recorded = now;
    entry.connection.assign(connection);
    FormatHourMinute(clock_.NowUtc(), entry.time);
    entry.spot = spot;
    entry.newerOfKey = 0;
    entry.older = newest_;
    entry.newer = 0;
    (newest_ != 0 ? entries_[newest_ - 1].newer : oldest_) = index;
    newest_ = index;

    Spot& record = spots_[spot - 1];
    (record.newest != 0 ? entries_[record.newest - 1].newerOfKey : record.oldest) = index;
    record.newest = index;
    ++record.count;
    ++entryCount_;
}

void CSentSpotCache::DropOldestOf(uint32_t spot)
{
    Spot& record = spots_[spot - 1];
    const uint32_t index = record.oldest;
    const Entry& entry = entries_[index - 1];
    (entry.older != 0 ? entries_[entry.older - 1].newer : oldest_) = entry.newer;
    (entry.newer != 0 ? entries_[entry.newer - 1].older : newest_) = entry.older;
    record.oldest = entry.newerOfKey;
    if (record.oldest == 0) record.newest = 0;
    freeEntries_.push_back(index);
    --entryCount_;
    if (--record.count == 0) RemoveSpot(spot);
}

bool CSentSpotCache::CheckAndRecord(const std::string& line, const std::string& connection, std::string* sentBy,
                                    std::string* sentAt)
{
    SentSpotKey& key = scratch_;
    if (!ParseDxDeLine(line, key)) return false;
    const uint64_t now = clock_.TickCount();
    if (now - lastPurge_ >= kPurgeIntervalMs) PurgeExpired(now);

    const uint64_t hash = HashKey(key.key);
    uint32_t spot = FindSpot(key.key, hash);
    if (spot == 0) spot = AddSpot(key.key, hash);
    for (uint32_t i = spots_[spot - 1].oldest; i != 0; i = entries_[i - 1].newerOfKey) {
        const Entry& entry = entries_[i - 1];
        if (IsExpired(entry, now) || !IsSameComment(entry.comment, key.comment)) continue;
        if (sentBy) *sentBy = entry.connection;
        if (sentAt) *sentAt = entry.time;
        return true;
    }
    // The key keeps entries after dropping its oldest, so its record stays.
    if (spots_[spot - 1].count == kMaxEntriesPerKey) DropOldestOf(spot);
    Record(spot, key, connection, now);
    if (entryCount_ > kMaxEntries) DropOldest();
    return false;
}

size_t CSentSpotCache::EntryCountOfKey(const std::string& line) const
{
    SentSpotKey key;
    if (!ParseDxDeLine(line, key)) return 0;
    const uint32_t spot = FindSpot(key.key, HashKey(key.key));
    return spot == 0 ? 0 : spots_[spot - 1].count;
}

} // namespace kv
