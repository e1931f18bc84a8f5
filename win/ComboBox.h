#pragma once
// A combo box control: the HWND with the combo box messages as inline calls.
#include "win/Window.h"

namespace kv {

class CComboBox : public CWindow {
public:
    using CWindow::CWindow;

    int AddString(const std::u16string& text) { return int(SendMessage(CB_ADDSTRING, 0, LPARAM(W(text)))); }
    int InsertString(int index, const std::u16string& text)
    {
        return int(SendMessage(CB_INSERTSTRING, WPARAM(index), LPARAM(W(text))));
    }
    int DeleteString(int index) { return int(SendMessage(CB_DELETESTRING, WPARAM(index))); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return int(SendMessage(CB_SETCURSEL, WPARAM(index))); }
    std::u16string GetItemText(int index) const
    {
        const LRESULT length = SendMessage(CB_GETLBTEXTLEN, WPARAM(index));
        if (length == CB_ERR) return {};
        std::u16string text(size_t(length) + 1, u'\0');
        const LRESULT got = SendMessage(CB_GETLBTEXT, WPARAM(index), LPARAM(W(text.data())));
        text.resize(got == CB_ERR ? 0 : size_t(got));
        return text;
    }
};

} // namespace kv
