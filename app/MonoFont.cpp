#include "app/MonoFont.h"

namespace kv {
namespace {

struct MeasuredFont {
    TEXTMETRICW metrics{};
    std::u16string face;
    SIZE widthOfW{};
};

bool Measure(HFONT font, MeasuredFont& out)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (!dc) return false;
    HGDIOBJ old = ::SelectObject(dc, font);
    wchar_t face[256] = {};
    const bool ok = ::GetTextMetricsW(dc, &out.metrics) && ::GetTextFaceW(dc, 256, face) > 0 &&
                    ::GetTextExtentPoint32W(dc, L"W", 1, &out.widthOfW);
    out.face = U16(face);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return ok;
}

bool SameFaceIgnoringCase(const std::u16string& a, const std::u16string& b)
{
    return ::CompareStringOrdinal(W(a), int(a.size()), W(b), int(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

bool MonoFont::CreateFontForDpi(const std::u16string& face, int pointSize, int dpi)
{
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(pointSize, dpi, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    face.copy(reinterpret_cast<char16_t*>(lf.lfFaceName), LF_FACESIZE - 1);
    CFont made;
    if (!made.CreateIndirect(lf)) return false;

    MeasuredFont measured;
    if (!Measure(made, measured)) return false;
    // TMPF_FIXED_PITCH set means variable pitch, as the name does not say.
    const bool variablePitch = (measured.metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0;
    const std::u16string asked = face.substr(0, LF_FACESIZE - 1);
    if (!SameFaceIgnoringCase(measured.face, asked) || variablePitch) return false;

    Font.Attach(made.Detach());
    FaceName = measured.face;
    PointSize = pointSize;
    CharWidth = measured.widthOfW.cx;
    LineHeight = measured.metrics.tmHeight + measured.metrics.tmExternalLeading;
    return true;
}

} // namespace kv
