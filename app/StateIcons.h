#pragma once
// The small icons drawn at run time with GDI+ (GDI+ must have been started): the 20 state icons of the
// connection tabs and the three "R" markers of the cluster chooser. Coordinates are in a 16 x 16 design square.
#include "win/GdiPlus.h"
#include "win/ImageList.h"

namespace kv {

constexpr int kStateIconCount = 20;
constexpr int kBadgeIconCount = 3;

// Page states as the icons draw them.
enum PageStateIcon : int { IconDisconnected = 0, IconConnecting = 1, IconConnected = 2, IconError = 3, IconWaiting = 4 };
// Variant bits: the connection sends its spots to the logger network; it takes spots from it.
constexpr int kVariantSendsToLogger = 1;
constexpr int kVariantTakesFromLogger = 2;

inline int StateIconIndex(int state, int variant) { return state * 4 + variant; }

// Re-creates the list with 20 icons of MulDiv(16, dpi, 96) pixels; false as soon as one cannot be made.
bool UpdateStateIcons(CImageList& list, int dpi);
// An icon of size x size pixels, or null; the caller destroys it.
HICON DrawStateIcon(int state, int size, int variant);
void DrawLoggerBadge(Gdiplus::Graphics& graphics, int variant);
// Re-creates the list with three icons: empty, the blue outlined "R", the orange filled "R".
bool CreateBadgeIcon(CImageList& list, int dpi);

} // namespace kv
