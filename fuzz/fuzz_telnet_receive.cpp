// Received bytes through the Telnet session in chunks chosen by the input: the data bytes and the answers
// must not depend on the chunking, and the text shown must hold no control characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "connections/CTelnetProtocol.h"
#include "connections/TelnetText.h"
#include "tests/connections/TelnetSessionFakes.h"

using namespace kv;

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

bool Shown(char16_t c)
{
    if (c == u'\t' || c == u'\n') return true;
    return c >= 0x20 && c != 0x7F && (c < 0x80 || c > 0x9F);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const unsigned chunkSeed = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    CTelnetProtocol whole;
    std::string wholeData, wholeReplies;
    whole.Feed(bytes, wholeData, wholeReplies);

    test::CSessionRig rig;
    rig.Connect(test::CSessionRig::Endpoint(u"N0CALL", u"secret", {u"sh/dx"}));
    rig.TakeSent();
    size_t pos = 0, step = 0;
    while (pos < bytes.size()) {
        const size_t n = 1 + ((chunkSeed >> (step++ % 8)) * 7 + pos) % 37;
        rig.Receive(bytes.substr(pos, n));
        pos += n;
    }
    rig.session.OnServerClosed();

    Check(rig.listener.raw == wholeData);
    Check(rig.listener.bytesIn == bytes.size());
    const std::string sent = rig.socket.sent;
    // Every answer goes out in order; login lines may stand between them.
    size_t at = 0;
    for (size_t i = 0; i < wholeReplies.size(); i += 3) {
        const size_t found = sent.find(wholeReplies.substr(i, 3), at);
        Check(found != std::string::npos);
        at = found + 3;
    }
    for (char16_t c : rig.listener.text) Check(Shown(c));
    Check(rig.listener.text.size() <= wholeData.size());
    for (char16_t c : DecodeReceivedBytes(bytes)) Check(Shown(c));
    return 0;
}
