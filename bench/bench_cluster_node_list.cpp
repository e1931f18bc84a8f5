// Parsing node lists of the size the published directory has: a few thousand rows.
#include <benchmark/benchmark.h>

#include <string>

#include "directory/ClusterNodeList.h"

using namespace kv;

namespace {

// Rows in no particular order, a fifth of them inactive, some with quoted fields, as the real list has.
std::string MakeCsvList(int rows)
{
    std::string text = "2026-12-01\r\nNode,Address,Port,Active,ADIF,Skimmer,City,State,Grid,Sysop,Name,Email,"
                       "Publish,Software,Version,URL\r\n";
    for (int i = 0; i < rows; ++i) {
        const int n = (i * 7919) % rows;
        text += (n % 3 ? "K" : "dl") + std::to_string(n) + "TST-" + std::to_string(n % 9) + ",";
        text += n % 4 ? "node" + std::to_string(n) + ".cluster.example.net," : "10.1." + std::to_string(n % 250) + "." + std::to_string(n % 200) + ",";
        text += std::to_string(7300 + n % 700) + (n % 5 ? ",yes," : ",no,") + std::to_string(n % 500) + ",";
        text += n % 3 ? "also," : ",";
        text += "\"Springfield, Main County\",ST,FN42ab,W" + std::to_string(n) + "XYZ,\"Jo \"\"Op\"\" Doe\",";
        text += "sysop@example.net,yes,DXSpider,1.57 build 441,https://cluster.example.net/" + std::to_string(n) +
                "\r\n";
    }
    return text;
}

std::string MakeLegacyList(int rows)
{
    std::string text = "# Release 2026-12-01\r\n";
    for (int i = 0; i < rows; ++i) {
        const int n = (i * 7919) % rows;
        text += "K" + std::to_string(n) + "TST" + (n % 3 ? "" : " (+RBN)") + ",node" + std::to_string(n) +
                ".cluster.example.net," + std::to_string(7300 + n % 700) + "\r\n";
    }
    return text;
}

} // namespace

static void BM_ParseCsvNodeList(benchmark::State& state)
{
    const std::string text = MakeCsvList(int(state.range(0)));
    size_t nodes = 0;
    for (auto _ : state) {
        ClusterNodeList list;
        benchmark::DoNotOptimize(list.Parse(text));
        nodes = list.Nodes.size();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["nodes"] = double(nodes);
}
BENCHMARK(BM_ParseCsvNodeList)->Arg(3000)->Arg(6000)->Unit(benchmark::kMillisecond);

static void BM_ParseLegacyNodeList(benchmark::State& state)
{
    const std::string text = MakeLegacyList(int(state.range(0)));
    for (auto _ : state) {
        ClusterNodeList list;
        benchmark::DoNotOptimize(list.Parse(text));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ParseLegacyNodeList)->Arg(3000)->Unit(benchmark::kMillisecond);
