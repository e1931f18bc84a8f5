// Rows of the downloaded CSV node list under a fixed release and header line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/node_list_invariants.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string rows(reinterpret_cast<const char*>(data), size);
    ClusterNodeList list;
    const bool parsed =
        list.Parse("2026-12-01\r\nNode,Address,Port,Active,ADIF,Skimmer,City,State,Grid,Sysop,Name,Email,"
                   "Publish,Software,Version,URL\r\n" + rows);
    if (!parsed || !list.IsCsv || list.Release != "2026-12-01") abort();
    CheckNodeList(list);
    for (const ClusterNode& node : list.Nodes)
        if (node.Fields.size() < 2 || node.Fields[0] != node.Name || !IsAddressOfField(node)) abort();
    // The whole input as a list of its own, whichever format it turns out to be.
    ClusterNodeList whole;
    if (whole.Parse(rows)) CheckNodeList(whole);
    else if (!whole.Nodes.empty() || whole.IsCsv) abort();
    return 0;
}
