#include "ProgramWindows.h"

#include <chrono>
#include <vector>

namespace kvprobe {
namespace {

constexpr int kViewId = 59648, kTabStripId = 1000;          // the view in the frame, the tab strip in the view
constexpr int kFirstPageId = 1100;                          // the first connection's page in the strip
constexpr int kReceivePaneId = 1007, kReceiveEditId = 1008; // a page's receive pane, and the text in it

} // namespace

HWND FindFrame()
{
    return ::FindWindowW(L"Kestrivane.MainFrame", nullptr);
}

HWND FindTabStrip()
{
    HWND frame = FindFrame();
    return frame ? ::GetDlgItem(::GetDlgItem(frame, kViewId), kTabStripId) : nullptr;
}

std::vector<HWND> Pages()
{
    std::vector<HWND> pages;
    HWND strip = FindTabStrip();
    for (HWND page = strip ? ::GetWindow(strip, GW_CHILD) : nullptr; page; page = ::GetWindow(page, GW_HWNDNEXT))
        if (::GetDlgCtrlID(page) >= kFirstPageId) pages.push_back(page);
    return pages;
}

HWND PageOf(int number)
{
    HWND strip = FindTabStrip();
    return strip && number >= 0 ? ::GetDlgItem(strip, kFirstPageId + number) : nullptr;
}

HWND ReceiveEditOf(HWND page)
{
    return ::GetDlgItem(::GetDlgItem(page, kReceivePaneId), kReceiveEditId);
}

HWND ShownReceiveEdit()
{
    for (HWND page : Pages())
        if (::IsWindowVisible(page)) return ReceiveEditOf(page);
    return nullptr;
}

bool SendAndWait(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_NORMAL, kAnswerMs, &answer)) return false;
    if (result) *result = answer;
    return true;
}

COLORREF ScreenPixel(POINT at)
{
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

POINT ScreenPointOf(HWND window, POINT client)
{
    ::ClientToScreen(window, &client);
    return client;
}

void ClickAt(POINT at, bool right)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    for (INPUT& input : inputs) input.type = INPUT_MOUSE;
    // Absolute positions run from 0 to 65535 over the screen; rounded up, they land on the pixel asked for.
    inputs[0].mi.dx = LONG((int64_t(at.x) * 65536 + width - 1) / width);
    inputs[0].mi.dy = LONG((int64_t(at.y) * 65536 + height - 1) / height);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    ::SendInput(3, inputs, sizeof(INPUT));
}

POINT MiddleOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void PressKeys(const std::string& text)
{
    std::vector<INPUT> inputs;
    for (const char c : text) {
        const WORD key = WORD(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c == '\r' ? VK_RETURN : c);
        for (const DWORD flags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    }
    ::SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

uint64_t NowMs()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace kvprobe
