#include "app/DpiHelpers.h"

namespace kv {
namespace {

template <typename Fn> Fn User32Function(HMODULE user32, const char* name)
{
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

int ReadScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    if (!screen) return 96;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

DpiFunctions LookUpDpiFunctions()
{
    DpiFunctions f;
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    f.GetDpiForWindow = User32Function<DpiFunctions::GetDpiForWindowFn>(user32, "GetDpiForWindow");
    f.GetSystemMetricsForDpi = User32Function<DpiFunctions::GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi");
    f.AdjustWindowRectExForDpi =
        User32Function<DpiFunctions::AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi");
    f.ScreenDpi = ReadScreenDpi();
    return f;
}

} // namespace

const DpiFunctions& GetDpiFunctions()
{
    static const DpiFunctions functions = LookUpDpiFunctions();
    return functions;
}

int GetWindowDpi(HWND window)
{
    const DpiFunctions& f = GetDpiFunctions();
    if (f.GetDpiForWindow && window && ::IsWindow(window)) {
        const UINT dpi = f.GetDpiForWindow(window);
        if (dpi != 0) return int(dpi);
    }
    return f.ScreenDpi;
}

int GetSystemMetricForDpi(int index, int dpi)
{
    const DpiFunctions& f = GetDpiFunctions();
    if (f.GetSystemMetricsForDpi) return f.GetSystemMetricsForDpi(index, UINT(dpi));
    return ::MulDiv(::GetSystemMetrics(index), dpi, f.ScreenDpi);
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi)
{
    const DpiFunctions& f = GetDpiFunctions();
    if (f.AdjustWindowRectExForDpi) return f.AdjustWindowRectExForDpi(&rect, style, menu, exStyle, UINT(dpi)) != FALSE;
    return ::AdjustWindowRectEx(&rect, style, menu, exStyle) != FALSE;
}

namespace {

bool CreateScaledSystemFont(CFont& font, LOGFONTW NONCLIENTMETRICSW::*which, int dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics; // the full size, with the padded border width
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
    LOGFONTW lf = metrics.*which;
    lf.lfHeight = ::MulDiv(lf.lfHeight, dpi, GetDpiFunctions().ScreenDpi);
    return font.CreateIndirect(lf);
}

} // namespace

bool CreateScaledUiFont(CFont& font, int dpi) { return CreateScaledSystemFont(font, &NONCLIENTMETRICSW::lfMessageFont, dpi); }

bool ApplyMenuFontForDpi(CFont& font, int dpi) { return CreateScaledSystemFont(font, &NONCLIENTMETRICSW::lfMenuFont, dpi); }

} // namespace kv
