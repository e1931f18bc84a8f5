#include "app/LineStyle.h"

namespace kv {
namespace {

constexpr int kWindowText = 8; // COLOR_WINDOWTEXT
constexpr int kGrayText = 17;  // COLOR_GRAYTEXT

LineLook Fixed(uint8_t r, uint8_t g, uint8_t b) { return LineLook{false, 0, r, g, b, false, false}; }
LineLook Grey(bool italic) { return LineLook{true, kGrayText, 0, 0, 0, italic, true}; }

} // namespace

LineLook LookOfLineStyle(int style)
{
    switch (style) {
    case LineSent: return Fixed(0, 80, 192);
    case LineNotice: return Fixed(0, 128, 0);
    case LineError: return Fixed(192, 0, 0);
    case LineRejected: return Grey(true);
    case LineDuplicate: return Grey(false);
    default: return LineLook{true, kWindowText, 0, 0, 0, false, false};
    }
}

} // namespace kv
