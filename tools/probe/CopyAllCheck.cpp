#include "CopyAllCheck.h"

#include "PaneText.h"
#include "ProgramWindows.h"

namespace kvprobe {
namespace {

constexpr uint64_t kLongestMs = 30000;
constexpr char kCopyAllKey[] = "l";

} // namespace

std::string CCopyAllCheck::CopyAll(HWND edit)
{
    if (!edit) return "copied none";
    const DWORD before = ::GetClipboardSequenceNumber();
    ClickAt(MiddleOf(edit), true);
    if (!WaitForMenu(NowMs())) return "copied nomenu";
    const uint64_t start = NowMs();
    PressKeys(kCopyAllKey);
    while (::GetClipboardSequenceNumber() == before) {
        if (NowMs() - start > kLongestMs) return "copied timeout";
        ::Sleep(2);
    }
    const uint64_t copied = NowMs() - start;
    ::Sleep(50); // the program may still be writing: it empties the clipboard, then sets its text
    const std::string text = ClipboardText();
    if (text.empty()) return "copied noclipboard";
    return "copied " + std::to_string(copied) + LinesIn(text);
}

// A context menu shows as a window of the menu class.
bool CCopyAllCheck::WaitForMenu(uint64_t start)
{
    while (NowMs() - start < kLongestMs) {
        HWND menu = ::FindWindowW(L"#32768", nullptr);
        if (menu && ::IsWindowVisible(menu)) return true;
        ::Sleep(5);
    }
    return false;
}

// The clipboard's text, each character beyond ASCII as "?".
std::string CCopyAllCheck::ClipboardText()
{
    std::string text;
    for (int attempt = 0; attempt < 100 && !::OpenClipboard(nullptr); ++attempt) ::Sleep(10);
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            for (const wchar_t* c = chars; *c; ++c) text.push_back(*c < 0x80 ? char(*c) : '?');
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

} // namespace kvprobe
