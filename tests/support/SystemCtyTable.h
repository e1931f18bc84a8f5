#pragma once
// Debian's real country file, parsed once per test program.
namespace kv {
class CCtyTable;
}

namespace kv::test {

const CCtyTable& SystemCtyTable();

} // namespace kv::test
