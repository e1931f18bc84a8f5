// The road of a received spot line: parsing, the filter levels and the sent-spot store.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "base/Platform.h"
#include "spots/CCompiledSpotFilter.h"
#include "spots/CCtyTable.h"
#include "spots/CSentSpotCache.h"
#include "spots/SpotFilterSet.h"
#include "spots/SpotLine.h"

using namespace kv;

namespace {

const std::string kTypicalLine = "DX de W3LPL-#:    14025.0  DL1XYZ       CW 24 dB 27 WPM CQ             1928Z\x07\x07\r\n";

const CCtyTable& RealTable()
{
    static const CCtyTable table = [] {
        std::ifstream in("/usr/share/hamradio-files/cty.dat", std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        CCtyTable t;
        std::string error;
        t.Parse(content.str(), error);
        return t;
    }();
    return table;
}

CCompiledSpotFilter CompileLevel(const char16_t* words)
{
    SpotFilterSet set;
    set.spotterCalls = u"K1TTT* N1MM*, /W3LPL /DL* /K8RQT";
    set.spotterDxcc = u"JA BY UA9";
    set.spotterContinents = u"AN OC";
    set.frequencies = u"14074 7074 3573 /HF";
    set.dxCalls = u"*/MM */AM N4XJZ";
    set.dxDxcc = u"/DL /F /K /G /I /EA";
    set.dxContinents = u"/EU /NA";
    set.words = words;
    CCompiledSpotFilter filter;
    std::u16string error;
    set.Compile(filter, true, error);
    return filter;
}

class SteppingClock : public IClock {
public:
    uint64_t now = 1;
    uint64_t TickCount() const override { return now; }
    UtcTime NowUtc() const override { return {2026, 12, 8, 19, 28, 0, 0}; }
};

// A different spot for every n (its DX call holds n), from several spotters.
std::string SpotLine(unsigned n)
{
    static const char* const spotters[] = {"W3LPL-#", "DL1XYZ-2", "K8RQT", "VE3EY-#", "JA1ABC"};
    char line[128];
    std::snprintf(line, sizeof line, "DX de %s: %u.%u K%uX CW %u dB 27 WPM CQ %02u%02uZ", spotters[n % 5],
                  7000 + n % 7000, n % 10, n, n % 40, n / 18000 % 24, n / 300 % 60);
    return line;
}

} // namespace

static void BM_ParseDxDeSpotFields(benchmark::State& state)
{
    SpotFields fields;
    for (auto _ : state) benchmark::DoNotOptimize(ParseDxDeSpotFields(kTypicalLine, fields));
}
BENCHMARK(BM_ParseDxDeSpotFields);

static void BM_ParseDxDeLine(benchmark::State& state)
{
    SentSpotKey key;
    for (auto _ : state) benchmark::DoNotOptimize(ParseDxDeLine(kTypicalLine, key));
}
BENCHMARK(BM_ParseDxDeLine);

// Three levels that use every criterion and all accept, so that each criterion is evaluated.
static void BM_EvaluateSpotFilterLevels(benchmark::State& state)
{
    const CCompiledSpotFilter own = CompileLevel(u"QRT, \"CQ TEST\"");
    const CCompiledSpotFilter type = CompileLevel(u"PIRATE \"UP 5\"");
    const CCompiledSpotFilter all = CompileLevel(u"\"NOT HEARD\" QRX");
    const std::vector<SpotFilterLevelEntry> levels{{&own, true}, {&type, true}, {&all, true}};
    SpotFields fields;
    ParseDxDeSpotFields(kTypicalLine, fields);
    const CCtyTable* table = &RealTable();
    SpotFilterReason reason;
    std::string value;
    for (auto _ : state) benchmark::DoNotOptimize(EvaluateSpotFilterLevels(levels, fields, table, reason, value));
    if (reason != SpotFilterReason::None) state.SkipWithError("the spot was rejected");
}
BENCHMARK(BM_EvaluateSpotFilterLevels);

// Five minutes of spots at 300 spots per second are held while new ones arrive at that rate.
static void BM_SentSpotCacheCheckAndRecord(benchmark::State& state)
{
    constexpr unsigned kSpotsPerSecond = 300;
    constexpr unsigned kHeld = kSpotsPerSecond * 300;
    std::vector<std::string> lines;
    // Lines come round again only after their entries expired.
    for (unsigned n = 0; n < kHeld * 2 + kHeld / 4; ++n) lines.push_back(SpotLine(n));
    SteppingClock clock;
    CSentSpotCache cache(clock);
    unsigned n = 0;
    const auto next = [&] {
        clock.now = 1 + uint64_t(n) * 1000 / kSpotsPerSecond;
        return cache.CheckAndRecord(lines[n++ % lines.size()], "Node A", nullptr, nullptr);
    };
    for (unsigned i = 0; i < kHeld; ++i) next();
    for (auto _ : state) benchmark::DoNotOptimize(next());
    state.counters["held"] = double(cache.KeyCount());
}
BENCHMARK(BM_SentSpotCacheCheckAndRecord);

// The parsing part of the above, on the same lines.
static void BM_ParseDxDeLineOfManySpots(benchmark::State& state)
{
    std::vector<std::string> lines;
    for (unsigned n = 0; n < 4096; ++n) lines.push_back(SpotLine(n));
    SentSpotKey key;
    size_t n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ParseDxDeLine(lines[n++ % lines.size()], key));
}
BENCHMARK(BM_ParseDxDeLineOfManySpots);
