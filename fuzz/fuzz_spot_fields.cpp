// ParseSpotFields and its two line forms on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/spot_line_fuzz.h"
#include "spots/SpotLine.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    SpotFields fields;
    if (ParseDxDeSpotFields(line, fields)) {
        fuzz::Require(!fields.dxCall.empty(), "a DX de spot has a DX call");
        fuzz::Require(BlankLengthAt(fields.dxCall, 0) == 0, "the DX call starts with no blank");
        fuzz::Require(fields.frequency >= 0, "the frequency is not negative");
        fuzz::Require(fields.comment.empty() || BlankLengthAt(fields.comment, 0) == 0, "comment starts with a word");
        fuzz::Require(line.find(fields.comment) != std::string::npos, "the comment is text of the line");
    }
    for (const bool tailToken : {false, true}) {
        if (!ParseShowDxSpotFields(line, tailToken, fields)) continue;
        fuzz::Require(!fields.dxCall.empty() && fields.dxCall.back() != '/', "listing DX call without final /");
        fuzz::Require(fields.frequency > 0, "listing frequency above 0");
        fuzz::Require(!fields.spotter.empty() && fields.spotter.find_first_of(" \t<") == std::string::npos,
                      "listing spotter is one word");
    }
    ParseSpotFields(line, true, fields);
    return 0;
}
