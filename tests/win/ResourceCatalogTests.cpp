#include <gtest/gtest.h>

#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "tests/support/TestPaths.h"
#include "win/ResourceTextCatalog.h"
#include "win/Win32.h"

using namespace kv;

// Every text of the string table loads from the built program's resources, unchanged.
TEST(ResourceCatalog, EveryIdLoadsFromTheProgramWithTheSameText)
{
    const std::u16string exe = Utf8ToUtf16(test::BuildPath("kestrivane.exe"));
    HMODULE module = ::LoadLibraryExW(W(exe), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << "cannot load " << test::BuildPath("kestrivane.exe");
    const CResourceTextCatalog resources(module);
    const CBuiltInTextCatalog builtIn;
    ASSERT_GT(kStringTableSize, 0u);
    for (unsigned i = 0; i < kStringTableSize; ++i) {
        const unsigned id = kStringTable[i].id;
        EXPECT_EQ(resources.Text(id), builtIn.Text(id)) << "string " << id;
    }
    ::FreeLibrary(module);
}
