#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "base/Format.h"
#include "connections/LinkTable.h"
#include "directory/NodeListUpdate.h"
#include "tests/support/WinTestSupport.h"
#include "win/MessageOnlyWindow.h"

using namespace kv;

// The download for real: WinINet against the node-list web server of tests/peers/peer_nodelist.py.
namespace {

constexpr int64_t kServerTime = 1764547200; // the peer's default Last-Modified, 2025-12-01 00:00:00Z

FILETIME FileTimeOf(int64_t unixSeconds)
{
    const uint64_t units = uint64_t(unixSeconds + 11644473600LL) * 10000000ULL;
    return FILETIME{DWORD(units), DWORD(units >> 32)};
}

FILETIME LastWriteTime(const std::u16string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(W(path), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void SetLastWriteTime(const std::u16string& path, const FILETIME& time)
{
    const HANDLE file = ::CreateFileW(W(path), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

const std::string kOldList = "2026-01-01\r\nNode,Address\r\nOLD1,old.example.net\r\n";

} // namespace

class NodeListUpdateTest : public ::testing::Test {
protected:
    void TearDown() override { ClearLinkTable(); }

    void Serve(const std::string& params)
    {
        peer = std::make_unique<test::CTestPeer>("nodelist", "serve", params);
        ASSERT_TRUE(peer->Ok()) << peer->Error();
        SetLink(u"NodeListUrl", FormatText(u"http://127.0.0.1:%d/nodes/DXCLUSTER_NODES.CSV", peer->Port()));
    }
    NodeListUpdateResult Download()
    {
        NodeListUpdateResult result;
        DownloadNodeList(folder, result);
        return result;
    }
    // The events of the server, "head" or "get", in order; a GET with its If-Modified-Since as "get:<value>".
    std::vector<std::string> Requests() const
    {
        std::vector<std::string> requests;
        for (const auto& e : peer->Log()) {
            const std::string since = e.data.substr(e.data.find('\n') + 1);
            requests.push_back(e.event == "get" && !since.empty() ? "get:" + since : e.event);
        }
        return requests;
    }
    // The list on the local HTTPS service (port 443), whose certificate the test CA of tools/wine-env vouches
    // for; empty when it serves, else why this machine cannot offer it.
    std::string ServeOverHttps(const std::string& params)
    {
        if (::GetFileAttributesW(W(test::WineStateDir() + u"\\tls\\trusted")) == INVALID_FILE_ATTRIBUTES)
            return "the test CA is not trusted on this machine (tools/wine-env needs root)";
        peer.reset(); // the listener serves one scenario at a time
        peer = std::make_unique<test::CTestPeer>("nodelist", "https", params);
        if (peer->Error().find("Address already in use") != std::string::npos)
            return "port 443 is held by another test run on this machine";
        EXPECT_TRUE(peer->Ok()) << peer->Error();
        SetLink(u"NodeListUrl", u"https://localhost/directory-tests/DXCLUSTER_NODES.CSV");
        return {};
    }
    uint64_t BodySize() const { return std::stoull(peer->Info().substr(peer->Info().find('=') + 1)); }
    void WriteOldList(const FILETIME& time)
    {
        ASSERT_TRUE(test::WriteFileBytes(path, kOldList));
        SetLastWriteTime(path, time);
    }
    void ExpectOldListKept(const FILETIME& time)
    {
        EXPECT_EQ(test::ReadFileBytes(path), kOldList);
        EXPECT_TRUE(SameTime(LastWriteTime(path), time));
    }

    test::CTempDir dir;
    std::u16string folder = dir.Path() + u"\\";
    std::u16string path = folder + u"DXCLUSTER_NODES.CSV";
    std::unique_ptr<test::CTestPeer> peer;
};

TEST_F(NodeListUpdateTest, WithoutAFileTheListIsFetchedAndInstalledWithTheServersTime)
{
    Serve("body=csv nodes=5 release=2026-12-07");
    const NodeListUpdateResult result = Download();
    EXPECT_EQ(result.Status, NodeListInstalled) << std::string(result.Error.begin(), result.Error.end());
    EXPECT_EQ(result.Release, u"2026-12-07");
    EXPECT_EQ(result.NodeCount, 5);
    EXPECT_EQ(result.Bytes, BodySize());
    EXPECT_EQ(test::ReadFileBytes(path).size(), BodySize());
    EXPECT_TRUE(SameTime(LastWriteTime(path), FileTimeOf(kServerTime)));
    EXPECT_EQ(Requests(), (std::vector<std::string>{"get"})); // no HEAD without a file
    EXPECT_EQ(::GetFileAttributesW(W(path + FormatText(u".%lu.tmp", ::GetCurrentProcessId()))),
              INVALID_FILE_ATTRIBUTES);
}

TEST_F(NodeListUpdateTest, AFileOfTheServersTimeIsUpToDateAndAnOlderOneIsReplaced)
{
    Serve("body=csv");
    WriteOldList(FileTimeOf(kServerTime + 1)); // within 2 s
    NodeListUpdateResult result = Download();
    EXPECT_EQ(result.Status, NodeListUpToDate);
    EXPECT_EQ(result.Bytes, 0u);
    ExpectOldListKept(FileTimeOf(kServerTime + 1));

    SetLastWriteTime(path, FileTimeOf(kServerTime - 3));
    result = Download();
    EXPECT_EQ(result.Status, NodeListInstalled);
    EXPECT_EQ(result.NodeCount, 3);
    EXPECT_TRUE(SameTime(LastWriteTime(path), FileTimeOf(kServerTime)));
    EXPECT_EQ(Requests(), (std::vector<std::string>{"head", "head", "get"})); // the GET without condition
}

TEST_F(NodeListUpdateTest, TheHeadRequestAsksForTheAddressWithItsQuery)
{
    Serve("body=csv query=dl=1");
    SetLink(u"NodeListUrl", FormatText(u"http://127.0.0.1:%d/nodes/DXCLUSTER_NODES.CSV?dl=1", peer->Port()));
    ASSERT_EQ(Download().Status, NodeListInstalled);
    EXPECT_EQ(Download().Status, NodeListUpToDate);
    const auto log = peer->Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].event, "head");
    EXPECT_EQ(log[1].data, "/nodes/DXCLUSTER_NODES.CSV?dl=1");
}

TEST_F(NodeListUpdateTest, WhenHeadIsRefusedTheGetAsksIfModifiedSince)
{
    Serve("body=csv head=refuse");
    WriteOldList(FileTimeOf(kServerTime + 60));
    NodeListUpdateResult result = Download();
    EXPECT_EQ(result.Status, NodeListUpToDate); // 304
    ExpectOldListKept(FileTimeOf(kServerTime + 60));

    SetLastWriteTime(path, FileTimeOf(kServerTime - 60));
    result = Download();
    EXPECT_EQ(result.Status, NodeListInstalled);
    EXPECT_EQ(Requests(), (std::vector<std::string>{"head", "get:Mon, 01 Dec 2025 00:01:00 GMT", "head",
                                                    "get:Sun, 30 Nov 2025 23:59:00 GMT"}));
}

TEST_F(NodeListUpdateTest, AnswersThatAreNoListLeaveTheOldFileAlone)
{
    const FILETIME old = FileTimeOf(kServerTime - 86400);
    for (const char* body : {"html", "legacy", "emptycsv"}) {
        SCOPED_TRACE(body);
        Serve(std::string("body=") + body);
        WriteOldList(old);
        const NodeListUpdateResult result = Download();
        EXPECT_EQ(result.Status, NodeListFailed);
        EXPECT_EQ(result.Error, u"not a list of nodes");
        EXPECT_EQ(result.Bytes, BodySize());
        ExpectOldListKept(old);
    }
    Serve("status=404");
    const NodeListUpdateResult result = Download();
    EXPECT_EQ(result.Error, u"HTTP 404");
    EXPECT_EQ(result.Bytes, 0u);
    ExpectOldListKept(old);
}

TEST_F(NodeListUpdateTest, SixteenMebibytesAreTheLargestList)
{
    Serve("body=sized size=16777216");
    NodeListUpdateResult result = Download();
    EXPECT_EQ(result.Status, NodeListInstalled);
    EXPECT_EQ(result.Bytes, 16777216u);

    const FILETIME old = FileTimeOf(kServerTime - 86400);
    Serve("body=sized size=16777217");
    WriteOldList(old);
    result = Download();
    EXPECT_EQ(result.Status, NodeListFailed);
    EXPECT_EQ(result.Error, u"file too large");
    EXPECT_GT(result.Bytes, 16777216u);
    ExpectOldListKept(old);
}

TEST_F(NodeListUpdateTest, AListThatCannotReplaceTheFileLeavesNoTemporaryFile)
{
    Serve("body=csv");
    ASSERT_TRUE(::CreateDirectoryW(W(path), nullptr)); // a folder where the list should be
    const NodeListUpdateResult result = Download();
    EXPECT_EQ(result.Status, NodeListFailed);
    EXPECT_EQ(result.Error.rfind(u"cannot write " + path + u" (error ", 0), 0u);
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(W(folder + u"*.tmp"), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
}

TEST_F(NodeListUpdateTest, AServerThatCannotBeReachedIsAnInternetError)
{
    test::CTestPeer closed("cluster", "refused");
    ASSERT_TRUE(closed.Ok()) << closed.Error();
    SetLink(u"NodeListUrl", FormatText(u"http://127.0.0.1:%d/nodes/DXCLUSTER_NODES.CSV", closed.Port()));
    const NodeListUpdateResult result = Download();
    EXPECT_EQ(result.Status, NodeListFailed);
    EXPECT_EQ(result.Error, u"error 12029: cannot connect to the server");
}

// A body cut short by the server (here: two whole rows of five, which alone would read as a list), also one
// marked as not encoded, or a list switched off by an empty address leaves the old file as it was.
TEST_F(NodeListUpdateTest, ABodyShorterThanAnnouncedOrAnEmptyAddressInstallsNothing)
{
    const FILETIME old = FileTimeOf(kServerTime - 86400);
    const auto expectCutShort = [&](const NodeListUpdateResult& result) {
        EXPECT_EQ(result.Status, NodeListFailed);
        EXPECT_EQ(result.Error, FormatText(u"the server announced %llu bytes and sent 287", BodySize()));
        EXPECT_EQ(result.Bytes, 287u);
        ExpectOldListKept(old);
    };
    for (const char* params : {"body=csv nodes=5 cut=287 encoding=Identity", "body=csv nodes=5 cut=287"}) {
        SCOPED_TRACE(params);
        Serve(params);
        WriteOldList(old);
        expectCutShort(Download());
    }

    SetLink(u"NodeListUrl", u"");
    const NodeListUpdateResult off = Download();
    EXPECT_EQ(off.Status, NodeListUpToDate);
    EXPECT_EQ(off.Error, u"");
    EXPECT_EQ(peer->Log().size(), 2u); // the HEAD and the GET of the first download only
    ExpectOldListKept(old);

    for (const char* params : {"body=csv nodes=5 cut=287", "body=csv nodes=5 cut=287 encoding=identity"}) {
        SCOPED_TRACE(params);
        if (const std::string why = ServeOverHttps(params); !why.empty()) GTEST_SKIP() << why;
        ASSERT_TRUE(peer->Ok());
        expectCutShort(Download());
    }
}

// Chunked or gzip-encoded, a body carries no length to check, and WinINet reads a connection that closed
// early as its end (here after 16 or 9 whole rows of 40). A server that would encode sends the list plain
// when asked; a list that stops inside a line is refused; the next check fetches it again.
TEST_F(NodeListUpdateTest, AChunkedOrEncodedBodyCutShortInstallsNothingAndIsFetchedAgain)
{
    const FILETIME old = FileTimeOf(kServerTime - 86400);
    const std::pair<const char*, bool> cuts[] = { // the parameters, and whether the list then comes plain
        {"chunked=256 cut=1500", false},
        {"gzip=1 cut=300", true},
        {"gzip=always cut=300", false},
        {"gzip=always chunked=100 cut=300", false},
    };
    for (const auto& [params, plain] : cuts) {
        SCOPED_TRACE(params);
        Serve(std::string("body=csv nodes=40 ") + params);
        WriteOldList(old);
        const std::u16string error = plain ? FormatText(u"the server announced %llu bytes and sent 300", BodySize())
                                           : u"the list ends inside a line, so it may be cut short";
        for (int check = 0; check < 2; ++check) {
            const NodeListUpdateResult result = Download();
            EXPECT_EQ(result.Status, NodeListFailed);
            EXPECT_EQ(result.Error, error);
            ExpectOldListKept(old);
        }
        EXPECT_EQ(Requests(), (std::vector<std::string>{"head", "get", "head", "get"}));
    }
}

TEST(IsSameFileTime, AllowsTwoSecondsEitherWay)
{
    EXPECT_TRUE(IsSameFileTime(FileTimeOf(100), FileTimeOf(102)));
    EXPECT_TRUE(IsSameFileTime(FileTimeOf(102), FileTimeOf(100)));
    EXPECT_FALSE(IsSameFileTime(FileTimeOf(100), FileTimeOf(103)));
    EXPECT_FALSE(IsSameFileTime(FileTimeOf(103), FileTimeOf(100)));
}

TEST_F(NodeListUpdateTest, OneDownloadAtATimeAndItsResultReachesEveryRegisteredWindow)
{
    Serve("body=csv delay=1500");
    std::vector<std::unique_ptr<NodeListUpdateResult>> received[3];
    CMessageOnlyWindow windows[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(windows[i].Create([&received, i](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
            if (msg != WM_APP_NODE_LIST_UPDATED) return false;
            received[i].push_back(TakeRecord<NodeListUpdateResult>(lParam));
            return true;
        }));
    }
    RegisterNodeListWindow(windows[0].Handle());
    RegisterNodeListWindow(windows[1].Handle());
    RegisterNodeListWindow(windows[1].Handle()); // once is enough
    ASSERT_TRUE(StartNodeListUpdate(folder));
    EXPECT_FALSE(StartNodeListUpdate(folder));
    ASSERT_TRUE(test::PumpUntil([&] { return !received[0].empty() && !received[1].empty(); }, 20000));
    test::PumpFor(300);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(received[i].size(), 1u);
        EXPECT_EQ(received[i][0]->Status, NodeListInstalled);
        EXPECT_EQ(received[i][0]->NodeCount, 3);
    }
    EXPECT_NE(received[0][0].get(), received[1][0].get());
    EXPECT_TRUE(received[2].empty());
    EXPECT_EQ(Requests(), (std::vector<std::string>{"get"}));

    // Over: the next one may start, and a window that left gets nothing.
    UnregisterNodeListWindow(windows[1].Handle());
    ASSERT_TRUE(StartNodeListUpdate(folder));
    ASSERT_TRUE(test::PumpUntil([&] { return received[0].size() == 2; }, 20000));
    EXPECT_EQ(received[0][1]->Status, NodeListUpToDate);
    test::PumpFor(300);
    EXPECT_EQ(received[1].size(), 1u);
    UnregisterNodeListWindow(windows[0].Handle());
}

// Over HTTPS, as the real list is published: the local service on port 443 whose certificate the test CA
// of tools/wine-env vouches for.
TEST_F(NodeListUpdateTest, OverHttpsTheHeadRequestFindsTheInstalledListCurrent)
{
    if (const std::string why = ServeOverHttps("body=csv nodes=4"); !why.empty()) GTEST_SKIP() << why;
    ASSERT_TRUE(peer->Ok());
    NodeListUpdateResult result = Download();
    EXPECT_EQ(result.Status, NodeListInstalled) << std::string(result.Error.begin(), result.Error.end());
    EXPECT_EQ(result.NodeCount, 4);
    result = Download();
    EXPECT_EQ(result.Status, NodeListUpToDate);
    EXPECT_EQ(Requests(), (std::vector<std::string>{"get", "head"}));
}
