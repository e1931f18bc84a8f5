#pragma once
// Ctrl+Backspace deletes the word before the caret in every text box of the program. Edit controls would
// otherwise insert a box glyph for it (or, under Wine, do nothing).
#include <string_view>

#include "win/Win32.h"

namespace kv {

constexpr UINT_PTR kCtrlBackspaceSubclassId = 0x57444C;

// Installs the word deletion on one edit control.
bool InstallCtrlBackspace(HWND edit);
// EnumChildWindows callback: installs it on every "Edit" child; always goes on.
BOOL CALLBACK EnableCtrlBackspace(HWND child, LPARAM);
LRESULT CALLBACK CtrlBackspaceSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR);
void DeleteWordBeforeCaret(HWND edit);
// Where the word that ends at `end` begins: blanks before the caret go with the word before them, a line
// break alone is one word (CR LF together), and a run of word or of other characters is one word.
int FindWordStart(std::u16string_view text, int end);

} // namespace kv
