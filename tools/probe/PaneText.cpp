#include "PaneText.h"

#include <algorithm>
#include <functional>
#include <regex>

#include "ProgramWindows.h"

namespace kvprobe {
namespace {

constexpr DWORD_PTR kNewestTokenLines = 64;
constexpr DWORD_PTR kMostTailLines = 4000;
constexpr WORD kLineChars = 4096;

std::string Ascii(const wchar_t* text, size_t length)
{
    std::string ascii;
    ascii.reserve(length);
    for (size_t i = 0; i < length; ++i) ascii.push_back(text[i] < 0x80 ? char(text[i]) : '?');
    return ascii;
}

// One line of the control as it shows it (a line wrapped on the screen comes in parts).
std::string LineOf(HWND edit, DWORD_PTR line)
{
    std::wstring buffer(kLineChars, L'\0');
    *reinterpret_cast<WORD*>(buffer.data()) = kLineChars;
    DWORD_PTR got = 0;
    if (!SendAndWait(edit, EM_GETLINE, line, reinterpret_cast<LPARAM>(buffer.data()), &got)) return {};
    return Ascii(buffer.data(), std::min<size_t>(got, kLineChars));
}

// The control's last lines from the end up, at most `most` of them, until the visitor returns false.
void VisitLastLines(HWND edit, DWORD_PTR most, const std::function<bool(const std::string&)>& visit)
{
    DWORD_PTR lines = 0;
    if (!SendAndWait(edit, EM_GETLINECOUNT, 0, 0, &lines)) return;
    for (DWORD_PTR line = lines; line > 0 && lines - line < most; --line)
        if (!visit(LineOf(edit, line - 1))) return;
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
    DWORD_PTR length = 0;
    if (!SendAndWait(edit, WM_GETTEXTLENGTH, 0, 0, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendAndWait(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &got)) return {};
    return Ascii(text.data(), std::min<size_t>(got, length));
}

std::string TokensIn(const std::string& text)
{
    static const std::regex token("kvload ([A-Z][0-9]{6,})");
    std::string tokens;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), token); it != std::sregex_iterator(); ++it)
        tokens += " " + (*it)[1].str();
    return tokens;
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
