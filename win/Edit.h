#pragma once
// An edit control: the HWND with the edit messages as inline calls.
#include "win/Window.h"

#include <commctrl.h>

namespace kv {

class CEdit : public CWindow {
public:
    using CWindow::CWindow;
    bool Create(HWND parent, int id, DWORD style, DWORD exStyle, const RECT& rect)
    {
        return CreateControl(L"EDIT", parent, id, style, exStyle, rect);
    }
    void SetSel(int start, int end) { SendMessage(EM_SETSEL, WPARAM(start), LPARAM(end)); }
    void SelectAll() { SetSel(0, -1); }
    // The selection as [start, end).
    void GetSel(int& start, int& end) const
    {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, WPARAM(&s), LPARAM(&e));
        start = int(s);
        end = int(e);
    }
    void ReplaceSel(const std::u16string& text, bool canUndo = true)
    {
        SendMessage(EM_REPLACESEL, canUndo, LPARAM(W(text)));
    }
    void LimitText(int chars) { SendMessage(EM_SETLIMITTEXT, WPARAM(chars)); }
    int GetLimitText() const { return int(SendMessage(EM_GETLIMITTEXT)); }
    // The line of a character index; -1: the line of the caret.
    int LineFromChar(int index = -1) const { return int(SendMessage(EM_LINEFROMCHAR, WPARAM(index))); }
    int GetLineCount() const { return int(SendMessage(EM_GETLINECOUNT)); }
    void ScrollCaret() { SendMessage(EM_SCROLLCARET); }
    bool IsReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
    bool SetReadOnly(bool readOnly) { return SendMessage(EM_SETREADONLY, readOnly) != 0; }
    // The grey hint shown while the edit is empty (version 6 common controls).
    bool SetCueBanner(const std::u16string& text) { return SendMessage(EM_SETCUEBANNER, FALSE, LPARAM(W(text))) != 0; }
    bool CanUndo() const { return SendMessage(EM_CANUNDO) != 0; }
    bool Undo() { return SendMessage(EM_UNDO) != 0; }
};

} // namespace kv
