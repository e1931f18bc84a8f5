// Any text, in pieces of any style, through what a receive pane shows: no display line beyond its bound, no
// lone surrogate, no control character but tab and line end, and the line ends counted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/ShownTextConverter.h"

namespace {

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void Check(const kv::CShownTextConverter::Block& block, size_t& lineLength)
{
    int lineEnds = 0;
    for (size_t i = 0; i < block.text.size(); ++i) {
        const char16_t c = block.text[i];
        if (c == u'\n') {
            ++lineEnds;
            lineLength = 0;
            continue;
        }
        if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F)) std::abort();
        if (IsHigh(c) && (i + 1 >= block.text.size() || !IsLow(block.text[i + 1]))) std::abort();
        if (IsLow(c) && (i == 0 || !IsHigh(block.text[i - 1]))) std::abort();
        if (++lineLength > kv::CShownTextConverter::kMaxLineLength) std::abort();
    }
    if (lineEnds != block.newLines) std::abort();
}

} // namespace

// Each piece: a style byte, a count byte, a length byte, then that many UTF-16 code units (two bytes each),
// repeated count times, so that short inputs make long lines too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kv::CShownTextConverter converter;
    size_t lineLength = 0;
    size_t at = 0;
    while (at + 3 <= size) {
        const int style = data[at] % 6;
        const int count = data[at + 1] + 1;
        const size_t units = data[at + 2];
        at += 3;
        std::u16string unit;
        for (; unit.size() < units && at + 2 <= size; at += 2) unit.push_back(char16_t(data[at] | data[at + 1] << 8));
        std::u16string piece;
        for (int i = 0; i < count; ++i) piece += unit;
        Check(converter.Convert(piece, style), lineLength);
        if (lineLength != converter.LineLength()) std::abort();
    }
    return 0;
}
