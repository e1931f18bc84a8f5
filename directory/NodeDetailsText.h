#pragma once
// The details of the node selected in the cluster chooser: its location, its sysop and web site (SysLink
// markup), its software.
#include <string>

#include "directory/ClusterNodeList.h"

namespace kv {

// Without "<", ">" and double quotes (so that a value cannot leave or add markup), trimmed at both ends.
std::u16string SanitizeLinkText(const std::u16string& text);

// "City, State (Grid)", each part only when there is one.
std::u16string FormatNodeLocation(const ClusterNode& node);
// The sysop's name, call and e-mail link when the node publishes them, then the web-site link; a link
// only where its address would be opened.
std::u16string FormatNodePeople(const ClusterNode& node);
// The software and its version as the list states them; "OTHER" shows the version when it is a name.
std::u16string FormatNodeSoftware(const ClusterNode& node);

} // namespace kv
