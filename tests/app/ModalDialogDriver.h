#pragma once
// Drives a modal dialog from inside its own modal loop: a one-shot thread timer runs the script once the
// dialog is up; the script sets controls and presses buttons through messages. A dialog that the script
// leaves open is cancelled, so a failed expectation never hangs the test.
#include <functional>
#include <string_view>
#include <string>
#include <vector>

#include "tests/support/WinTestSupport.h"
#include "win/Win32.h"

namespace kv::test {

// Runs the script on the dialog window once the modal loop of the dialog has shown it.
inline void ScriptNextModal(std::function<void(HWND)> script, std::function<HWND()> dialogWindow)
{
    static std::function<HWND()> window;
    static std::function<void(HWND)> pending;
    window = std::move(dialogWindow);
    pending = std::move(script);
    ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = window ? window() : nullptr;
        if (!dialog || !::IsWindowVisible(dialog)) return; // not up yet: the timer comes again
        ::KillTimer(nullptr, id);
        std::function<void(HWND)> run = std::move(pending);
        pending = nullptr;
        window = nullptr;
        if (run) run(dialog);
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); // lost when the script ended the dialog
    });
}

// The dialog box that a dialog opened over itself, or null.
inline HWND FindOwnedDialog(HWND owner)
{
    struct Search {
        HWND owner;
        HWND found = nullptr;
    } search{owner};
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND hwnd, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        wchar_t name[16] = {};
        ::GetClassNameW(hwnd, name, 16);
        if (::GetWindow(hwnd, GW_OWNER) != s.owner || std::wstring_view(name) != L"#32770") return TRUE;
        s.found = hwnd;
        return FALSE;
    }, LPARAM(&search));
    return search.found;
}

template <typename Dialog> INT_PTR RunModalScript(Dialog& dialog, std::function<void(HWND)> script)
{
    ScriptNextModal(std::move(script), [&dialog] { return dialog.Handle(); });
    return dialog.DoModal();
}

// The messages a dialog showed, with their button flags; answers with `answer` (IDOK by default).
struct RecordedMessages {
    struct Shown {
        std::u16string text;
        UINT type;
    };
    std::vector<Shown> shown;
    int answer = IDOK;

    std::function<int(HWND, const std::u16string&, UINT)> Recorder()
    {
        return [this](HWND, const std::u16string& text, UINT type) {
            shown.push_back({text, type});
            return answer;
        };
    }
    size_t Count() const { return shown.size(); }
    std::u16string Last() const { return shown.empty() ? std::u16string() : shown.back().text; }
};

inline void SetItemText(HWND dialog, int id, const std::u16string& text)
{
    ::SetDlgItemTextW(dialog, id, W(text));
}
inline std::u16string ItemText(HWND dialog, int id)
{
    wchar_t buffer[4096] = {};
    ::GetDlgItemTextW(dialog, id, buffer, 4096);
    return U16(buffer);
}
inline void Press(HWND dialog, int id)
{
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(dialog, id)));
}
inline void Click(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline bool IsChecked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
inline bool IsItemEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
// Chooses an item of a drop-down list as the user does: the selection, then its notification.
inline void ChooseItem(HWND dialog, int id, int index)
{
    HWND list = ::GetDlgItem(dialog, id);
    ::SendMessageW(list, CB_SETCURSEL, WPARAM(index), 0);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), LPARAM(list));
}
inline int SelectedItem(HWND dialog, int id) { return int(::SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)); }
// Types characters into a control as the keyboard would deliver them.
inline void Type(HWND dialog, int id, const std::u16string& text)
{
    for (char16_t c : text) ::SendMessageW(::GetDlgItem(dialog, id), WM_CHAR, WPARAM(c), 1);
}
// True when the control has the focus and its whole text is selected.
inline bool IsFocusedWithAllSelected(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id);
    DWORD start = 0, end = 0;
    ::SendMessageW(control, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    return ::GetFocus() == control && start == 0 && end == DWORD(::GetWindowTextLengthW(control));
}

// A screenshot of the dialog as it stands now: the script runs inside a handler, so paint first.
inline void ScreenshotOf(HWND dialog, const std::u16string& name)
{
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100); // the desktop window shows what was drawn a moment later
    SaveScreenshot(dialog, name);
}

} // namespace kv::test
