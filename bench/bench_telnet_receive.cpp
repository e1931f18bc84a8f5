// Received cluster text through the Telnet layer and the decoding, 4096 bytes a read as from the socket.
#include <benchmark/benchmark.h>

#include "connections/CTelnetSession.h"
#include "tests/connections/TelnetSessionFakes.h"

using namespace kv;

namespace {

// A page that only looks at what it is given.
class CCountingListener : public ITransportListener {
public:
    void OnStateChanged(int) override {}
    void OnTextReceived(const std::u16string& text) override { chars += text.size(); }
    void OnRawDataReceived(const std::string& bytes) override { raw += bytes.size(); }
    void OnInvalidLine(const std::u16string&, const std::u16string&) override {}
    void OnLineSent(const std::u16string&) override {}
    void OnLogMessage(bool, unsigned, const std::u16string&) override {}
    void OnLoggedIn() override {}
    void OnTraffic(unsigned, unsigned) override {}
    void OnLinesTakenAgain() override {}
    size_t chars = 0, raw = 0;
};

// Spot lines with the bell of a real node, a listing, a prompt, now and then a line in Latin-1 or UTF-8
// and a Telnet command.
std::string TypicalClusterText(size_t size)
{
    const char* lines[] = {
        "DX de N0TST:     14025.0  DL1XYZ       test                           1928Z\x07\x07\r\n",
        "DX de OH2BH-#:   7012.5  JA1ABC       CW 22 dB 25 WPM CQ             1929Z\x07\x07\r\n",
        "DX de EA5XX:     21074.0  VK2DEF       FT8 -12 dB 1234 Hz             1930Z\x07\x07\r\n",
        "  14025.0 DL1XYZ       8-Dec-2026 1928Z test                          <N0TST>\r\n",
        "DX de DK1AA:     10136.0  PY2ZZZ       Gr\xc3\xbc\xc3\x9f" "e aus M\xc3\xbcnchen        1931Z\x07\x07\r\n",
        "N0CALL de GB7TST  8-Dec-2026 1928Z dxspider >\r\n",
        "DX de F5XYZ:     3525.0  TF3ABC       tnx f\xfcr QSO                  1932Z\x07\x07\r\n",
        "\xff\xf1WWV de W1AW <18>:   SFI=150, A=5, K=1, No Storms -> No Storms\r\n",
    };
    std::string text;
    for (size_t i = 0; text.size() < size; ++i) text += lines[(i * 5) % 8];
    text.resize(size);
    return text;
}

void BM_TelnetReceive(benchmark::State& state)
{
    const std::string text = TypicalClusterText(1 << 20);
    CCountingListener listener;
    test::CFakeTelnetSocket socket;
    test::CFakeTimers timers;
    test::CFakeClock clock;
    CTelnetSession session(&listener, socket, timers, clock);
    CConnectionSettings settings;
    settings.Host = u"cluster.example";
    session.Connect(settings, 500, {});
    socket.open = true;
    session.OnConnectDone(0);
    session.OnReceived("login: "); // no login set: the login ends here, as after a real login
    for (auto _ : state) {
        for (size_t pos = 0; pos < text.size(); pos += CTelnetSession::kReadSize)
            session.OnReceived(std::string_view(text).substr(pos, CTelnetSession::kReadSize));
        benchmark::DoNotOptimize(listener.chars);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_TelnetReceive)->Unit(benchmark::kMillisecond);

} // namespace
