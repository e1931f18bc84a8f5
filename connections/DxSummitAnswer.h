#pragma once
// Reading the answer of the DX Summit service: a JSON array of spot objects.
#include <string_view>
#include <vector>

#include "connections/DxSummitSpots.h"

namespace kv {

// False when the body is not an array of objects; then whatever was appended must be ignored. Members of
// other names are skipped; numbers given as strings are read like bare numbers; null is an empty text.
bool ParseDxSummitSpots(std::string_view body, std::vector<DxSummitSpot>& spots);

} // namespace kv
