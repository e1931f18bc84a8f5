#include "SettingsDialog.h"

#include "ProgramWindows.h"

namespace kvprobe {
namespace {

constexpr uint64_t kLongestMs = 30000;
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
    // A menu command reaches the frame as a posted WM_COMMAND; the dialog's own loop runs until it closes.
    ::PostMessageW(frame, WM_COMMAND, kGeneralSettingsCommand, 0);
    HWND dialog = WaitForDialog(frame, NowMs());
    if (!dialog) return "set nodialog";
    HWND edit = ::GetDlgItem(dialog, id);
    const std::wstring text(value.begin(), value.end());
    if (!edit || !SendAndWait(edit, WM_SETTEXT, 0, LPARAM(text.c_str()))) return "set nofield";
    const uint64_t start = NowMs();
    ClickAt(MiddleOf(::GetDlgItem(dialog, IDOK)));
    if (!WaitUntilGone(dialog, start)) return "set timeout";
    return "set " + std::to_string(NowMs() - start);
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
