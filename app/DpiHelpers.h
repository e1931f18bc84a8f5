#pragma once
// Per-monitor DPI: the window manager's DPI functions where the system has them, the screen DPI where not,
// and the interface font made for a DPI. Sizes are designed at 96 DPI and scaled with ScaleForDpi.
#include "win/Font.h"
#include "win/Win32.h"

namespace kv {

struct DpiFunctions {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

    GetDpiForWindowFn GetDpiForWindow = nullptr;
    GetSystemMetricsForDpiFn GetSystemMetricsForDpi = nullptr;
    AdjustWindowRectExForDpiFn AdjustWindowRectExForDpi = nullptr;
    int ScreenDpi = 96;
};

// Looked up once, on first use (safe against concurrent first use), and kept for the run.
const DpiFunctions& GetDpiFunctions();

inline int ScaleForDpi(int size, int dpi) { return ::MulDiv(size, dpi, 96); }

// The window's own DPI where the system can tell it, else the screen DPI.
int GetWindowDpi(HWND window);
int GetSystemMetricForDpi(int index, int dpi);
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);

// The system's message font scaled to the DPI; false (and the font left alone) when the metrics cannot be read.
bool CreateScaledUiFont(CFont& font, int dpi);
// The system's menu font at the DPI, which the tab strip's labels use; false (font left alone) as above.
bool ApplyMenuFontForDpi(CFont& font, int dpi);

} // namespace kv
