// A downloaded node list as the cluster chooser shows it: the details of every node become link markup
// whose addresses cannot break out of their links and would all be opened, and every node is found by its
// own name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/LinkMarkup.h"
#include "base/OpenableLink.h"
#include "directory/ClusterNodeList.h"
#include "directory/NodeDetailsText.h"
#include "directory/NodeListFilter.h"

using namespace kv;

namespace {

size_t CountBareLinks(const std::u16string& text)
{
    size_t count = 0;
    for (size_t at = text.find(u"<a>"); at != std::u16string::npos; at = text.find(u"<a>", at + 3)) ++count;
    return count;
}

void CheckNode(const ClusterNode& node)
{
    const LinkMarkup people = SplitLinkMarkup(FormatNodePeople(node));
    if (people.Urls.size() > 2 || CountBareLinks(people.Text) != people.Urls.size()) abort();
    for (const std::u16string& url : people.Urls)
        if (url.find_first_of(u"\"<>") != std::u16string::npos || !IsOpenableLink(url, LinkKinds::WebOrMail)) abort();
    if (!SplitLinkMarkup(FormatNodeSoftware(node)).Urls.empty()) abort();
    if (!MatchesFilter(node, NodeFilter{node.Adif, false, Utf8ToCString(node.Name)})) abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ClusterNodeList list;
    if (!list.Parse(std::string(reinterpret_cast<const char*>(data), size))) return 0;
    for (const ClusterNode& node : list.Nodes) CheckNode(node);
    const std::vector<uint32_t> shown = SelectShownNodes(list.Nodes, {}, {SortByHost, true});
    if (shown.size() != list.Nodes.size()) abort();
    return 0;
}
