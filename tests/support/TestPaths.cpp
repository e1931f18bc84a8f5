#include "tests/support/TestPaths.h"

#include <fstream>
#include <sstream>

namespace kv::test {
namespace {

std::string Native(const std::string& unixPath)
{
#ifdef _WIN32
    return "Z:" + unixPath;
#else
    return unixPath;
#endif
}

} // namespace

std::string SourcePath(const std::string& relative) { return Native(std::string(KV_SOURCE_DIR) + "/" + relative); }
std::string BuildPath(const std::string& relative) { return Native(std::string(KV_BINARY_DIR) + "/" + relative); }
std::string SystemCtyDatPath() { return Native("/usr/share/hamradio-files/cty.dat"); }

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace kv::test
