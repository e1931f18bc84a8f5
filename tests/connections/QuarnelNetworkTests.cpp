#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "connections/CQuarnelNetwork.h"
#include "base/Text.h"
#include "connections/QuarnelCodec.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;
using Fields = std::vector<std::string>;

namespace {

class CRecordingListener : public IQuarnelListener {
public:
    void OnQuarnelPacket(const Fields& fields) override
    {
        packets.push_back(fields);
        if (onPacket) onPacket(fields);
    }
    size_t CountOf(const std::string& keyword) const
    {
        size_t n = 0;
        for (const auto& p : packets) n += p[0] == keyword;
        return n;
    }

    std::vector<Fields> packets;
    std::function<void(const Fields&)> onPacket;
};

Fields SplitRecorded(const std::string& data)
{
    Fields fields;
    size_t start = 0;
    for (;;) {
        const size_t end = data.find('\x1f', start);
        fields.push_back(data.substr(start, end - start));
        if (end == std::string::npos) return fields;
        start = end + 1;
    }
}

// A socket that broadcasts to the logger port on loopback, as another station does.
class CBroadcastSender {
public:
    explicit CBroadcastSender(uint16_t port) : socket_(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP))
    {
        const BOOL broadcast = TRUE;
        ::setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&broadcast), sizeof broadcast);
        to_.sin_family = AF_INET;
        to_.sin_port = ::htons(port);
        to_.sin_addr.s_addr = ::htonl(0x7FFFFFFF); // 127.255.255.255
    }
    ~CBroadcastSender() { ::closesocket(socket_); }
    bool Send(const std::string& datagram) const
    {
        return ::sendto(socket_, datagram.data(), int(datagram.size()), 0, reinterpret_cast<const sockaddr*>(&to_),
                        sizeof to_) == int(datagram.size());
    }

private:
    SOCKET socket_;
    sockaddr_in to_{};
};

} // namespace

class QuarnelNetworkTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        ASSERT_TRUE(station.Ok()) << station.Error();
        link.SetListener(&listener);
        std::u16string error;
        ASSERT_TRUE(link.Open(u" 127.255.255.255 ", station.Port(), u"TELNET", error)) << U16ToAscii(error);
        EXPECT_TRUE(error.empty());
    }
    void TearDown() override
    {
        link.Close();
        ::WSACleanup();
    }

    // The packets the station decoded, and whether it found a bad checksum.
    std::vector<Fields> StationPackets(bool* badChecksum = nullptr) const
    {
        std::vector<Fields> packets;
        for (const auto& e : station.Log()) {
            if (e.event == "packet") packets.push_back(SplitRecorded(e.data));
            if (badChecksum && e.event == "bad-checksum") *badChecksum = true;
        }
        return packets;
    }
    bool WaitForStationPackets(size_t count)
    {
        return test::PumpUntil([&] { return StationPackets().size() >= count; }, 5000);
    }
    void AskStation(const std::u16string& message)
    {
        std::u16string error;
        ASSERT_TRUE(link.SendGab(u"STN2", message, error)) << U16ToAscii(error);
    }

    WSADATA wsa{};
    test::CTestPeer station{"station", "answer"};
    CRecordingListener listener;
    CQuarnelNetwork link;
};

TEST_F(QuarnelNetworkTest, PacketsReachAStationWithGoodChecksumsAndFields)
{
    EXPECT_EQ(link.BroadcastAddressText(), u"127.255.255.255");
    std::u16string error;
    const std::string longLine = "DX de DL1XX: 14025.0 K1ABC \xE9" "5 " + std::string(250, 'x') + "\n";
    EXPECT_TRUE(link.SendReceivedSpot("DX de K1ABC: 7010.0 \"W1AW\"\n", error));
    EXPECT_TRUE(link.SendReceivedSpot(longLine, error));
    EXPECT_TRUE(link.SendGab(u"STN\u00e9", std::u16string(100, u'm') + u"\u0100", error));
    EXPECT_TRUE(link.SendSkimmerClient(u"STN1", 1, error));
    EXPECT_TRUE(link.SendReceivedSpot("", error)); // sends nothing
    ASSERT_TRUE(WaitForStationPackets(4));

    bool badChecksum = false;
    const auto packets = StationPackets(&badChecksum);
    EXPECT_FALSE(badChecksum);
    ASSERT_EQ(packets.size(), 4u);
    EXPECT_EQ(packets[0], (Fields{"RCVDPKT:", "TELNET", "", "DX de K1ABC: 7010.0 \"W1AW\"\n"}));
    EXPECT_EQ(packets[1], (Fields{"RCVDPKT:", "TELNET", "", longLine}));
    EXPECT_EQ(packets[2], (Fields{"GAB:", "TELNET", "STN\xE9", std::string(80, 'm')}));
    EXPECT_EQ(packets[3], (Fields{"CWSKIMMERCLIENT:", "TELNET", "STN1", "1"}));
    size_t datagrams = 0;
    for (const auto& e : station.Log())
        if (e.event == "datagram") {
            EXPECT_LE(e.data.size(), kQuarnelDatagramSize);
            ++datagrams;
        }
    EXPECT_EQ(datagrams, 5u); // the long line takes two
}

TEST_F(QuarnelNetworkTest, ASendPktCutInTwoDatagramsIsReceivedOnce)
{
    AskStation(u"send");
    ASSERT_TRUE(test::PumpUntil([&] { return listener.CountOf("SENDPKT:") > 0; }, 5000));
    test::PumpFor(200);
    EXPECT_EQ(listener.CountOf("SENDPKT:"), 1u);
    for (const auto& p : listener.packets) {
        if (p[0] == "SENDPKT:") {
            EXPECT_EQ(p, (Fields{"SENDPKT:", "STN2", "", "sh/dx 20\r\nDX 14025.0 K1ABC \xE9" "5 \"tu\" \\ 73"}));
        }
    }
    // The other sender's packet that came between the halves arrived whole as well.
    EXPECT_EQ(listener.CountOf("GAB:"), 2u); // our own request, heard back, and the station's
}

TEST_F(QuarnelNetworkTest, ABurstOfDatagramsIsReadCompletely)
{
    // The link asks for a receive buffer that holds bursts from many stations (the system may give more).
    int size = 0;
    int length = sizeof size;
    ASSERT_EQ(::getsockopt(link.Socket(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&size), &length), 0);
    EXPECT_GE(size, 65536);

    // Bursts that wait in that buffer while no message is dispatched are read to the last datagram. Each
    // burst is one the buffer holds, so that what is kept does not depend on how busy the machine is.
    const CBroadcastSender sender(station.Port());
    constexpr int kBursts = 6;
    constexpr int kDatagramsPerBurst = 50;
    int sent = 0;
    for (int burst = 0; burst < kBursts; ++burst) {
        for (int i = 0; i < kDatagramsPerBurst; ++i) {
            ASSERT_TRUE(sender.Send(FramePacket("SENDPKT: \"STN2\" \"\" \"" + std::to_string(++sent) + "\"")));
        }
        ASSERT_TRUE(test::PumpUntil([&] { return listener.CountOf("SENDPKT:") >= size_t(sent); }, 10000))
            << listener.CountOf("SENDPKT:") << " of " << sent;
    }
    EXPECT_EQ(listener.CountOf("SENDPKT:"), size_t(kBursts * kDatagramsPerBurst));
    EXPECT_EQ(listener.packets.back(), (Fields{"SENDPKT:", "STN2", "", std::to_string(kBursts * kDatagramsPerBurst)}));
}

// Whatever waits on the logger port, a burst costs a notification or two, not one for every read, and a message
// posted meanwhile (a cluster's socket, say) waits behind one turn's reads at most.
TEST_F(QuarnelNetworkTest, ABurstCostsFewNotificationsAndOtherMessagesTakeTheirTurn)
{
    const int roomy = 1 << 20;
    ::setsockopt(link.Socket(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&roomy), sizeof roomy);
    AskStation(u"burst 300");
    const auto burstSent = [&] {
        for (const auto& e : station.Log())
            if (e.event == "sent" && e.data == "burst 300") return true;
        return false;
    };
    MSG queued;
    const auto notified = [&] {
        return ::PeekMessageW(&queued, link.Window(), WM_APP_QUARNEL_SOCKET, WM_APP_QUARNEL_SOCKET, PM_NOREMOVE) != 0;
    };
    for (int i = 0; i < 1000 && !(burstSent() && notified()); ++i) ::Sleep(10); // nothing is dispatched meanwhile
    ASSERT_TRUE(burstSent() && notified());

    constexpr UINT kProbe = WM_APP + 0x7F;
    size_t packetsAtProbe = SIZE_MAX;
    CMessageOnlyWindow probe;
    ASSERT_TRUE(probe.Create([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != kProbe) return false;
        packetsAtProbe = listener.packets.size();
        return true;
    }));
    ::PostMessageW(probe.Handle(), kProbe, 0, 0);
    int notifications = 0;
    const auto pump = [&] {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            notifications += msg.hwnd == link.Window() && msg.message == WM_APP_QUARNEL_SOCKET;
            ::DispatchMessageW(&msg);
        }
    };
    // Once all are read, 20 more rounds: a notification still to come would come now.
    for (int i = 0, roundsAfter = 0; i < 1000 && roundsAfter < 20; ++i) {
        pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        roundsAfter += listener.CountOf("SENDPKT:") >= 300;
    }
    EXPECT_EQ(listener.CountOf("SENDPKT:"), 300u);
    EXPECT_LE(packetsAtProbe, size_t(CQuarnelNetwork::kMaxDatagramsPerTurn));
    EXPECT_LE(notifications, 300 / CQuarnelNetwork::kMaxDatagramsPerTurn + 1);
}

// A station's packets that each cost more than a slice (they run commands for every cluster) are taken one a
// turn, so that input and paint wait for one of them, not for all that wait on the port.
TEST_F(QuarnelNetworkTest, PacketsThatCostMoreThanASliceAreTakenOneATurn)
{
    const CBroadcastSender sender(station.Port());
    constexpr int kPackets = 8;
    for (int n = 0; n < kPackets; ++n)
        ASSERT_TRUE(sender.Send(FramePacket("SENDPKT: \"STN2\" \"\" \"" + std::to_string(n) + "\"")));
    ::Sleep(300); // all of them wait on the port before anything is dispatched
    int inThisMessage = 0;
    listener.onPacket = [&](const Fields&) {
        ++inThisMessage;
        ::Sleep(DWORD(CReadTurns::kSliceMs + 5));
    };
    int mostInOneMessage = 0;
    const ULONGLONG end = ::GetTickCount64() + 10000;
    while (listener.CountOf("SENDPKT:") < size_t(kPackets) && ::GetTickCount64() < end) {
        MSG msg;
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        inThisMessage = 0;
        ::DispatchMessageW(&msg);
        mostInOneMessage = std::max(mostInOneMessage, inThisMessage);
    }
    EXPECT_EQ(listener.CountOf("SENDPKT:"), size_t(kPackets));
    EXPECT_EQ(mostInOneMessage, 1) << "packets taken in one message";
}

TEST_F(QuarnelNetworkTest, ASendErrorIsReportedOncePerRunOfFailures)
{
    const auto allowBroadcast = [&](int on) {
        ::setsockopt(link.Socket(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
    };
    std::u16string error;
    allowBroadcast(0);
    EXPECT_FALSE(link.SendReceivedSpot("a\n", error));
    EXPECT_EQ(error.rfind(u"network error ", 0), 0u) << U16ToAscii(error);
    EXPECT_FALSE(link.SendGab(u"STN1", u"b", error));
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(link.SendSkimmerClient(u"STN1", 0, error));
    EXPECT_TRUE(error.empty());
    allowBroadcast(1);
    EXPECT_TRUE(link.SendReceivedSpot("c\n", error));
    EXPECT_TRUE(error.empty());
    allowBroadcast(0);
    EXPECT_FALSE(link.SendReceivedSpot("d\n", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(QuarnelNetworkTest, AListenerThatRestartsTheLinkGetsNothingMoreOfThatDelivery)
{
    std::u16string error;
    listener.onPacket = [&](const Fields&) {
        link.Stop();
        link.Open(u"127.255.255.255", station.Port(), u"TELNET", error);
    };
    const std::string partial = FramePacket("SENDPKT: \"STN2\" \"\" \"3\"").substr(0, 5);
    link.OnDatagram(0x7F000001, 5000,
                    FramePacket("SENDPKT: \"STN2\" \"\" \"1\"") + FramePacket("SENDPKT: \"STN2\" \"\" \"2\"") + partial);
    ASSERT_EQ(listener.packets.size(), 1u);
    EXPECT_EQ(listener.packets[0][3], "1");
    EXPECT_TRUE(link.IsOpen());
    // The restart dropped the unfinished packet too.
    listener.onPacket = nullptr;
    link.OnDatagram(0x7F000001, 5000, FramePacket("SENDPKT: \"STN2\" \"\" \"3\"").substr(5));
    EXPECT_EQ(listener.packets.size(), 1u);
}

TEST_F(QuarnelNetworkTest, AListenerThatClosesTheLinkDuringANotificationEndsItSafely)
{
    listener.onPacket = [&](const Fields& fields) {
        if (fields[0] == "SENDPKT:") link.Close();
    };
    AskStation(u"burst 20");
    EXPECT_TRUE(test::PumpUntil([&] { return !link.IsOpen(); }, 5000));
    test::PumpFor(200);
    EXPECT_EQ(listener.CountOf("SENDPKT:"), 1u);
    EXPECT_EQ(link.Window(), nullptr);
}

TEST_F(QuarnelNetworkTest, StoppingKeepsTheWindowClosingDestroysItAndClosedSendsDoNothing)
{
    const HWND window = link.Window();
    ASSERT_NE(window, nullptr);
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    EXPECT_EQ(U16(title), u"Kestrivane Quarnel network");
    const int generation = link.Generation();
    link.Stop();
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.Window(), window);
    EXPECT_GT(link.Generation(), generation);
    std::u16string error = u"stale";
    EXPECT_TRUE(link.SendGab(u"STN1", u"x", error));
    EXPECT_TRUE(error.empty());
    EXPECT_TRUE(link.SendSkimmerClient(u"STN1", 0, error));
    EXPECT_TRUE(link.SendReceivedSpot("x\n", error));
    std::u16string openError;
    ASSERT_TRUE(link.Open(u"127.255.255.255", station.Port(), u"TELNET", openError));
    EXPECT_EQ(link.Window(), window);
    link.Close();
    EXPECT_EQ(link.Window(), nullptr);
    EXPECT_FALSE(::IsWindow(window));
    test::PumpFor(100);
    bool badChecksum = false;
    EXPECT_TRUE(StationPackets(&badChecksum).empty());
}

TEST_F(QuarnelNetworkTest, AnAddressThatIsNotIpv4FailsToOpen)
{
    std::u16string error;
    EXPECT_FALSE(link.Open(u"192.168.1.300", station.Port(), u"TELNET", error));
    EXPECT_EQ(error, u"invalid broadcast address: 192.168.1.300");
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(link.Open(u" 192.168.1.255\t", 9871, u"TELNET", error)) << U16ToAscii(error);
    EXPECT_EQ(link.BroadcastAddressText(), u"192.168.1.255");
    EXPECT_EQ(link.Port(), 9871);
    EXPECT_EQ(FormatNetworkError(10048), u"network error 10048");
}
