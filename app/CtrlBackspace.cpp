#include "app/CtrlBackspace.h"

#include <algorithm>
#include <commctrl.h>

#include "base/Ascii.h"
#include "win/Edit.h"

namespace kv {
namespace {

enum class CharKind { Blank, LineBreak, Word, Other };

CharKind KindOf(char16_t c)
{
    if (c == u' ' || c == u'\t') return CharKind::Blank;
    if (c == u'\r' || c == u'\n') return CharKind::LineBreak;
    if (c == u'_' || ::IsCharAlphaNumericW(wchar_t(c))) return CharKind::Word;
    return CharKind::Other;
}

// Windows types character 127 for Ctrl+Backspace; Wine types a plain backspace (8) with Ctrl held, which
// its edit control then ignores. Ctrl+H also types 8, but without the Backspace key down.
bool IsCtrlBackspace(WPARAM character)
{
    if (character == 127) return true;
    return character == '\b' && ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_BACK) < 0;
}

} // namespace

bool InstallCtrlBackspace(HWND edit)
{
    return edit && ::SetWindowSubclass(edit, &CtrlBackspaceSubclassProc, kCtrlBackspaceSubclassId, 0);
}

BOOL CALLBACK EnableCtrlBackspace(HWND child, LPARAM)
{
    wchar_t name[17] = {};
    ::GetClassNameW(child, name, 17);
    if (EqualsIgnoreCaseAscii(U16(name), u"Edit")) InstallCtrlBackspace(child);
    return TRUE;
}

LRESULT CALLBACK CtrlBackspaceSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &CtrlBackspaceSubclassProc, id);
    } else if (msg == WM_CHAR && IsCtrlBackspace(wParam)) {
        DeleteWordBeforeCaret(hwnd);
        return 0;
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

void DeleteWordBeforeCaret(HWND hwnd)
{
    CEdit edit(hwnd);
    if (edit.IsReadOnly()) return;
    int selStart = 0, selEnd = 0;
    edit.GetSel(selStart, selEnd);
    if (selStart != selEnd) {
        edit.ReplaceSel(u"", true);
        return;
    }
    const std::u16string text = edit.GetText();
    const int end = std::min(selEnd, int(text.size()));
    const int start = FindWordStart(text, end);
    if (start >= end) return;
    edit.SetSel(start, end);
    edit.ReplaceSel(u"", true);
}

int FindWordStart(std::u16string_view text, int end)
{
    end = std::clamp(end, 0, int(text.size()));
    if (end == 0) return 0;
    int p = end;
    while (p > 0 && KindOf(text[size_t(p - 1)]) == CharKind::Blank) --p;
    if (p == 0) return 0;
    if (KindOf(text[size_t(p - 1)]) == CharKind::LineBreak) {
        if (p < end) return p; // only the blanks after the line end
        --p;
        if (p == 0) return 0;
        return text[size_t(p)] == u'\n' && text[size_t(p - 1)] == u'\r' ? p - 1 : p;
    }
    const CharKind kind = KindOf(text[size_t(p - 1)]);
    while (p > 0 && KindOf(text[size_t(p - 1)]) == kind) --p;
    return p;
}

} // namespace kv
