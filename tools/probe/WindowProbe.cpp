// The load tool's eyes on the running program (kvwindowprobe.exe, run under Wine in the program's prefix and
// display). It answers commands read line by line from its standard input:
//   paint              how long the shown receive pane takes to paint when asked: "paint <ms>" once the screen
//                      shows what it was asked to paint ("paint none" without a pane, "paint timeout" after 60 s)
//   scrollup <lines>   scrolls the shown receive pane up by that many lines, as a reader does; "scrolled"
//   tokens             the "kvload <tag><number>" tokens that every receive pane shows now, as
//                      "tokens <tag><number> ..." on one line
//   tail <n> <token>   the tokens of the last lines of the n-th connection's receive pane, read from the end up
//                      to the token (<tag><number>) or an older one of the tag: "tail <tag><number> ..."
//   pane <n>           what the receive pane of the n-th connection's page shows now: "pane <lines> <notices of
//                      skipped lines> <tag><number> ..."
//   lines <n>          the whole text of the n-th connection's receive pane, line by line in order: "lines <lines>
//                      <item> ...", an item " <tag><number>" for a line with a token, "!<count>" for a notice of
//                      that many lines skipped
//   copyall <n>        Copy All of the n-th connection's receive pane as a user does it (a right click into it, the
//                      menu's key): "copied <ms> <item> ..." with the clipboard's lines as "lines" gives them, ms from
//                      the key until the clipboard changed
//   set <field> <value>
//                      opens General Settings by its menu command, gives the field ("maxlines" or "fontsize") the
//                      value and clicks OK: "set <ms>", ms from the click until the dialog had gone
//   click <n>          clicks the n-th connection's tab (real input, the tab found on the screen) and answers at
//                      once: "clicked" (or "clicked nopage", "clicked notab")
//   shown              the number of the connection whose page is visible: "shown <n>" ("shown none")
//   top                the token of the first line that the shown receive pane shows: "top <tag><number>" or "top -"
//   stallstart         starts timing how long the main window leaves a message unanswered; "stallstart"
//   stallend           "stall <longest ms> <median ms> <answers>" since stallstart
//   switch <n> <token> <how>
//                      times a switch to the n-th connection's page: answers "ready" at once (or "switch nopage",
//                      "switch notab"); with how "click" it then clicks the page's tab itself (real input, the
//                      tab found on the screen), with "other" someone else switches once "ready" is read. Then
//                      "switch shown <ms> painted <ms> line <ms> drawn <ms>": the page visible, painted, its pane
//                      holding the token (<tag><number>, or "-" for none) or a newer one of the tag, and painted
//                      again after that; "-" for what was not seen within 30 s
//   type <text>        types the text (lower-case letters and digits) into the send line of the page shown: a
//                      click into it, then its keys in one burst; "typed <ms>" once the send line holds them.
//                      Then waits for a line "enter" (anything else: the text stays), presses Enter and answers
//                      "entered <ms>" once the send line is empty
//   quit
// The windows are found by their classes and control ids; everything is asked with sent messages, which the
// program answers whatever waits in its queue (but not while it is busy, which is what is timed). A pane's text
// comes through memory shared with the program, never in an answer (SharedTextBuffer.h).
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "CopyAllCheck.h"
#include "PaintCheck.h"
#include "PaneText.h"
#include "ProgramWindows.h"
#include "SettingsDialog.h"
#include "StallWatch.h"
#include "SwitchWatch.h"
#include "TabsOnScreen.h"
#include "TypingCheck.h"

using namespace kvprobe;

namespace {

constexpr char kSkippedNotice[] = "skipped: received faster than";

int NumberIn(std::istringstream& args)
{
    int number = -1;
    args >> number;
    return number;
}

void Reply(const std::string& answer)
{
    std::printf("%s\n", answer.c_str());
    std::fflush(stdout);
}

std::string MeasurePaint()
{
    const uint64_t start = NowMs();
    CPaintCheck check;
    if (!check.Ask(ShownReceiveEdit())) return "paint none";
    while (NowMs() - start < 60000) {
        if (check.Painted()) return "paint " + std::to_string(NowMs() - start);
        ::Sleep(2);
    }
    return "paint timeout";
}

std::string ScrollUp(int lines)
{
    HWND edit = ShownReceiveEdit();
    if (edit) SendAndWait(edit, EM_LINESCROLL, 0, -lines);
    return edit ? "scrolled" : "scrolled none";
}

std::string Tokens()
{
    std::string answer = "tokens";
    for (HWND page : Pages()) answer += TokensIn(TextOf(ReceiveEditOf(page)));
    return answer;
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

std::string Pane(int number)
{
    HWND page = PageOf(number);
    if (!page) return "pane none";
    const std::string text = TextOf(ReceiveEditOf(page));
    // Each line end holds one CR, whether the text comes with CR or CR LF line ends.
    return "pane " + std::to_string(std::count(text.begin(), text.end(), '\r')) + " " +
           std::to_string(Count(text, kSkippedNotice)) + TokensIn(text);
}

std::string Lines(int number)
{
    HWND page = PageOf(number);
    if (!page) return "lines none";
    const std::string text = TextOf(ReceiveEditOf(page));
    return "lines " + std::to_string(std::count(text.begin(), text.end(), '\r')) + LinesIn(text);
}

std::string CopyAll(int number)
{
    HWND page = PageOf(number);
    return page ? CCopyAllCheck().CopyAll(ReceiveEditOf(page)) : "copied none";
}

// "set <field> <value>"
std::string Set(std::istringstream& args)
{
    std::string field, value;
    args >> field >> value;
    return CSettingsDialog().Set(field, value);
}

std::string Click(int number)
{
    HWND page = PageOf(number);
    POINT at{};
    if (!page) return "clicked nopage";
    if (!CTabsOnScreen(FindTabStrip(), page).PointIn(number, at)) return "clicked notab";
    ClickAt(at);
    return "clicked";
}

std::string Shown()
{
    for (int number = 0; HWND page = PageOf(number); ++number)
        if (::IsWindowVisible(page)) return "shown " + std::to_string(number);
    return "shown none";
}

std::string Top()
{
    HWND edit = ShownReceiveEdit();
    return edit ? "top " + FirstTokenInView(edit) : "top none";
}

// "switch <n> <token> <how>"; answers "ready" itself before it switches or lets switch.
std::string Switch(std::istringstream& args)
{
    const int number = NumberIn(args);
    std::string token, how;
    args >> token >> how;
    HWND page = PageOf(number);
    if (!page) return "switch nopage";
    POINT at{};
    if (how == "click" && !CTabsOnScreen(FindTabStrip(), page).PointIn(number, at)) return "switch notab";
    const bool hasToken = token.size() > 1 && token[0] >= 'A' && token[0] <= 'Z';
    Reply("ready");
    const uint64_t start = NowMs();
    if (how == "click") ClickAt(at);
    return CSwitchWatch(page, hasToken ? token[0] : 0, hasToken ? std::atoll(token.c_str() + 1) : 0).Watch(start);
}

// "tail <n> <token>"
std::string Tail(std::istringstream& args)
{
    const int number = NumberIn(args);
    std::string token;
    args >> token;
    HWND page = PageOf(number);
    if (!page || token.size() < 2) return "tail none";
    return "tail" + TokensAbove(ReceiveEditOf(page), token[0], std::atoll(token.c_str() + 1));
}

std::string ReadCommand()
{
    char line[256];
    if (!std::fgets(line, sizeof line, stdin)) return "quit";
    std::string command(line);
    while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.pop_back();
    return command;
}

// "type <text>", then "enter".
std::string Type(std::istringstream& args)
{
    std::string text;
    args >> text;
    CTypingCheck typing;
    const std::string typed = typing.Type(text);
    Reply(typed);
    if (typed.find_first_of("0123456789") == std::string::npos) return "entered none";
    return ReadCommand() == "enter" ? typing.Enter() : "entered none";
}

std::string Answer(const std::string& line, CStallWatch& stalls)
{
    std::istringstream args(line);
    std::string command;
    args >> command;
    if (command == "paint") return MeasurePaint();
    if (command == "scrollup") return ScrollUp(NumberIn(args));
    if (command == "tokens") return Tokens();
    if (command == "tail") return Tail(args);
    if (command == "pane") return Pane(NumberIn(args));
    if (command == "lines") return Lines(NumberIn(args));
    if (command == "copyall") return CopyAll(NumberIn(args));
    if (command == "set") return Set(args);
    if (command == "top") return Top();
    if (command == "click") return Click(NumberIn(args));
    if (command == "shown") return Shown();
    if (command == "stallstart") {
        stalls.Start(FindFrame());
        return "stallstart";
    }
    if (command == "stallend") return stalls.Stop();
    if (command == "switch") return Switch(args);
    if (command == "type") return Type(args);
    return "unknown " + line;
}

} // namespace

int main()
{
    CStallWatch stalls;
    for (std::string command = ReadCommand(); command != "quit"; command = ReadCommand())
        Reply(Answer(command, stalls));
    return 0;
}
