// Reading a typical answer of the DX Summit service: 200 spots with the members the service sends beside
// the ones we read.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/Format.h"
#include "connections/DxSummitAnswer.h"

using namespace kv;

namespace {

std::string TypicalAnswer(int spots)
{
    std::string body = "[";
    for (int i = 0; i < spots; ++i) {
        if (i) body += ", ";
        body += FormatText(
            R"({"id": %d, "de_call": "%s", "dx_call": "%s", "frequency": %d.%d, "info": "%s", )"
            R"("time": "2026-12-07T%02d:%02d:%02d", "dx_country": "Fed. Rep. of Germany", "dx_lat": "51.0", )"
            R"("dx_lon": "10.0", "dx_cq_zone": 14, "dx_itu_zone": 28, "de_country": "United States", )"
            R"("band": "20m", "mode": "CW", "spotter_ip": null, "flags": [1, 2], "extra": {"source": "cluster"}})",
            41528000 + i, i % 3 ? "K8RQT" : "DL1ABC-@", i % 2 ? "N4XJZ" : "DL0ABC/P", 14000 + i % 350, i % 10,
            i % 4 ? "CQ TEST 599 UP 2" : "caf\\u00e9 \\u00fcber 73 tnx QSO", i % 24, i % 60, (i * 7) % 60);
    }
    return body + "]";
}

void ParseTypicalAnswer(benchmark::State& state)
{
    const std::string body = TypicalAnswer(200);
    std::vector<DxSummitSpot> spots;
    for (auto _ : state) {
        const bool ok = ParseDxSummitSpots(body, spots);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(spots.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(body.size()));
    state.counters["spots"] = double(spots.size());
}
BENCHMARK(ParseTypicalAnswer);

} // namespace
