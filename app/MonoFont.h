#pragma once
// The fixed-pitch text font of the text panes and send lines, made for one DPI.
#include <string>

#include "win/Font.h"

namespace kv {

struct MonoFont {
    CFont Font;
    std::u16string FaceName; // the face the system really used
    int PointSize = 0;
    int CharWidth = 0;  // width of "W"
    int LineHeight = 0; // tmHeight + tmExternalLeading

    // Makes the font; refuses (leaving the record as it was) a face that the system substitutes or one
    // that is not fixed-pitch, so that the caller can try another face.
    bool CreateFontForDpi(const std::u16string& face, int pointSize, int dpi);
};

} // namespace kv
