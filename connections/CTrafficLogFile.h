#pragma once
// The traffic log's file: appended to with the Win32 file API, shared with anyone who reads, writes or
// deletes it meanwhile.
#include "connections/CTrafficLog.h"

namespace kv {

class CTrafficLogFile : public ITrafficLogFile {
public:
    bool Append(const std::u16string& path, const std::string& headerUtf8, const std::string& textUtf8) override;
};

} // namespace kv
