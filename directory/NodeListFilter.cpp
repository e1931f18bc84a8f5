#include "directory/NodeListFilter.h"

#include <algorithm>
#include <unordered_set>

#include "base/Ascii.h"

namespace kv {
namespace {

// A node's name and host as window text, converted once per refresh rather than once per comparison.
struct NodeTexts {
    std::u16string Name;
    std::u16string Address;

    explicit NodeTexts(const ClusterNode& node)
        : Name(Utf8ToCString(node.Name)), Address(Utf8ToCString(node.Address))
    {
    }
};

bool Contains(const std::u16string& text, const std::u16string& lowerNeedle)
{
    return ToLowerAscii(text).find(lowerNeedle) != std::u16string::npos;
}

bool Matches(const ClusterNode& node, const NodeTexts& texts, const NodeFilter& filter, const std::u16string& search)
{
    if (filter.Adif != 0 && node.Adif != filter.Adif) return false;
    if (filter.RbnOnly && node.RbnMode == 0) return false;
    return search.empty() || Contains(texts.Name, search) || Contains(texts.Address, search);
}

int Compare(const ClusterNode& a, const NodeTexts& ta, const ClusterNode& b, const NodeTexts& tb, int32_t column)
{
    int result = 0;
    if (column == SortByPort) result = a.Port < b.Port ? -1 : (a.Port > b.Port ? 1 : 0);
    else if (column == SortByHost) result = CompareIgnoreCaseAscii<char16_t>(ta.Address, tb.Address);
    if (result == 0) result = CompareIgnoreCaseAscii<char16_t>(ta.Name, tb.Name);
    return result;
}

} // namespace

bool MatchesFilter(const ClusterNode& node, const NodeFilter& filter)
{
    return Matches(node, NodeTexts(node), filter, ToLowerAscii(filter.Search));
}

void NodeSortOrder::OnColumnClick(int32_t column)
{
    if (column == Column) {
        Descending = !Descending;
        return;
    }
    Column = column;
    Descending = false;
}

int CompareNodes(const ClusterNode& a, const ClusterNode& b, int32_t column)
{
    return Compare(a, NodeTexts(a), b, NodeTexts(b), column);
}

std::vector<uint32_t> SelectShownNodes(const std::vector<ClusterNode>& nodes, const NodeFilter& filter,
                                       const NodeSortOrder& order)
{
    const std::u16string search = ToLowerAscii(filter.Search);
    std::vector<uint32_t> shown;
    std::vector<NodeTexts> texts; // by node index, filled for every node
    texts.reserve(nodes.size());
    for (uint32_t i = 0; i < nodes.size(); ++i) {
        texts.emplace_back(nodes[i]);
        if (Matches(nodes[i], texts.back(), filter, search)) shown.push_back(i);
    }
    std::stable_sort(shown.begin(), shown.end(), [&](uint32_t a, uint32_t b) {
        const int c = Compare(nodes[a], texts[a], nodes[b], texts[b], order.Column);
        return order.Descending ? c > 0 : c < 0;
    });
    return shown;
}

std::vector<DxccEntityItem> CountriesOfNodes(const std::vector<DxccEntityItem>& entities,
                                             const std::vector<ClusterNode>& nodes)
{
    std::unordered_set<int32_t> present;
    for (const ClusterNode& node : nodes) present.insert(node.Adif);
    std::vector<DxccEntityItem> countries;
    for (const DxccEntityItem& entity : entities)
        if (present.count(entity.Adif)) countries.push_back(entity);
    return countries;
}

} // namespace kv
