#include <gtest/gtest.h>

#include "tests/support/WinTestSupport.h"

using namespace kv;

// The local peer machinery itself: a peer starts on loopback, talks, and records what it received.
TEST(TestPeers, AnEchoPeerRecordsWhatItReceives)
{
    test::CTestPeer peer("echo", "default", "greeting=hi");
    ASSERT_TRUE(peer.Ok()) << peer.Error();
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(peer.Port());
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    char buf[64] = {};
    int got = ::recv(s, buf, sizeof buf, 0);
    EXPECT_EQ(std::string(buf, size_t(got > 0 ? got : 0)), "hi\r\n");
    ::send(s, "N0CALL\r\n", 8, 0);
    got = ::recv(s, buf, sizeof buf, 0);
    EXPECT_EQ(std::string(buf, size_t(got > 0 ? got : 0)), "N0CALL\r\n");
    ::closesocket(s);
    ::WSACleanup();
    const auto log = peer.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].event, "recv");
    EXPECT_EQ(log[1].data, "N0CALL\r\n");
}
