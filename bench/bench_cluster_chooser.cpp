// What the cluster chooser does on every typed character: filter a directory of a few thousand nodes and
// sort what passes by the chosen column.
#include <benchmark/benchmark.h>

#include <string>

#include "directory/NodeListFilter.h"

using namespace kv;

namespace {

std::vector<ClusterNode> MakeNodes(int count)
{
    std::vector<ClusterNode> nodes(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int n = (i * 7919) % count;
        ClusterNode& node = nodes[size_t(i)];
        node.Name = (n % 3 ? "K" : "dl") + std::to_string(n) + "TST-" + std::to_string(n % 9);
        node.Address = "node" + std::to_string(n) + ".cluster.example.net";
        node.Port = 7300 + n % 700;
        node.Adif = n % 3 ? 291 : 230;
        node.RbnMode = n % 3;
    }
    return nodes;
}

} // namespace

static void BM_SelectShownNodes(benchmark::State& state)
{
    const std::vector<ClusterNode> nodes = MakeNodes(int(state.range(0)));
    const NodeFilter filter{0, false, state.range(1) ? u"k1" : u""};
    const NodeSortOrder order{int32_t(state.range(2)), false};
    size_t shown = 0;
    for (auto _ : state) shown = SelectShownNodes(nodes, filter, order).size();
    state.counters["shown"] = double(shown);
}
// Nodes, whether a search is typed, the sort column (0 name, 1 host, 2 port).
BENCHMARK(BM_SelectShownNodes)
    ->Args({3000, 0, 0})
    ->Args({3000, 1, 0})
    ->Args({3000, 0, 1})
    ->Args({3000, 0, 2})
    ->Unit(benchmark::kMillisecond);
