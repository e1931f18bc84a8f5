#include "app/InstanceIdentity.h"

#include <cstring>

#include "base/Ascii.h"
#include "base/Format.h"
#include "base/Numbers.h"

namespace kv {

uint64_t HashSettingsPath(const std::u16string& path)
{
    uint64_t value = 0xCBF29CE484222325ull;
    for (char16_t unit : path) {
        value ^= uint64_t(AsciiToLower(unit));
        value *= 0x100000001B3ull;
    }
    return value;
}

std::u16string MakeInstanceObjectName(const std::u16string& kind, const std::u16string& path)
{
    return FormatText(u"Local\\Kestrivane.%s.%016llX", kind, HashSettingsPath(path));
}

namespace {

std::u16string AfterLastBackslash(const std::u16string& path)
{
    const size_t slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::u16string BeforeLastBackslash(const std::u16string& path)
{
    const size_t slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

bool EndsWithIgnoreCase(const std::u16string& text, const std::u16string& tail)
{
    return text.size() >= tail.size() && EqualsIgnoreCaseAscii(std::u16string_view(text).substr(text.size() - tail.size()), tail);
}

} // namespace

std::u16string SettingsNameForTitle(const std::u16string& iniPath)
{
    std::u16string name = AfterLastBackslash(iniPath);
    const size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos && dot != 0) name.resize(dot);
    if (!EqualsIgnoreCaseAscii(name, u"Kestrivane")) return name;
    std::u16string folder = BeforeLastBackslash(iniPath);
    if (EndsWithIgnoreCase(folder, u"\\cfg")) folder = BeforeLastBackslash(folder);
    return AfterLastBackslash(folder);
}

std::u16string MakeFrameTitle(const std::u16string& appName, const std::u16string& iniPath)
{
    return FormatText(u"%s - %s", appName, SettingsNameForTitle(iniPath));
}

std::u16string FormatBuildDate(const char* compileDate, const char* compileTime)
{
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int month = 0;
    for (int i = 0; i < 12; ++i)
        if (std::strncmp(compileDate, kMonths[i], 3) == 0) month = i + 1;
    const std::string date(compileDate);
    const std::string dayText = date.size() >= 6 ? date.substr(4, 2) : std::string();
    const int day = ParseInteger<int>(std::string_view(dayText[0] == ' ' ? dayText.substr(1) : dayText)).value_or(0);
    const std::string year = date.size() >= 11 ? date.substr(7, 4) : std::string();
    const std::string time = std::string(compileTime).substr(0, 5);
    return FormatText(u"%s-%02d-%02d %s", year, month, day, time);
}

} // namespace kv
