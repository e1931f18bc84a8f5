#pragma once
// Who receives the packets that the logger network's link decodes (the connection view).
#include <string>
#include <vector>

namespace kv {

class IQuarnelListener {
public:
    virtual ~IQuarnelListener() = default;
    // The fields of one packet, the keyword with its colon first; never empty.
    virtual void OnQuarnelPacket(const std::vector<std::string>& fields) = 0;
};

} // namespace kv
