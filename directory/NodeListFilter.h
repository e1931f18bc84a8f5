#pragma once
// What the cluster chooser shows of the node list: the nodes that pass its country, RBN and search filters,
// in the order of the column the user sorted by, and the countries worth offering for the list.
#include <cstdint>
#include <string>
#include <vector>

#include "directory/ClusterNodeList.h"
#include "directory/DxccEntityList.h"

namespace kv {

struct NodeFilter {
    int32_t Adif = 0;     // 0: any country
    bool RbnOnly = false; // only nodes that carry RBN spots
    std::u16string Search; // as typed; matched without regard to case anywhere in the name or the host
};

bool MatchesFilter(const ClusterNode& node, const NodeFilter& filter);

enum NodeSortColumn : int32_t { SortByName = 0, SortByHost = 1, SortByPort = 2 };

struct NodeSortOrder {
    int32_t Column = SortByName;
    bool Descending = false;

    // A click on the sorted column turns the order round; on another one it sorts by that one, ascending.
    void OnColumnClick(int32_t column);
};

// Three-way comparison of two nodes by the column; equal hosts or ports fall back to the names.
int CompareNodes(const ClusterNode& a, const ClusterNode& b, int32_t column);

// The indices into nodes of those that pass the filter, in list order, then sorted stably.
std::vector<uint32_t> SelectShownNodes(const std::vector<ClusterNode>& nodes, const NodeFilter& filter,
                                       const NodeSortOrder& order);

// The entities of which at least one node is located there, in the order of the entity list.
std::vector<DxccEntityItem> CountriesOfNodes(const std::vector<DxccEntityItem>& entities,
                                             const std::vector<ClusterNode>& nodes);

} // namespace kv
