// The older one-node-per-line list ("cluster.dat") kept by hand.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/node_list_invariants.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A leading line with a comma can never be read as a CSV release line.
    const std::string text = "# cluster.dat\n,\n" + std::string(reinterpret_cast<const char*>(data), size);
    ClusterNodeList list;
    if (!list.Parse(text) || list.IsCsv) abort();
    CheckNodeList(list);
    for (const ClusterNode& node : list.Nodes) {
        if (!IsAddressOfField(node)) abort();
        if (node.RbnMode == RbnOnly) abort();
    }
    return 0;
}
