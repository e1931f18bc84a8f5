#pragma once
// The spots already forwarded to the logger network in the last five minutes, by any connection, so that
// a spot arriving again through another cluster is withheld. User-interface thread only.
//
// Several hundred spots a second stay five minutes: the store keeps its keys in an open-addressing table
// and reuses the records of expired spots, so that checking a line costs no allocation in the steady state.
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

    explicit CSentSpotCache(const IClock& clock) : clock_(clock) {}

    // True when the line is a spot already forwarded (sentBy and sentAt, when given, receive the connection
    // and the "hh:mm" UTC time of the earlier one); false for a line without a key and for a new spot,
    // which is then recorded under the connection.
    bool CheckAndRecord(const std::string& line, const std::string& connection, std::string* sentBy,
                        std::string* sentAt);

    size_t KeyCount() const { return keyCount_; }
    size_t EntryCount() const { return order_.size(); }

private:
    struct Entry {
        std::string comment;
        uint64_t recorded = 0;
        std::string connection;
        std::string time;
    };
    // One key with its entries in the order they were recorded; a record without entries is free.
    struct Spot {
        std::string key;
        uint64_t hash = 0;
        std::vector<Entry> entries;
        size_t used = 0; // entries[0, used) are live; the others keep their memory for reuse
    };
    struct Slot {
        uint64_t hash = 0;
        uint32_t spot = 0; // index + 1 into spots_; 0 is an empty slot
    };
    struct Recorded {
        uint64_t at;
        uint32_t spot;
    };

    void PurgeExpired(uint64_t now);
    void DropOldest();
    static bool IsExpired(const Entry& entry, uint64_t now) { return now - entry.recorded > kLifeMs; }
    static bool IsSameComment(const std::string& a, const std::string& b);

    uint32_t FindOrAddSpot(const std::string& key, uint64_t hash);
    void RemoveSpot(uint32_t spot);
    void PlaceInSlots(Slot slot);
    void GrowSlots();

    const IClock& clock_;
    SentSpotKey scratch_; // reused for every line, so is its memory
    std::vector<Spot> spots_;
    std::vector<uint32_t> freeSpots_;
    std::vector<Slot> slots_; // power-of-two size, at most half full
    size_t keyCount_ = 0;
    // Every entry in the order of recording, so that a purge visits only the entries that expired.
    std::deque<Recorded> order_;
    uint64_t lastPurge_ = 0;
};

} // namespace kv
