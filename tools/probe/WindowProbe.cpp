// The load tool's eyes on the running program (kvwindowprobe.exe, run under Wine in the program's prefix and
// display). It answers commands read line by line from its standard input:
//   paint              how long the shown receive pane takes to paint when asked: "paint <ms>" once the screen
//                      shows what it was asked to paint ("paint none" without a pane, "paint timeout" after 60 s)
//   scrollup <lines>   scrolls the shown receive pane up by that many lines, as a reader does; "scrolled"
//   tokens             the "kvload <tag><number>" tokens that every receive pane shows now, as
//                      "tokens <tag><number> ..." on one line
//   quit
// The windows are found by their classes and control ids; everything is asked with sent messages, which the
// program answers whatever waits in its queue.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr int kViewId = 59648;
constexpr int kTabStripId = 1000;
constexpr int kFirstPageId = 1100;
constexpr int kReceivePaneId = 1007;
constexpr int kReceiveEditId = 1008;
constexpr UINT kAnswerMs = 10000;

HWND FindFrame()
{
    return ::FindWindowW(L"Kestrivane.MainFrame", nullptr);
}

std::vector<HWND> Pages()
{
    std::vector<HWND> pages;
    HWND frame = FindFrame();
    HWND strip = frame ? ::GetDlgItem(::GetDlgItem(frame, kViewId), kTabStripId) : nullptr;
    for (HWND page = strip ? ::GetWindow(strip, GW_CHILD) : nullptr; page; page = ::GetWindow(page, GW_HWNDNEXT))
        if (::GetDlgCtrlID(page) >= kFirstPageId) pages.push_back(page);
    return pages;
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

COLORREF ScreenPixel(POINT at)
{
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

// Asks the shown pane to paint: its background changes between two near-whites that no one tells apart (the
// control invalidates itself, and paints when its message loop gets to it); the time until the screen shows
// the new colour in the pane's right margin, where no text is drawn.
std::string MeasurePaint()
{
    static bool flip = false;
    flip = !flip;
    const COLORREF background = flip ? RGB(254, 254, 254) : RGB(255, 255, 254);
    HWND edit = ShownReceiveEdit();
    RECT client{};
    if (!edit || !::GetClientRect(edit, &client) || client.right < 8) return "paint none";
    POINT margin{client.right - 2, client.bottom / 2};
    ::ClientToScreen(edit, &margin);
    const ULONGLONG start = ::GetTickCount64();
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(edit, EM_SETBKGNDCOLOR, 0, LPARAM(background), SMTO_NORMAL, kAnswerMs, &result))
        return "paint none";
    while (::GetTickCount64() - start < 60000) {
        if (ScreenPixel(margin) == background) return "paint " + std::to_string(::GetTickCount64() - start);
        ::Sleep(2);
    }
    return "paint timeout";
}

std::string ScrollUp(int lines)
{
    HWND edit = ShownReceiveEdit();
    DWORD_PTR result = 0;
    if (edit) ::SendMessageTimeoutW(edit, EM_LINESCROLL, 0, -lines, SMTO_NORMAL, kAnswerMs, &result);
    return edit ? "scrolled" : "scrolled none";
}

std::string TextOf(HWND edit)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerMs, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!::SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                               kAnswerMs, &got))
        return {};
    std::string ascii;
    ascii.reserve(got);
    for (size_t i = 0; i < got; ++i) ascii.push_back(text[i] < 0x80 ? char(text[i]) : '?');
    return ascii;
}

std::string Tokens()
{
    static const std::regex token("kvload ([A-Z][0-9]{6,})");
    std::string answer = "tokens";
    for (HWND page : Pages()) {
        const std::string text = TextOf(ReceiveEditOf(page));
        for (auto it = std::sregex_iterator(text.begin(), text.end(), token); it != std::sregex_iterator(); ++it)
            answer += " " + (*it)[1].str();
    }
    return answer;
}

std::string Answer(const std::string& command)
{
    if (command == "paint") return MeasurePaint();
    if (command.rfind("scrollup ", 0) == 0) return ScrollUp(std::atoi(command.c_str() + 9));
    if (command == "tokens") return Tokens();
    return "unknown " + command;
}

} // namespace

int main()
{
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string command(line);
        while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.pop_back();
        if (command == "quit") break;
        std::printf("%s\n", Answer(command).c_str());
        std::fflush(stdout);
    }
    return 0;
}
