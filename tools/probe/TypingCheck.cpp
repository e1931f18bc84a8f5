#include "TypingCheck.h"

#include "ProgramWindows.h"

namespace kvprobe {
namespace {

constexpr uint64_t kLongestMs = 10000;
constexpr int kSendLineId = 1011;

HWND KeyboardWindowOf(HWND window)
{
    GUITHREADINFO info{sizeof info};
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// The window's text as the program answers it (nothing when it does not answer in time).
std::wstring TextOf(HWND window)
{
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, 512, LPARAM(text), SMTO_NORMAL, kAnswerMs, &length)) return L"?";
    return std::wstring(text, length < 512 ? length : 511);
}

} // namespace

std::string CTypingCheck::Type(const std::string& text)
{
    sendLine_ = nullptr;
    HWND page = nullptr;
    for (HWND candidate : Pages())
        if (::IsWindowVisible(candidate)) page = candidate;
    HWND sendLine = page ? ::GetDlgItem(page, kSendLineId) : nullptr;
    if (!sendLine) return "typed nopage";
    if (KeyboardWindowOf(sendLine) != sendLine) {
        ClickAt(MiddleOf(sendLine));
        const uint64_t clicked = NowMs();
        while (KeyboardWindowOf(sendLine) != sendLine && NowMs() - clicked < kLongestMs) ::Sleep(1);
        if (KeyboardWindowOf(sendLine) != sendLine) return "typed nofocus";
    }
    const uint64_t start = NowMs();
    PressKeys(text);
    const int64_t ms = WaitForText(sendLine, std::wstring(text.begin(), text.end()), start);
    if (ms < 0) return "typed timeout";
    sendLine_ = sendLine;
    return "typed " + std::to_string(ms);
}

std::string CTypingCheck::Enter()
{
    if (!sendLine_) return "entered none";
    const uint64_t start = NowMs();
    PressKeys("\r");
    const int64_t ms = WaitForText(sendLine_, L"", start);
    sendLine_ = nullptr;
    return ms < 0 ? "entered timeout" : "entered " + std::to_string(ms);
}

int64_t CTypingCheck::WaitForText(HWND window, const std::wstring& text, uint64_t start)
{
    for (uint64_t now = NowMs(); now - start < kLongestMs; now = NowMs()) {
        if (TextOf(window) == text) return int64_t(NowMs() - start);
        ::Sleep(1);
    }
    return -1;
}

} // namespace kvprobe
