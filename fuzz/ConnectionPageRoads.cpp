// Received chunks through both roads of a connection page, with the timers firing or not. Invariants: the
// display shows every received character once and in order, whatever the filters decide; without filters
// and de-duplication the logger gets exactly the received bytes less the CR of each CR LF; packets hold
// whole lines of at most 200 bytes or one longer line; what waits never grows beyond 8 KiB.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "base/Utf.h"
#include "connections/CConnectionController.h"
#include "connections/ReceivedLines.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "tests/support/PageRoadFakes.h"

using namespace kv;
using namespace kv::test;

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

std::u16string AsText(std::string_view bytes)
{
    std::u16string text = Latin1ToUtf16(bytes);
    std::erase(text, u'\r');
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const uint8_t options = data[0];
    GeneralSettings general;
    general.SendSpotsOnce = false;
    GlobalSpotFilterLevels levels;
    levels.rejectOutOfBand = (options & 1) != 0;
    CCollectingPageHost host;
    CCollectingLogger logger;
    logger.onPacket = [](std::string_view lines) {
        const size_t firstEnd = lines.find('\n');
        Check(lines.size() <= 200 || firstEnd == std::string_view::npos || firstEnd + 1 == lines.size());
    };
    CConnectionController page(host, {&general, &levels, nullptr, &logger, nullptr, nullptr}, nullptr);
    page.Transport = host.MakeTransport(ConnectionTelnet, page);

    std::string received;
    size_t pos = 1;
    while (pos < size) {
        const size_t wanted = data[pos++];
        const size_t length = std::min(wanted, size - pos);
        const std::string chunk(reinterpret_cast<const char*>(data + pos), length);
        pos += length;
        received += chunk;
        page.OnRawDataReceived(chunk);
        page.OnTextReceived(AsText(chunk));
        if (options & 2) page.OnTimer(CConnectionController::kForwardTimer);
        if (options & 4) page.OnTimer(CConnectionController::kDisplayTimer);
        Check(page.PendingForward.size() <= CConnectionController::kPendingLimit);
        Check(page.PendingDisplay.size() <= CConnectionController::kPendingLimit);
    }
    page.FlushPendingForward(true);
    page.FlushPendingDisplay();
    Check(host.shown == AsText(received));
    if (!levels.rejectOutOfBand) Check(logger.forwarded == RemoveCarriageReturns(received));
    return 0;
}
