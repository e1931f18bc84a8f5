#pragma once
// The spots already forwarded to the logger network in the last five minutes, by any connection, so that
// a spot arriving again through another cluster is withheld. User-interface thread only.
//
// Several hundred spots a second stay five minutes: the store keeps its keys in an open-addressing table
// and reuses the records of expired spots, so that checking a line costs no allocation in the steady state.
// Entries are linked in the order of recording, both per key and all together, so that forgetting one
// never walks or moves the others.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "spots/SpotLine.h"

namespace kv {

class IClock;

class CSentSpotCache {
public:
    static constexpr uint64_t kPurgeIntervalMs = 30'000;
    static constexpr uint64_t kLifeMs = 300'000;
    // Far above five minutes of the busiest real traffic; beyond it, as in a flood of distinct spot lines,
    // the oldest spots are forgotten first.
    static constexpr size_t kMaxEntries = 200'000;
    // A key holds one spotter, a DX call, a frequency to 100 Hz and a minute; beyond the prefix rule its
    // comments differ only a few times in real traffic. In a flood of one key the oldest of it goes first.
    static constexpr size_t kMaxEntriesPerKey = 16;

    explicit CSentSpotCache(const IClock& clock) : clock_(clock) {}

    // True when the line is a spot already forwarded (sentBy and sentAt, when given, receive the connection
    // and the "hh:mm" UTC time of the earlier one); false for a line without a key and for a new spot,
    // which is then recorded under the connection.
    bool CheckAndRecord(const std::string& line, const std::string& connection, std::string* sentBy,
                        std::string* sentAt);

    size_t KeyCount() const { return keyCount_; }
    size_t EntryCount() const { return entryCount_; }
    // The entries held under the key of the line, expired or not; 0 for a line without a key.
    size_t EntryCountOfKey(const std::string& line) const;

private:
    // Indexes into entries_ and spots_ count from 1; 0 links nothing.
    struct Entry {
        std::string comment;
        uint64_t recorded = 0;
        std::string connection;
        std::string time;
        uint32_t spot = 0;       // the key it is recorded under
        uint32_t newerOfKey = 0; // the next entry recorded under the same key
        uint32_t older = 0;      // the neighbours in the order of recording, all keys together
        uint32_t newer = 0;
    };
    // One key with its entries, linked oldest first; a record without entries is free.
    struct Spot {
        std::string key;
        uint64_t hash = 0;
        uint32_t oldest = 0;
        uint32_t newest = 0;
        size_t count = 0;
    };
    struct Slot {
        uint64_t hash = 0;
        uint32_t spot = 0; // 0 is an empty slot
    };

    void PurgeExpired(uint64_t now);
    // Entries are recorded in time order, so the oldest of all is also the oldest of its key.
    void DropOldest() { DropOldestOf(entries_[oldest_ - 1].spot); }
    void DropOldestOf(uint32_t spot);
    void Record(uint32_t spot, SentSpotKey& key, const std::string& connection, uint64_t now);
    uint32_t NewEntry();
    static bool IsExpired(const Entry& entry, uint64_t now) { return now - entry.recorded > kLifeMs; }
    static bool IsSameComment(const std::string& a, const std::string& b);

    uint32_t FindSpot(const std::string& key, uint64_t hash) const;
    uint32_t AddSpot(const std::string& key, uint64_t hash);
    void RemoveSpot(uint32_t spot);
    void PlaceInSlots(Slot slot);
    void GrowSlots();

    const IClock& clock_;
    SentSpotKey scratch_; // reused for every line, so is its memory
    std::vector<Spot> spots_;
    std::vector<uint32_t> freeSpots_;
    std::vector<Slot> slots_; // power-of-two size, at most half full
    size_t keyCount_ = 0;
    std::deque<Entry> entries_; // grows without moving what it holds, and without room to spare
    std::vector<uint32_t> freeEntries_;
    size_t entryCount_ = 0;
    // The ends of the order of recording: a purge visits only the entries that expired.
    uint32_t oldest_ = 0;
    uint32_t newest_ = 0;
    uint64_t lastPurge_ = 0;
};

} // namespace kv
