#pragma once
// Received data bytes not yet shown as text. Whole lines are decoded one by one (each line picks UTF-8 or
// Latin-1 for itself); the unfinished last line is decoded too, less an unfinished UTF-8 character, which
// waits for the next chunk.
#include <string>
#include <string_view>

namespace kv {

class CReceiveBuffer {
public:
    void Append(std::string_view bytes) { bytes_.append(bytes); }
    // final: the connection is over, an unfinished character is decoded as it stands.
    std::u16string TakeText(bool final);
    void Clear() { bytes_.clear(); }
    bool Empty() const { return bytes_.empty(); }

private:
    std::string bytes_;
};

} // namespace kv
