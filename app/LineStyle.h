#pragma once
// How a block of text in a receive pane is drawn: the kind sets only the colour and the italic and
// strike-out effects; every append sets all three.
#include <cstdint>

namespace kv {

enum LineStyle : int {
    LineReceived = 0,
    LineSent = 1,      // typed, login, connection commands
    LineNotice = 2,
    LineError = 3,
    LineRejected = 4,  // by the spot filters, or an invalid web spot
    LineDuplicate = 5, // withheld as already forwarded
};

struct LineLook {
    bool systemColour = true; // colour from the system: systemColourIndex, else rgb
    int systemColourIndex = 8; // COLOR_WINDOWTEXT
    uint8_t red = 0, green = 0, blue = 0;
    bool italic = false;
    bool strikeOut = false;
};

// Any value that is not a kind draws as received text.
LineLook LookOfLineStyle(int style);

} // namespace kv
