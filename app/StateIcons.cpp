#include "app/StateIcons.h"

#include <functional>
#include <memory>
#include <vector>

#include "app/DpiHelpers.h"

namespace kv {
namespace {

using Gdiplus::Color;
using Gdiplus::PointF;

const Color kConnectingDisc(255, 224, 154, 26);
const Color kConnectedDisc(255, 59, 155, 47);
const Color kErrorDisc(255, 217, 59, 59);
const Color kDisconnectedRing(255, 138, 138, 133);
const Color kWaitingDisc(255, 47, 122, 200);
const Color kWhite(255, 255, 255, 255);
const Color kBlue(255, 31, 111, 200);
const Color kOrange(255, 224, 122, 16);
const Color kGrey(255, 96, 96, 96);

using Painter = std::function<void(Gdiplus::Graphics&)>;

// Draws into a transparent ARGB bitmap scaled to the design square and turns it into an icon.
HICON PaintIcon(int size, bool antiAliasText, const Painter& paint)
{
    Gdiplus::Bitmap bitmap(size, size, PixelFormat32bppARGB);
    if (bitmap.GetLastStatus() != Gdiplus::Ok) return nullptr;
    {
        Gdiplus::Graphics graphics(&bitmap);
        if (graphics.GetLastStatus() != Gdiplus::Ok) return nullptr;
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        if (antiAliasText) graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
        graphics.Clear(Color(0, 0, 0, 0));
        graphics.ScaleTransform(Gdiplus::REAL(size) / 16, Gdiplus::REAL(size) / 16);
        paint(graphics);
    }
    HICON icon = nullptr;
    return bitmap.GetHICON(&icon) == Gdiplus::Ok ? icon : nullptr;
}

// Pens of symbols: round caps, and round joins for polylines.
std::unique_ptr<Gdiplus::Pen> SymbolPen(const Color& colour, Gdiplus::REAL width)
{
    auto pen = std::make_unique<Gdiplus::Pen>(colour, width);
    pen->SetStartCap(Gdiplus::LineCapRound);
    pen->SetEndCap(Gdiplus::LineCapRound);
    pen->SetLineJoin(Gdiplus::LineJoinRound);
    return pen;
}

void FillDisc(Gdiplus::Graphics& g, const Color& colour, float x, float y, float d)
{
    Gdiplus::SolidBrush brush(colour);
    g.FillEllipse(&brush, x, y, d, d);
}

void DrawPolyline(Gdiplus::Graphics& g, Gdiplus::REAL width, std::initializer_list<PointF> points)
{
    auto pen = SymbolPen(kWhite, width);
    g.DrawLines(pen.get(), points.begin(), INT(points.size()));
}

// The shaft of a badge arrow ends in its head: a plain pen.
void DrawArrowShaft(Gdiplus::Graphics& g, const PointF& from, const PointF& to)
{
    Gdiplus::Pen pen(kWhite, 1.6f);
    g.DrawLine(&pen, from, to);
}

void FillTriangle(Gdiplus::Graphics& g, const PointF& a, const PointF& b, const PointF& c)
{
    const PointF points[] = {a, b, c};
    Gdiplus::SolidBrush brush(kWhite);
    g.FillPolygon(&brush, points, 3);
}

const Color& DiscColour(int state)
{
    switch (state) {
    case IconConnecting: return kConnectingDisc;
    case IconConnected: return kConnectedDisc;
    case IconError: return kErrorDisc;
    default: return kWaitingDisc;
    }
}

void DrawStateSymbol(Gdiplus::Graphics& g, int state)
{
    switch (state) {
    case IconConnecting:
        for (float x : {3.4f, 6.8f, 10.2f}) FillDisc(g, kWhite, x, 6.8f, 2.4f);
        break;
    case IconConnected:
        DrawPolyline(g, 1.8f, {{4.5f, 8.3f}, {6.8f, 10.5f}, {11.5f, 5.5f}});
        break;
    case IconError:
        DrawPolyline(g, 2.0f, {{8.0f, 4.6f}, {8.0f, 8.2f}});
        FillDisc(g, kWhite, 6.85f, 10.45f, 2.3f);
        break;
    default: // waiting to reconnect: clock hands
        DrawPolyline(g, 1.6f, {{8.0f, 3.8f}, {8.0f, 8.0f}, {11.2f, 8.0f}});
        break;
    }
}

void DrawStateIconInto(Gdiplus::Graphics& g, int state, int variant)
{
    if (state < IconConnecting || state > IconWaiting) {
        Gdiplus::Pen ring(kDisconnectedRing, 1.8f);
        g.DrawEllipse(&ring, 1.4f, 1.4f, 13.2f, 13.2f);
    } else {
        FillDisc(g, DiscColour(state), 0.5f, 0.5f, 15.0f);
        DrawStateSymbol(g, state);
    }
    if (variant != (kVariantSendsToLogger | kVariantTakesFromLogger)) DrawLoggerBadge(g, variant);
}

void AddRoundedSquare(Gdiplus::GraphicsPath& path)
{
    const float l = 1.5f, t = 1.5f, r = 14.5f, b = 14.5f, d = 6.0f;
    path.AddArc(l, t, d, d, 180, 90);
    path.AddArc(r - d, t, d, d, 270, 90);
    path.AddArc(r - d, b - d, d, d, 0, 90);
    path.AddArc(l, b - d, d, d, 90, 90);
    path.CloseFigure();
}

void DrawMarkerLetter(Gdiplus::Graphics& g, const Color& colour)
{
    Gdiplus::FontFamily segoe(L"Segoe UI");
    Gdiplus::FontFamily arial(L"Arial");
    const bool haveSegoe = segoe.GetLastStatus() == Gdiplus::Ok && segoe.IsAvailable();
    Gdiplus::Font font(haveSegoe ? &segoe : &arial, 10, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    Gdiplus::SolidBrush brush(colour);
    g.DrawString(L"R", 1, &font, Gdiplus::RectF(0, 0.5f, 16, 16), &format, &brush);
}

void DrawMarker(Gdiplus::Graphics& g, bool filled)
{
    Gdiplus::GraphicsPath square;
    AddRoundedSquare(square);
    if (filled) {
        Gdiplus::SolidBrush orange(kOrange);
        g.FillPath(&orange, &square);
        DrawMarkerLetter(g, kWhite);
    } else {
        Gdiplus::SolidBrush white(kWhite);
        Gdiplus::Pen outline(kBlue, 1.5f);
        g.FillPath(&white, &square);
        g.DrawPath(&outline, &square);
        DrawMarkerLetter(g, kBlue);
    }
}

// A fully clear icon whose mask says so too: a list draws an image that is clear in every pixel's alpha
// as opaque unless its mask makes it transparent.
HICON MakeEmptyIcon(int size)
{
    const std::vector<BYTE> maskBits(size_t((size + 15) / 16 * 2) * size, 0xFF);
    HBITMAP mask = ::CreateBitmap(size, size, 1, 1, maskBits.data());
    HDC screen = ::GetDC(nullptr);
    HBITMAP colour = ::CreateCompatibleBitmap(screen, size, size);
    ::ReleaseDC(nullptr, screen);
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = (mask && colour) ? ::CreateIconIndirect(&info) : nullptr;
    if (mask) ::DeleteObject(mask);
    if (colour) ::DeleteObject(colour);
    return icon;
}

// Appends the icon and destroys this copy of it (the list keeps its own).
bool AppendIcon(CImageList& list, HICON icon)
{
    if (!icon) return false;
    const bool added = list.AddIcon(icon) >= 0;
    ::DestroyIcon(icon);
    return added;
}

} // namespace

void DrawLoggerBadge(Gdiplus::Graphics& g, int variant)
{
    FillDisc(g, kWhite, 7.1f, 6.6f, 10.8f);
    const Color& colour = (variant & kVariantSendsToLogger) ? kBlue : (variant & kVariantTakesFromLogger) ? kOrange : kGrey;
    FillDisc(g, colour, 7.9f, 7.4f, 9.2f);
    if (variant == kVariantSendsToLogger) {
        DrawArrowShaft(g, {12.5f, 9.0f}, {12.5f, 12.6f});
        FillTriangle(g, {10.2f, 12.6f}, {12.5f, 15.4f}, {14.8f, 12.6f});
    } else if (variant == kVariantTakesFromLogger) {
        DrawArrowShaft(g, {12.5f, 15.0f}, {12.5f, 11.4f});
        FillTriangle(g, {10.2f, 11.4f}, {12.5f, 8.6f}, {14.8f, 11.4f});
    } else {
        DrawPolyline(g, 1.6f, {{10.1f, 12.0f}, {14.9f, 12.0f}});
    }
}

HICON DrawStateIcon(int state, int size, int variant)
{
    return PaintIcon(size, false, [&](Gdiplus::Graphics& g) { DrawStateIconInto(g, state, variant); });
}

bool UpdateStateIcons(CImageList& list, int dpi)
{
    const int size = ScaleForDpi(16, dpi);
    if (!list.Create(size, size, ILC_COLOR32, kStateIconCount, 0)) return false;
    for (int state = 0; state <= IconWaiting; ++state)
        for (int variant = 0; variant < 4; ++variant)
            if (!AppendIcon(list, DrawStateIcon(state, size, variant))) return false;
    return true;
}

bool CreateBadgeIcon(CImageList& list, int dpi)
{
    const int size = ScaleForDpi(16, dpi);
    // With a mask, so that the empty marker stays clear where a list draws an all-clear image opaque.
    if (!list.Create(size, size, ILC_COLOR32 | ILC_MASK, kBadgeIconCount, 0)) return false;
    if (!AppendIcon(list, MakeEmptyIcon(size))) return false;
    for (bool filled : {false, true})
        if (!AppendIcon(list, PaintIcon(size, true, [&](Gdiplus::Graphics& g) { DrawMarker(g, filled); }))) return false;
    return true;
}

} // namespace kv
