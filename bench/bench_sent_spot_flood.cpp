// The sent-spot store under a flood of spots that share one key (one spotter, frequency, DX call and minute;
// only the comments differ), with the store at its bound. The clock stands still, so nothing expires: the
// flood comes faster than any purge. Each run reports the heap the full store holds.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <map>
#include <memory>

#include "base/Platform.h"
#include "spots/CSentSpotCache.h"

using namespace kv;

namespace {

// Large blocks are mapped apart from the heap's arena.
size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

class StillClock : public IClock {
public:
    uint64_t TickCount() const override { return 1'000'000; }
    UtcTime NowUtc() const override { return {2026, 12, 8, 19, 28, 0, 0}; }
};

// Line n of a flood in which every hotEvery-th line is of the hot key (none for 0) and the others are
// distinct spots.
std::string FloodLine(unsigned n, unsigned hotEvery)
{
    char line[128];
    if (hotEvery != 0 && n % hotEvery == 0)
        std::snprintf(line, sizeof line, "DX de K8RQT: 14025.0 N4XJZ flood %08u 1234Z", n);
    else
        std::snprintf(line, sizeof line, "DX de K8RQT: %u.%u K%uX flood %08u 1234Z", 1800 + n % 50'000, n % 10, n,
                      n);
    return line;
}

struct Flood {
    StillClock clock;
    CSentSpotCache cache{clock};
    unsigned next = 0;
    double heapBytes = 0;
};

// Filled once per kind of flood; later runs go on with the same store.
Flood& FullStore(unsigned hotEvery)
{
    static std::map<unsigned, std::unique_ptr<Flood>> floods;
    std::unique_ptr<Flood>& flood = floods[hotEvery];
    if (!flood) {
        const size_t heapBefore = HeapInUse();
        flood = std::make_unique<Flood>();
        // Up to the bound, or through twice its number of lines when the flood cannot reach it.
        const size_t bound = CSentSpotCache::kMaxEntries;
        while (flood->cache.EntryCount() < bound && flood->next < 2 * bound)
            flood->cache.CheckAndRecord(FloodLine(flood->next++, hotEvery), "Node A", nullptr, nullptr);
        flood->heapBytes = double(HeapInUse() - heapBefore);
    }
    return *flood;
}

} // namespace

// Arg 1: every line of the hot key; arg 2: every second line, the others distinct spots that fill the store;
// arg 0: distinct spots only, for comparison.
static void BM_SentSpotCacheHotKeyFlood(benchmark::State& state)
{
    const unsigned hotEvery = unsigned(state.range(0));
    Flood& flood = FullStore(hotEvery);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            flood.cache.CheckAndRecord(FloodLine(flood.next++, hotEvery), "Node A", nullptr, nullptr));
    state.counters["entries"] = double(flood.cache.EntryCount());
    state.counters["keys"] = double(flood.cache.KeyCount());
    state.counters["heapMiB"] = flood.heapBytes / (1024 * 1024);
}
BENCHMARK(BM_SentSpotCacheHotKeyFlood)->Arg(1)->Arg(2)->Arg(0);
