#include "directory/NodeListText.h"

#include "base/Ascii.h"
#include "base/Text.h"
#include "base/Utf.h"

namespace kv {
namespace {

constexpr size_t kMaxHostLength = 253;
constexpr size_t kMaxLabelLength = 63;
constexpr int kDefaultPort = 23;

bool IsDigitsAndPoints(const std::string& text)
{
    for (char c : text)
        if (!IsAsciiDigit(c) && c != '.') return false;
    return true;
}

bool IsValidIpv4(const std::string& text)
{
    const std::vector<std::string> parts = Split(text, '.');
    if (parts.size() != 4) return false;
    for (const std::string& part : parts) {
        if (part.empty() || part.size() > 3) return false;
        if (std::stoi(part) > 255) return false;
    }
    return true;
}

bool IsValidLabel(const std::string& label)
{
    if (label.empty() || label.size() > kMaxLabelLength) return false;
    if (label.front() == '-' || label.back() == '-') return false;
    for (char c : label)
        if (!IsAsciiAlnum(c) && c != '-') return false;
    return true;
}

} // namespace

std::string TrimNodeField(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
    return text.substr(begin, end - begin);
}

std::vector<std::string> SplitCsvLine(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(TrimNodeField(field));
            field.clear();
        } else if (c != '\r' && c != '\n') {
            field += c;
        }
    }
    fields.push_back(TrimNodeField(field));
    return fields;
}

bool IsValidHost(const std::string& host)
{
    if (host.empty() || host.size() > kMaxHostLength) return false;
    if (IsDigitsAndPoints(host)) return IsValidIpv4(host);
    for (const std::string& label : Split(host, '.'))
        if (!IsValidLabel(label)) return false;
    return true;
}

bool ParseNodePort(const std::string& text, int& port)
{
    if (text.empty()) {
        port = kDefaultPort;
        return true;
    }
    if (text.size() > 5) return false;
    int value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    port = value;
    return value >= 1 && value <= 65535;
}

std::u16string Utf8ToCString(const std::string& bytes) { return Utf8ToUtf16(bytes); }

} // namespace kv
