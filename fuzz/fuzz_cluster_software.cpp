// Greetings and prompts of cluster nodes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Utf.h"
#include "connections/ClusterSoftware.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string line = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    const ClusterSoftwareId id = IdentifyClusterSoftware(line);
    if (id != Unknown && GetClusterSoftwareName(id).empty()) abort();
    if (id == ARCluster6 || id == ARCluster4) abort(); // only the prompt names these
    const ClusterSoftwareId refined = RefineArClusterVersion(ARCluster, line);
    if (refined != ARCluster && refined != ARCluster4 && refined != ARCluster6) abort();
    if (RefineArClusterVersion(DXSpider, line) != DXSpider) abort();
    return 0;
}
