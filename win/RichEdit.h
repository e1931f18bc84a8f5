#pragma once
// The Rich Edit control (the Msftedit class), as thin forwarding calls over a window class of either kind:
// CRichEditCtrl over a plain handle, or CRichEditT<CWindowBase> for a subclassed control with handlers.
#include "win/Win32.h"

#include <richedit.h>

#include <string>

#include "win/Window.h"

namespace kv {

// Loads the library that registers the class; true when it is there.
inline bool LoadRichEditLibrary()
{
    static const HMODULE library = ::LoadLibraryW(L"Msftedit.dll");
    return library != nullptr;
}
inline const wchar_t* RichEditClassName() { return MSFTEDIT_CLASS; }

template <typename Base> class CRichEditT : public Base {
public:
    using Base::Base;
    using Base::SendMessage;

    void SetSel(long start, long end)
    {
        CHARRANGE range{start, end};
        SendMessage(EM_EXSETSEL, 0, LPARAM(&range));
    }
    CHARRANGE GetSel() const
    {
        CHARRANGE range{};
        SendMessage(EM_EXGETSEL, 0, LPARAM(&range));
        return range;
    }
    void ReplaceSel(const std::u16string& text, bool canUndo = false)
    {
        SendMessage(EM_REPLACESEL, canUndo, LPARAM(W(text)));
    }
    bool SetSelectionCharFormat(CHARFORMAT2W& format)
    {
        format.cbSize = sizeof format;
        return SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, LPARAM(&format)) != 0;
    }
    bool SetDefaultCharFormat(CHARFORMAT2W& format)
    {
        format.cbSize = sizeof format;
        return SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, LPARAM(&format)) != 0;
    }
    // Characters, a paragraph end counting one.
    long GetTextLength() const
    {
        GETTEXTLENGTHEX ask{GTL_NUMCHARS | GTL_PRECISE, 1200};
        return long(SendMessage(EM_GETTEXTLENGTHEX, WPARAM(&ask), 0));
    }
    std::u16string GetTextRange(long start, long end) const
    {
        if (end <= start) return {};
        std::u16string text(size_t(end - start) + 1, u'\0');
        TEXTRANGEW range{{start, end}, W(text.data())};
        const LRESULT got = SendMessage(EM_GETTEXTRANGE, 0, LPARAM(&range));
        text.resize(size_t(got > 0 ? got : 0));
        return text;
    }
    long LineFromChar(long index) const { return long(SendMessage(EM_EXLINEFROMCHAR, 0, index)); }
    long LineIndex(long line) const { return long(SendMessage(EM_LINEINDEX, WPARAM(line), 0)); }
    long LineLength(long index) const { return long(SendMessage(EM_LINELENGTH, WPARAM(index), 0)); }
    long GetLineCount() const { return long(SendMessage(EM_GETLINECOUNT, 0, 0)); }
    long GetFirstVisibleLine() const { return long(SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0)); }
    bool LineScroll(long lines) { return SendMessage(EM_LINESCROLL, 0, lines) != 0; }
    // The character nearest to a client point.
    long CharFromPos(POINT pt) const
    {
        POINTL p{pt.x, pt.y};
        return long(SendMessage(EM_CHARFROMPOS, 0, LPARAM(&p)));
    }
    POINT PosFromChar(long index) const
    {
        POINTL p{};
        SendMessage(EM_POSFROMCHAR, WPARAM(&p), index);
        return POINT{p.x, p.y};
    }
    POINT GetScrollPos() const
    {
        POINT p{};
        SendMessage(EM_GETSCROLLPOS, 0, LPARAM(&p));
        return p;
    }
    void SetScrollPos(POINT p) { SendMessage(EM_SETSCROLLPOS, 0, LPARAM(&p)); }
    bool SetReadOnly(bool readOnly) { return SendMessage(EM_SETREADONLY, readOnly, 0) != 0; }
    void LimitText(long chars) { SendMessage(EM_EXLIMITTEXT, 0, chars); }
    void SetUndoLimit(int actions) { SendMessage(EM_SETUNDOLIMIT, WPARAM(actions), 0); }
    DWORD SetEventMask(DWORD mask) { return DWORD(SendMessage(EM_SETEVENTMASK, 0, mask)); }
    void SetRect(const RECT& r) { SendMessage(EM_SETRECT, 0, LPARAM(&r)); }
    RECT GetRect() const
    {
        RECT r{};
        SendMessage(EM_GETRECT, 0, LPARAM(&r));
        return r;
    }
    void SetMargins(int left, int right) { SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right)); }
    void HideSelection(bool hide) { SendMessage(EM_HIDESELECTION, hide, 0); }
    void SetRedraw(bool redraw) { SendMessage(WM_SETREDRAW, redraw, 0); }
};

using CRichEditCtrl = CRichEditT<CWindow>;

} // namespace kv
