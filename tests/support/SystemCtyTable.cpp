#include "tests/support/SystemCtyTable.h"

#include <gtest/gtest.h>

#include "spots/CCtyTable.h"
#include "tests/support/TestPaths.h"

namespace kv::test {

const CCtyTable& SystemCtyTable()
{
    static const CCtyTable table = [] {
        CCtyTable t;
        std::string error;
        EXPECT_TRUE(t.Parse(ReadWholeFile(SystemCtyDatPath()), error)) << error;
        return t;
    }();
    return table;
}

} // namespace kv::test
