#include "connections/CReceiveBuffer.h"

#include "connections/TelnetText.h"

namespace kv {
std::u16string CReceiveBuffer::TakeText(bool final)
{
    const std::string_view all(bytes_);
    const size_t lastLineEnd = all.rfind('\n');
    const size_t linesEnd = lastLineEnd == std::string_view::npos ? 0 : lastLineEnd + 1;
    size_t end = all.size();
    if (!final) end -= IncompleteUtf8TailLength(all.substr(linesEnd));
    const std::string_view taken = all.substr(0, end);

    std::u16string text;
    if (!ContainsNonAscii(taken)) {
        // Plain ASCII reads the same whichever way each line is decoded.
        text = DecodeReceivedBytes(taken);
    } else {
        size_t start = 0;
        while (start < taken.size()) {
            const size_t lf = taken.find('\n', start);
            const size_t stop = lf == std::string_view::npos ? taken.size() : lf + 1;
            text += DecodeReceivedBytes(taken.substr(start, stop - start));
            start = stop;
        }
    }
    bytes_.erase(0, end);
    return text;
}

} // namespace kv
