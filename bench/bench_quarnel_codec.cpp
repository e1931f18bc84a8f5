// The logger network's codec on its two hot roads: a spot block out, a station's packet in.
#include <benchmark/benchmark.h>

#include "connections/QuarnelCodec.h"
#include "connections/QuarnelReassembly.h"

using namespace kv;

namespace {

std::string SpotBlock(size_t bytes)
{
    const std::string line = "DX de DL1XX-#:    14025.0  K1ABC        CW 24 dB 22 WPM CQ \xE9t\xE9  1200Z\n";
    std::string block;
    while (block.size() + line.size() <= bytes) block += line;
    block.append(bytes - block.size() - 1, 'x');
    return block + "\n";
}

void BuildAndFrameReceivedSpot(benchmark::State& state)
{
    const std::string appId = EscapeField("TELNET");
    const std::string block = SpotBlock(200);
    for (auto _ : state) {
        std::string framed = FramePacket(MakeReceivedSpotPacket(appId, block));
        benchmark::DoNotOptimize(framed);
    }
}
BENCHMARK(BuildAndFrameReceivedSpot);

void ReassembleAndSplitFourDatagrams(benchmark::State& state)
{
    std::string message;
    std::string text;
    while (FramePacket(text).size() <= 3 * kQuarnelDatagramSize + 100) {
        message += "sh/dx 20 \xE9 ";
        text = "SENDPKT: \"STN1\" \"\" \"" + EscapeField(message) + "\"";
    }
    const std::string framed = FramePacket(text);
    const auto datagrams = CutIntoDatagrams(framed);
    if (datagrams.size() != 4) state.SkipWithError("not four datagrams");
    CQuarnelReassembly parts;
    const uint64_t sender = CQuarnelReassembly::SenderKey(0xC0A80005, 9871);
    for (auto _ : state) {
        size_t fields = 0;
        for (const auto datagram : datagrams)
            for (const auto& packet : parts.Add(sender, datagram)) fields += DecodePacket(packet).size();
        benchmark::DoNotOptimize(fields);
    }
}
BENCHMARK(ReassembleAndSplitFourDatagrams);

} // namespace
