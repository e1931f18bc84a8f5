#pragma once
// The program's version as it is shown and written to [General] LastVersion.
#include <string>

#include "base/Format.h"

namespace kv {

constexpr int kVersionMajor = 4;
constexpr int kVersionMinor = 0;

inline std::u16string GetVersionText() { return FormatText(u"%d.%d", kVersionMajor, kVersionMinor); }

} // namespace kv
