// What every parsed node list must hold, whatever the input.
#pragma once
#include <algorithm>
#include <cstdlib>

#include "base/DecimalDottedQuad.h"
#include "directory/ClusterNodeList.h"

// The address column as read; a dotted quad of it without leading zeros.
inline bool IsAddressOfField(const kv::ClusterNode& node)
{
    return node.Fields.size() >= 2 && node.Address == kv::DecimalDottedQuad(node.Fields[1]);
}

inline void CheckNodeList(const kv::ClusterNodeList& list)
{
    using namespace kv;
    for (const ClusterNode& node : list.Nodes) {
        if (node.Name.empty() || !IsValidHost(node.Address)) abort();
        if (node.Port < 1 || node.Port > 65535) abort();
        if (node.RbnMode < RbnNone || node.RbnMode > RbnOnly) abort();
        if (node.Adif < 0 || node.Adif > 9999) abort();
        if (node.Fields.empty()) abort();
        for (const std::string& field : node.Fields)
            if (field != TrimNodeField(field)) abort();
    }
    if (!std::is_sorted(list.Nodes.begin(), list.Nodes.end(), CompareNodeNames)) abort();
    if (list.Release != TrimNodeField(list.Release)) abort();
}
