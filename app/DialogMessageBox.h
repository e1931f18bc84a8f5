#pragma once
// The message boxes of a dialog's validation and questions. A test sets Show to read the messages (and
// answer the questions) instead of facing a modal box.
#include <functional>
#include <string>

#include "win/Win32.h"

namespace kv {

struct DialogMessageBox {
    // owner, text, MB_* flags -> the button pressed (IDOK, IDCANCEL, ...).
    std::function<int(HWND, const std::u16string&, UINT)> Show;

    // Show when set, else a message box titled with the program's name.
    int operator()(HWND owner, const std::u16string& text, UINT type) const;

    // A refused field: the message with the warning icon, then the field takes the focus with its whole
    // text selected when it is an edit.
    void ShowFieldError(HWND dialog, const std::u16string& text, int controlId) const;
};

} // namespace kv
