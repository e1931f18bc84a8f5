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

// The next quote, comma or line end from the position on.
size_t FindCsvStop(const std::string& line, size_t from)
{
    for (size_t i = from; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' || c == ',' || c == '\r' || c == '\n') return i;
    }
    return std::string::npos;
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
    // Runs of ordinary characters are copied at once; only quotes, commas and line ends stop a run.
    for (size_t i = 0; i < line.size();) {
        const size_t stop = quoted ? line.find('"', i) : FindCsvStop(line, i);
        field.append(line, i, stop == std::string::npos ? std::string::npos : stop - i);
        if (stop == std::string::npos) break;
        i = stop + 1;
        if (quoted) {
            if (i < line.size() && line[i] == '"') {
                field += '"'; // a doubled quote stands for one
                ++i;
            } else {
                quoted = false;
            }
        } else if (line[stop] == '"') {
            quoted = true;
        } else if (line[stop] == ',') {
            fields.push_back(TrimNodeField(field));
            field.clear();
        } // a line end outside quotes is dropped
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
