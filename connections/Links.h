#pragma once
// The [Links] store: read once at start-up from the default settings file, missing keys written back empty
// so that the user finds them, and the documentation links of the older [ClusterDocs] section moved over.
#include <string>
#include <utility>
#include <vector>

#include "connections/LinkTable.h"

namespace kv {

// (documentation key in [Links], software key in [ClusterDocs]), e.g. ("DocDXSpider", "DXSpider"): the pairs
// of the cluster-software table, in its order.
using SoftwareDocKeys = std::vector<std::pair<std::u16string, std::u16string>>;

// The keys of [Links] in the order they are written: the three fixed ones, then the documentation keys.
std::vector<std::u16string> GetLinkKeys(const SoftwareDocKeys& docKeys);

void LoadLinks(const std::u16string& defaultIni, const std::u16string& currentIni, const SoftwareDocKeys& docKeys);

// Moves the [ClusterDocs] links of the source into [Links] of the target without overwriting a link set
// there, then deletes [ClusterDocs] from the source.
void MigrateClusterDocs(const std::u16string& sourceIni, const std::u16string& targetIni,
                        const SoftwareDocKeys& docKeys);

// A value trimmed at both ends; exists is false (and the result empty) when the key is absent.
std::u16string ReadProfileStringEx(const std::u16string& iniPath, const std::u16string& section,
                                   const std::u16string& key, bool& exists);

} // namespace kv
