#pragma once
// One line of the log pane: the UTC time, the connection's name when there is one, the text.
#include <string>
#include <string_view>

#include "base/Platform.h"

namespace kv {

// CR and LF inside the text become blanks, so that one entry stays one line.
std::u16string FormatLogLine(const UtcTime& time, std::u16string_view connectionName, std::u16string_view text);

} // namespace kv
