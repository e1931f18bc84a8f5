// Keys typed while a node floods the program, through the program's own message loop: they go in as they do
// with the node quiet, not one read of the flooding socket after another.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "connections/CTelnetConnection.h"
#include "tests/support/WinTestSupport.h"
#include "win/MessageLoop.h"

using namespace kv;
using namespace kv::test;

namespace {

// A page as the flood costs it: each chunk of received bytes takes a couple of milliseconds to handle.
class CSlowPage : public ITransportListener {
public:
    void OnStateChanged(int) override {}
    void OnTextReceived(const std::u16string&) override {}
    void OnRawDataReceived(const std::string&) override
    {
        ++chunks;
        ::Sleep(2);
        if (afterChunk) afterChunk();
    }
    void OnInvalidLine(const std::u16string&, const std::u16string&) override {}
    void OnLineSent(const std::u16string&) override {}
    void OnLogMessage(bool, unsigned, const std::u16string&) override {}
    void OnLoggedIn() override {}
    void OnLinesTakenAgain() override {}
    void OnTraffic(unsigned, unsigned) override {}

    int chunks = 0;
    std::function<void()> afterChunk;
};

int TextLength(HWND window) { return ::GetWindowTextLengthW(window); }

// Dispatches messages one at a time until the predicate holds: the queue of a flooded thread is never empty.
bool PumpEachUntil(const std::function<bool()>& done, unsigned timeoutMs)
{
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (!done() && ::GetTickCount64() < end) {
        MSG msg;
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return done();
}

// A node on loopback that pours spot lines into its one connection for as long as it is read, on a thread of its
// own with blocking sockets: its socket always holds more than the page has taken.
class CPouringNode {
public:
    CPouringNode()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Pour(); });
    }
    ~CPouringNode()
    {
        ::closesocket(listener_); // ends a wait for the connection; the connection ends when the client closes
        if (thread_.joinable()) thread_.join();
    }
    uint16_t Port() const { return port_; }

private:
    void Pour()
    {
        const SOCKET connection = ::accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) return;
        std::string lines;
        for (int n = 0; lines.size() < 65536; ++n)
            lines += "DX de K1ABC:     14025.0  JA" + std::to_string(10000 + n) + "X     CQ TEST      1200Z\a\a\r\n";
        while (::send(connection, lines.data(), int(lines.size()), 0) > 0) {}
        ::closesocket(connection);
    }

    SOCKET listener_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    std::thread thread_;
};

} // namespace

// 20 keys in one burst into an edit box while a node floods: they are all in before more than a few chunks of
// the flood are read (a slice's worth), where reading every waiting chunk before each key would take 40 chunks
// at least (a key goes down and up).
TEST(KeysDuringAFlood, TwentyKeysGoInBeforeAFewChunksOfTheFloodAreRead)
{
    WSADATA wsa;
    ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &wsa), 0);
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 80, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    ::SetForegroundWindow(edit);
    ::SetFocus(edit);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == edit; }, 5000));

    CPouringNode node;
    ASSERT_NE(node.Port(), 0);
    CSlowPage page;
    CTelnetConnection connection(&page);
    CConnectionSettings settings;
    settings.Host = u"127.0.0.1";
    settings.Port = node.Port();
    settings.Login = u"N0CALL";
    ASSERT_TRUE(connection.Connect(settings, 100, {}));
    ASSERT_TRUE(PumpEachUntil([&] { return page.chunks >= 100; }, 20000)) << "the flood did not come";

    // The keys, then the program's loop until they are in. The flood ends then: a quit message waits for the
    // posted messages, which a flood never lets run out.
    constexpr int kKeys = 20;
    const int chunksBefore = page.chunks;
    const ULONGLONG deadline = ::GetTickCount64() + 20000;
    int chunksWhileTyped = -1;
    page.afterChunk = [&] {
        const bool typed = TextLength(edit) >= kKeys;
        if (chunksWhileTyped >= 0 || (!typed && ::GetTickCount64() < deadline)) return;
        chunksWhileTyped = typed ? page.chunks - chunksBefore : page.chunks;
        connection.Disconnect();
        ::PostQuitMessage(0);
    };
    std::vector<std::pair<WORD, bool>> keys;
    for (int n = 0; n < kKeys; ++n) {
        keys.emplace_back(WORD('A' + n), true);
        keys.emplace_back(WORD('A' + n), false);
    }
    SendKeys(keys);
    CMessageLoop().Run();

    EXPECT_EQ(TextLength(edit), kKeys);
    EXPECT_LT(chunksWhileTyped, 20) << "chunks read while the keys went in";
    std::printf("[ figure ] %d chunks of the flood read while 20 keys went in\n", chunksWhileTyped);
    ::DestroyWindow(edit);
    PumpFor(100);
    ::WSACleanup();
}
