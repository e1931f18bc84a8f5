#pragma once
// What we know about the cluster programs that DX nodes run: names, documentation keys and the texts by
// which a greeting names them; recognising the program from received lines and AR-Cluster's version from
// its prompt.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kv {

enum ClusterSoftwareId : int32_t {
    Unknown = 0,
    DXSpider = 1,
    ARCluster = 2,
    CCCluster = 3,
    DxNet = 4,
    GoCluster = 5,
    CwSkimmer = 6,
    ARCluster4 = 7,
    ARCluster6 = 8,
    CLX = 9,
    PyCluster = 10,
};

struct ClusterSoftwareInfo {
    ClusterSoftwareId Id;
    const char16_t* Name;
    const char16_t* Key;
    const char16_t* DocUrl;
    // Lower-case texts that name the software inside a received line; unused entries are null.
    const char16_t* Signatures[3];
};

// In the order of recognition and of the documentation keys.
extern const ClusterSoftwareInfo ClusterSoftwareTable[];
extern const unsigned ClusterSoftwareTableSize;

ClusterSoftwareId IdentifyClusterSoftware(const std::u16string& line);
ClusterSoftwareId RefineArClusterVersion(ClusterSoftwareId current, const std::u16string& text);
std::u16string GetClusterSoftwareName(ClusterSoftwareId id);
std::u16string GetSoftwareDocKey(const std::u16string& key);
// (documentation key, software key), one pair per distinct documentation key, in table order.
std::vector<std::pair<std::u16string, std::u16string>> GetSoftwareDocKeys();
// The [Links] documentation link of the software, or the row's own default; empty for an id not in the table.
std::u16string GetSoftwareDocUrl(ClusterSoftwareId id);

} // namespace kv
