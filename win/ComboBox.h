#pragma once
// A combo box control: the HWND with the combo box messages as inline calls.
#include "win/Window.h"

namespace kv {

class CComboBox : public CWindow {
public:
    using CWindow::CWindow;
    int AddString(const std::u16string& text) { return int(SendMessage(CB_ADDSTRING, 0, LPARAM(W(text)))); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
    // -1 clears the selection; CB_ERR when the index is outside the list.
    int SetCurSel(int index) { return int(SendMessage(CB_SETCURSEL, WPARAM(index))); }
    // The item equal to the text (letter case aside), or CB_ERR.
    int FindStringExact(const std::u16string& text, int after = -1) const
    {
        return int(SendMessage(CB_FINDSTRINGEXACT, WPARAM(after), LPARAM(W(text))));
    }
    std::u16string GetLBText(int index) const
    {
        const int len = int(SendMessage(CB_GETLBTEXTLEN, WPARAM(index)));
        if (len < 0) return {};
        std::u16string text(size_t(len) + 1, u'\0');
        const int got = int(SendMessage(CB_GETLBTEXT, WPARAM(index), LPARAM(W(text.data()))));
        text.resize(size_t(got > 0 ? got : 0));
        return text;
    }
};

} // namespace kv
