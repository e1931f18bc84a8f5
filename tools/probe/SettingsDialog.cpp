#include "SettingsDialog.h"

#include "ProgramWindows.h"

namespace kvprobe {
namespace {

constexpr uint64_t kLongestMs = 10000;
constexpr DWORD kLookMs = 300; // a user looks at the dialog before he types into it
constexpr int kClicks = 3;
constexpr WPARAM kGeneralSettingsCommand = 32780;
constexpr int kMaxLinesId = 1033, kFontSizeId = 1031;
constexpr wchar_t kCaption[] = L"General Settings";

int FieldId(const std::string& field)
{
    return field == "maxlines" ? kMaxLinesId : field == "fontsize" ? kFontSizeId : 0;
}

} // namespace

std::string CSettingsDialog::Set(const std::string& field, const std::string& value)
{
    HWND frame = FindFrame();
    const int id = FieldId(field);
    if (!frame || !id) return "set unknown";
    if (::FindWindowW(L"#32770", kCaption)) return "set alreadyopen";
    // A menu command reaches the frame as a posted WM_COMMAND; the dialog's own loop runs until it closes.
    ::PostMessageW(frame, WM_COMMAND, kGeneralSettingsCommand, 0);
    HWND dialog = WaitForDialog(frame, NowMs());
    if (!dialog) return "set nodialog";
    ::Sleep(kLookMs);
    HWND edit = ::GetDlgItem(dialog, id);
    const std::wstring text(value.begin(), value.end());
    if (!edit || !SendAndWait(edit, WM_SETTEXT, 0, LPARAM(text.c_str()))) return "set nofield";
    const uint64_t start = NowMs();
    // A click that did not close the dialog is clicked again, as a user would; at last the dialog is cancelled,
    // not left open in front of the next moves.
    for (int click = 0; click < kClicks; ++click) {
        ClickAt(MiddleOf(::GetDlgItem(dialog, IDOK)));
        if (WaitUntilGone(dialog, NowMs())) {
            return "set " + std::to_string(NowMs() - start) + (click ? " clicks " + std::to_string(click + 1) : "");
        }
    }
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return "set timeout";
}

HWND CSettingsDialog::WaitForDialog(HWND frame, uint64_t start)
{
    DWORD program = 0, owner = 0;
    ::GetWindowThreadProcessId(frame, &program);
    while (NowMs() - start < kLongestMs) {
        HWND dialog = ::FindWindowW(L"#32770", kCaption);
        if (dialog) ::GetWindowThreadProcessId(dialog, &owner);
        if (dialog && owner == program && ::IsWindowVisible(dialog)) return dialog;
        ::Sleep(5);
    }
    return nullptr;
}

bool CSettingsDialog::WaitUntilGone(HWND dialog, uint64_t start)
{
    while (::IsWindow(dialog) && ::IsWindowVisible(dialog)) {
        if (NowMs() - start > kLongestMs) return false;
        ::Sleep(2);
    }
    return true;
}

} // namespace kvprobe
