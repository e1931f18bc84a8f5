#pragma once
// What a read-only pane hands up when the user asks to test a line in the spot filters. It travels by
// address with a synchronous send and lives on the sender's stack meanwhile.
#include <string>

namespace kv {

struct SpotTestRequest {
    std::u16string Line;  // the clicked line, without its line end
    int CharIndex = 0;    // the character under the click in the text control
    std::u16string Reason; // the receive pane's, only for a line withheld as a duplicate
};

} // namespace kv
