// Received blocks of spot lines through both roads of a connection page: with no filter (the display
// takes the text in one piece) and with filter levels that judge every line on both roads.
#include <benchmark/benchmark.h>

#include "base/Utf.h"
#include "connections/CConnectionController.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "tests/support/PageRoadFakes.h"

using namespace kv;
using namespace kv::test;

namespace {

std::string Block(int lines)
{
    static const char* const calls[] = {"DL1XYZ", "N4XJZ", "F5ABC", "JA1AAA", "ZS6XYZ", "VK2AB"};
    std::string block;
    for (int i = 0; i < lines; ++i)
        block += "DX de W3LPL-#:    1402" + std::to_string(i % 10) + ".0  " + calls[i % 6] +
                 "       CW 24 dB 27 WPM CQ             1928Z\x07\x07\r\n";
    return block;
}

void Roads(benchmark::State& state, bool filters)
{
    GeneralSettings general;
    general.SendSpotsOnce = false;
    GlobalSpotFilterLevels levels;
    levels.rejectOutOfBand = filters;
    if (filters) {
        levels.texts[0].dxCalls = u"F5* JA*";
        levels.texts[0].words = u"\"QRT NOW\"";
        levels.CompileLevel(0);
    }
    CCollectingPageHost host;
    CCollectingLogger logger;
    CConnectionController page(host, {&general, &levels, nullptr, &logger, nullptr, nullptr}, nullptr);
    page.Transport = host.MakeTransport(ConnectionTelnet, page);
    const std::string bytes = Block(40);
    const std::u16string text = Latin1ToUtf16(bytes);
    for (auto _ : state) {
        page.OnRawDataReceived(bytes);
        page.OnTextReceived(text);
        host.shown.clear();
        logger.forwarded.clear();
    }
    state.SetItemsProcessed(state.iterations() * 40);
}

void BM_RoadsWithoutFilters(benchmark::State& state) { Roads(state, false); }
void BM_RoadsWithFilters(benchmark::State& state) { Roads(state, true); }

} // namespace

BENCHMARK(BM_RoadsWithoutFilters);
BENCHMARK(BM_RoadsWithFilters);
