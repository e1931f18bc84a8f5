#include <gtest/gtest.h>

#include "directory/ClusterNodeList.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;
using kv::test::CTempDir;

TEST(ClusterNodeListFile, LoadsTheBytesAsTheyStandAndFailsOnAMissingFile)
{
    CTempDir dir;
    const std::u16string path = dir.File(u"cluster.dat");
    ClusterNodeList list;
    EXPECT_FALSE(list.Load(path));
    ASSERT_TRUE(test::WriteFileBytes(path, "# Release 3\r\nZ\xc3\xbc""1,h.net\r\nA1,h.net,7300\r\n"));
    ASSERT_TRUE(list.Load(path));
    EXPECT_EQ(list.Release, "3");
    ASSERT_EQ(list.Nodes.size(), 2u);
    EXPECT_EQ(Utf8ToCString(list.Nodes[1].Name), u"Z\u00fc1");
    EXPECT_EQ(list.Nodes[0].Port, 7300);
}

TEST(ClusterNodeListFile, ReadsAFileThatAnotherHandleHoldsOpenForWriting)
{
    CTempDir dir;
    const std::u16string path = dir.File(u"DXCLUSTER_NODES.CSV");
    ASSERT_TRUE(test::WriteFileBytes(path, "1\nNode,Address\nA1,h.net\n"));
    const HANDLE writer = ::CreateFileW(W(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    ClusterNodeList list;
    EXPECT_TRUE(list.Load(path));
    EXPECT_EQ(list.Nodes.size(), 1u);
    ::CloseHandle(writer);
}
