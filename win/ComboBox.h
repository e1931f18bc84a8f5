#pragma once
// The combo-box control: the HWND with the combo-box messages as inline calls.
#include "win/Window.h"

namespace kv {

class CComboBox : public CWindow {
public:
    using CWindow::CWindow;

    bool ResetContent() { return SendMessage(CB_RESETCONTENT) >= 0; }
    // The new item's index, or CB_ERR / CB_ERRSPACE.
    int AddString(const std::u16string& text) { return int(SendMessage(CB_ADDSTRING, 0, LPARAM(W(text)))); }
    int InsertString(int index, const std::u16string& text)
    {
        return int(SendMessage(CB_INSERTSTRING, WPARAM(index), LPARAM(W(text))));
    }
    int DeleteString(int index) { return int(SendMessage(CB_DELETESTRING, WPARAM(index))); }
    int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return int(SendMessage(CB_SETCURSEL, index)); }
    LRESULT GetItemData(int index) const { return SendMessage(CB_GETITEMDATA, index); }
    bool SetItemData(int index, LRESULT data) { return SendMessage(CB_SETITEMDATA, index, data) != CB_ERR; }
    std::u16string GetLBText(int index) const
    {
        const auto len = SendMessage(CB_GETLBTEXTLEN, index);
        if (len == CB_ERR) return {};
        std::u16string text(size_t(len) + 1, u'\0');
        const auto got = SendMessage(CB_GETLBTEXT, index, LPARAM(W(text.data())));
        text.resize(got == CB_ERR ? 0 : size_t(got));
        return text;
    }
    // The item equal to the text (letter case aside) after the index (-1: from the start), or CB_ERR.
    int FindStringExact(const std::u16string& text, int after = -1) const
    {
        return int(SendMessage(CB_FINDSTRINGEXACT, WPARAM(after), LPARAM(W(text))));
    }
    bool GetDroppedState() const { return SendMessage(CB_GETDROPPEDSTATE) != 0; }
    bool ShowDropDown(bool show) { return SendMessage(CB_SHOWDROPDOWN, show) != 0; }
};

} // namespace kv
