// Loading Debian's real country file and looking calls up in it.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "spots/CCtyTable.h"

using namespace kv;

namespace {

const char kCtyDat[] = "/usr/share/hamradio-files/cty.dat";

std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace

// Reading the file and parsing it into a new table, as the loader does.
static void BM_LoadRealCtyDat(benchmark::State& state)
{
    for (auto _ : state) {
        CCtyTable table;
        std::string error;
        benchmark::DoNotOptimize(table.Parse(ReadFile(kCtyDat), error));
    }
    state.SetLabel("cty.dat");
}
BENCHMARK(BM_LoadRealCtyDat)->Unit(benchmark::kMillisecond);

static void BM_CtyLookup(benchmark::State& state)
{
    CCtyTable table;
    std::string error;
    table.Parse(ReadFile(kCtyDat), error);
    const std::vector<std::string> calls{"DL1XYZ", "W1ABC/4", "KG4BKW", "VP2EAB", "JA1ABC/P", "DL/W1ABC", "KH6ABC",
                                         "UA9ABC", "F5ABC", "OH0XX"};
    size_t i = 0;
    CtyLookupResult result;
    for (auto _ : state) benchmark::DoNotOptimize(table.Lookup(calls[i++ % calls.size()], result));
}
BENCHMARK(BM_CtyLookup);
