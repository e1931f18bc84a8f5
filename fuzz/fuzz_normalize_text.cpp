// NormalizeSpotText and TransliterateToAscii on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/spot_line_fuzz.h"
#include "spots/SpotLine.h"
#include "spots/Transliteration.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string ascii = TransliterateToAscii(text);
    fuzz::Require(fuzz::IsAscii(ascii), "transliterated text is ASCII");
    fuzz::Require(ascii.size() <= text.size() * 2, "at most two characters per byte");
    const std::string normalized = NormalizeSpotText(text);
    fuzz::Require(fuzz::IsAscii(normalized), "normalised text is ASCII");
    fuzz::Require(fuzz::IsNormalized(normalized), "normalised text has single inner spaces only");
    fuzz::Require(NormalizeSpotText(normalized) == normalized, "normalising twice changes nothing");
    return 0;
}
