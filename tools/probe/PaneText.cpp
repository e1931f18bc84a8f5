#include "PaneText.h"

#include <algorithm>
#include <functional>
#include <regex>
#include <sstream>
#include <vector>

#include "ProgramWindows.h"
#include "SharedTextBuffer.h"

namespace kvprobe {
namespace {

constexpr DWORD_PTR kNewestTokenLines = 64;
constexpr DWORD_PTR kMostTailLines = 4000;

std::string Ascii(const wchar_t* text, size_t length)
{
    std::string ascii;
    ascii.reserve(length);
    for (size_t i = 0; i < length; ++i) ascii.push_back(text[i] < 0x80 ? char(text[i]) : '?');
    return ascii;
}

// At least the number of characters (WM_GETTEXTLENGTH counts a line end as CR LF, the control holds a CR).
LONG LengthAtLeast(HWND edit)
{
    DWORD_PTR length = 0;
    return SendAndWait(edit, WM_GETTEXTLENGTH, 0, 0, &length) ? LONG(length) : 0;
}

// The characters [from, to) of the control as they are at one moment, line ends as CR.
std::string RangeOf(HWND edit, LONG from, LONG to)
{
    static CSharedTextBuffer buffer;
    to = std::min(to, from + LONG(CSharedTextBuffer::kChars - 1));
    DWORD_PTR got = 0;
    if (to <= from || !buffer.MapInto(edit) ||
        !SendAndWait(edit, EM_GETTEXTRANGE, 0, buffer.RangeForProgram(from, to), &got))
        return {};
    return Ascii(buffer.Text(), std::min<size_t>(got, size_t(to - from)));
}

// The lines of a text whose line ends are CR; the last one is what follows the last CR.
std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find('\r'); end != std::string::npos; start = end + 1, end = text.find('\r', start))
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// The control's last lines from the end up, at most `most` of them, until the visitor returns false. They are read
// at one moment, from the first of them to the end.
void VisitLastLines(HWND edit, DWORD_PTR most, const std::function<bool(const std::string&)>& visit)
{
    DWORD_PTR lines = 0, first = 0;
    if (!SendAndWait(edit, EM_GETLINECOUNT, 0, 0, &lines) ||
        !SendAndWait(edit, EM_LINEINDEX, lines > most ? lines - most : 0, 0, &first))
        return;
    const std::vector<std::string> last = LinesOf(RangeOf(edit, LONG(first), LengthAtLeast(edit)));
    for (auto line = last.rbegin(); line != last.rend(); ++line)
        if (!visit(*line)) return;
}

long long LastTokenIn(const std::string& line, char tag)
{
    static const std::regex token("kvload ([A-Z])([0-9]{6,})");
    long long newest = -1;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), token); it != std::sregex_iterator(); ++it)
        if ((*it)[1].str()[0] == tag) newest = std::stoll((*it)[2].str());
    return newest;
}

} // namespace

std::string TextOf(HWND edit)
{
    return RangeOf(edit, 0, LengthAtLeast(edit));
}

std::string TokensIn(const std::string& text)
{
    static const std::regex token("kvload ([A-Z][0-9]{6,})");
    std::string tokens;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), token); it != std::sregex_iterator(); ++it)
        tokens += " " + (*it)[1].str();
    return tokens;
}

std::string LinesIn(const std::string& text)
{
    static const std::regex item("kvload ([A-Z][0-9]{6,})|([0-9]+) lines? skipped: received faster");
    std::string lines;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), item); it != std::sregex_iterator(); ++it)
        lines += (*it)[1].matched ? " " + (*it)[1].str() : " !" + (*it)[2].str();
    return lines;
}

std::string FirstTokenInView(HWND edit)
{
    DWORD_PTR line = 0, start = 0, length = 0;
    if (!SendAndWait(edit, EM_GETFIRSTVISIBLELINE, 0, 0, &line) ||
        !SendAndWait(edit, EM_LINEINDEX, line, 0, &start) || !SendAndWait(edit, EM_LINELENGTH, start, 0, &length))
        return "-";
    std::istringstream tokens(TokensIn(RangeOf(edit, LONG(start), LONG(start + length))));
    std::string first;
    tokens >> first;
    return first.empty() ? "-" : first;
}

long long NewestToken(HWND edit, char tag)
{
    long long newest = -1;
    VisitLastLines(edit, kNewestTokenLines, [&](const std::string& line) {
        newest = LastTokenIn(line, tag);
        return newest < 0;
    });
    return newest;
}

std::string TokensAbove(HWND edit, char tag, long long number)
{
    std::string tokens;
    VisitLastLines(edit, kMostTailLines, [&](const std::string& line) {
        tokens += TokensIn(line);
        const long long newest = LastTokenIn(line, tag);
        return newest < 0 || newest > number;
    });
    return tokens;
}

} // namespace kvprobe
