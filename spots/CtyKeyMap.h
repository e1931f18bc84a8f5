#pragma once
// The map behind the prefixes and exact calls of the country table: short text keys, probed many times per
// lookup (one probe per prefix length), so the probes are cheap: open addressing over a power-of-two table,
// the hash kept beside each slot, and hashes of all prefixes of a call computed in one pass.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

template <typename V> class CtyKeyMap {
public:
    struct Item {
        std::string key;
        V value;
    };
    using const_iterator = typename std::vector<Item>::const_iterator;

    static constexpr uint32_t kHashStart = 2166136261u;
    // FNV-1a, one character at a time, so that the hash of every prefix falls out of one walk.
    static constexpr uint32_t HashStep(uint32_t hash, char c) { return (hash ^ static_cast<unsigned char>(c)) * 16777619u; }
    static uint32_t Hash(std::string_view key)
    {
        uint32_t hash = kHashStart;
        for (const char c : key) hash = HashStep(hash, c);
        return hash;
    }

    const V* Find(std::string_view key) const { return Find(key, Hash(key)); }
    const V* Find(std::string_view key, uint32_t hash) const
    {
        if (slots_.empty()) return nullptr;
        for (size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
            const Slot& s = slots_[slot];
            if (s.item == 0) return nullptr;
            if (s.hash == hash && items_[s.item - 1].key == key) return &items_[s.item - 1].value;
        }
    }

    // The first definition of a key stays.
    bool TryEmplace(std::string key, V value)
    {
        const uint32_t hash = Hash(key);
        if (Find(key, hash)) return false;
        Add(std::move(key), std::move(value), hash);
        return true;
    }
    // A later definition replaces an earlier one.
    void InsertOrAssign(std::string key, V value)
    {
        const uint32_t hash = Hash(key);
        if (const V* existing = Find(key, hash)) {
            *const_cast<V*>(existing) = std::move(value);
            return;
        }
        Add(std::move(key), std::move(value), hash);
    }

    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    size_t count(std::string_view key) const { return Find(key) ? 1 : 0; }
    const V& at(std::string_view key) const
    {
        const V* value = Find(key);
        if (!value) throw std::out_of_range("no such key");
        return *value;
    }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }
    void clear()
    {
        items_.clear();
        slots_.clear();
        mask_ = 0;
    }

private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t item = 0; // index + 1; 0 is an empty slot
    };

    void Add(std::string key, V value, uint32_t hash)
    {
        if ((items_.size() + 1) * 2 > slots_.size()) Grow();
        items_.push_back({std::move(key), std::move(value)});
        Place({hash, uint32_t(items_.size())});
    }
    void Place(Slot entry)
    {
        size_t slot = entry.hash & mask_;
        while (slots_[slot].item != 0) slot = (slot + 1) & mask_;
        slots_[slot] = entry;
    }
    void Grow()
    {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(old.empty() ? 16 : old.size() * 2, Slot());
        mask_ = uint32_t(slots_.size() - 1);
        for (const Slot& s : old)
            if (s.item != 0) Place(s);
    }

    std::vector<Item> items_;
    std::vector<Slot> slots_;
    uint32_t mask_ = 0;
};

} // namespace kv
