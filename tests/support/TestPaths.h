#pragma once
// Where the tests find the source tree, the build folder and the machine's data files, in both builds
// (the Windows build sees the Linux file system through drive Z:).
#include <string>

namespace kv::test {

std::string SourcePath(const std::string& relative);
std::string BuildPath(const std::string& relative);
// The real country file of Debian's hamradio-files package.
std::string SystemCtyDatPath();
std::string ReadWholeFile(const std::string& path);

} // namespace kv::test
