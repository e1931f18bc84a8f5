// ParseDxDeLine, the reading of the sent-spot store, on arbitrary bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "base/Ascii.h"
#include "fuzz/spot_line_fuzz.h"
#include "spots/SpotLine.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    SentSpotKey key;
    if (!ParseDxDeLine(line, key)) return 0;
    const std::string& k = key.key;
    fuzz::Require(std::count(k.begin(), k.end(), '|') >= 3, "four fields joined by |");
    fuzz::Require(k.size() >= 8 && k[k.size() - 5] == '|', "the key ends with |hhmm");
    for (size_t i = k.size() - 4; i < k.size(); ++i) fuzz::Require(IsAsciiDigit(k[i]), "the time is four digits");
    fuzz::Require(fuzz::IsAscii(key.comment) && fuzz::IsNormalized(key.comment), "the comment is normalised");
    SentSpotKey again;
    fuzz::Require(ParseDxDeLine(line, again) && again.key == key.key && again.comment == key.comment,
                  "parsing holds no state");
    return 0;
}
