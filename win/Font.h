#pragma once
// A GDI font handle that deletes its object; nothing more.
#include "win/Win32.h"

namespace kv {

class CFont {
public:
    CFont() = default;
    ~CFont() { Delete(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    HFONT Handle() const { return font_; }
    operator HFONT() const { return font_; }
    bool CreateIndirect(const LOGFONTW& lf)
    {
        Delete();
        font_ = ::CreateFontIndirectW(&lf);
        return font_ != nullptr;
    }
    void Attach(HFONT font)
    {
        Delete();
        font_ = font;
    }
    HFONT Detach()
    {
        HFONT f = font_;
        font_ = nullptr;
        return f;
    }
    bool Delete()
    {
        HFONT f = Detach();
        return f && ::DeleteObject(f);
    }
    bool GetLogFont(LOGFONTW& lf) const { return font_ && ::GetObjectW(font_, sizeof lf, &lf) == sizeof lf; }

private:
    HFONT font_ = nullptr;
};

} // namespace kv
