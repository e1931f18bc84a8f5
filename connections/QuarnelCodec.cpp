#include "connections/QuarnelCodec.h"

#include <limits>

#include "base/Ascii.h"
#include "base/Numbers.h"

namespace kv {
namespace {

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// Blank and the bytes 0x09 to 0x0D.
bool IsFieldSpace(char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }

int HexValue(char c)
{
    if (IsAsciiDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char SimpleEscape(char c)
{
    switch (c) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    default: return c;
    }
}

// The escape after a backslash at packet[pos - 1]; pos moves past it.
char DecodeEscape(std::string_view packet, size_t& pos)
{
    const char c = packet[pos++];
    if (IsOctalDigit(c)) {
        unsigned value = unsigned(c - '0');
        for (int n = 1; n < 3 && pos < packet.size() && IsOctalDigit(packet[pos]); ++n)
            value = value * 8 + unsigned(packet[pos++] - '0');
        return char(value & 0xFF);
    }
    if (c == 'x') {
        unsigned value = 0;
        for (int n = 0; n < 2 && pos < packet.size() && HexValue(packet[pos]) >= 0; ++n)
            value = value * 16 + unsigned(HexValue(packet[pos++]));
        return char(value);
    }
    return SimpleEscape(c);
}

unsigned Checksum(std::string_view bytes)
{
    unsigned sum = 0;
    for (unsigned char b : bytes) sum += b;
    return (sum & 0xFF) | 0x80;
}

void AppendEscapedField(std::string& out, std::string_view bytes)
{
    // Written through a pointer into room for the worst case: this runs for every forwarded spot block.
    const size_t start = out.size();
    out.resize(start + 4 * bytes.size());
    char* p = out.data() + start;
    bool afterOctal = false;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0) continue;
        // 0x7F too: written raw, the framing would turn it into 0xFF at the receiver.
        if (b >= 0x7F || (afterOctal && IsAsciiDigit(c))) {
            *p++ = '\\';
            *p++ = char('0' + (b >> 6));
            *p++ = char('0' + ((b >> 3) & 7));
            *p++ = char('0' + (b & 7));
            afterOctal = true;
            continue;
        }
        if (c == '"' || c == '\\') *p++ = '\\';
        *p++ = c;
        afterOctal = false;
    }
    out.resize(size_t(p - out.data()));
}

void AppendQuoted(std::string& packet, std::string_view escaped)
{
    packet += " \"";
    packet += escaped;
    packet += '"';
}

void AppendQuotedEscaped(std::string& packet, std::string_view raw)
{
    packet += " \"";
    AppendEscapedField(packet, raw);
    packet += '"';
}

} // namespace

std::string EscapeField(std::string_view bytes)
{
    std::string out;
    AppendEscapedField(out, bytes);
    return out;
}

bool UnescapeField(std::string_view packet, size_t& pos, std::string& out)
{
    while (pos < packet.size()) {
        // Plain bytes go over in one piece.
        size_t end = pos;
        while (end < packet.size() && packet[end] != '"' && packet[end] != '\\') ++end;
        out.append(packet.substr(pos, end - pos));
        pos = end;
        if (pos == packet.size()) break;
        if (packet[pos++] == '"') return true;
        if (pos == packet.size()) return false;
        out += DecodeEscape(packet, pos);
    }
    return true;
}

std::vector<std::string> SplitPacketFields(std::string_view packet)
{
    std::vector<std::string> fields;
    size_t pos = 0;
    while (fields.size() < kQuarnelMaxFields) {
        while (pos < packet.size() && IsFieldSpace(packet[pos])) ++pos;
        if (pos >= packet.size() || packet[pos] == '\0') break;
        std::string field;
        if (packet[pos] == '"') {
            ++pos;
            if (!UnescapeField(packet, pos, field)) return {};
        } else {
            const size_t start = pos;
            while (pos < packet.size() && !IsFieldSpace(packet[pos]) && packet[pos] != '\0') ++pos;
            field.assign(packet.substr(start, pos - start));
        }
        fields.push_back(std::move(field));
        ++pos; // the byte that ended the field
    }
    return fields;
}

std::string FramePacket(std::string_view text)
{
    std::string framed(2 * text.size() + 1, '\0');
    char* p = framed.data();
    unsigned sum = 0;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0xFF) continue;
        if (b >= 0x7F) {
            *p++ = char(0x7F);
            *p++ = char(b & 0x7F);
            sum += 0x7F + (b & 0x7F);
        } else {
            *p++ = c;
            sum += b;
        }
    }
    *p++ = char((sum & 0xFF) | 0x80);
    framed.resize(size_t(p - framed.data()));
    return framed;
}

bool UnframePacket(std::string_view framed, std::string& text)
{
    if (framed.empty()) return false;
    const std::string_view body = framed.substr(0, framed.size() - 1);
    if (Checksum(body) != static_cast<unsigned char>(framed.back())) return false;
    text.resize(body.size());
    char* p = text.data();
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == 0x7F && i + 1 < body.size())
            *p++ = char(static_cast<unsigned char>(body[++i]) | 0x80);
        else
            *p++ = body[i];
    }
    text.resize(size_t(p - text.data()));
    return true;
}

std::vector<std::string> DecodePacket(std::string_view framed)
{
    std::string text;
    if (!UnframePacket(framed, text)) return {};
    return SplitPacketFields(text);
}

std::vector<std::string_view> CutIntoDatagrams(std::string_view framed)
{
    std::vector<std::string_view> datagrams;
    for (size_t pos = 0; pos < framed.size(); pos += kQuarnelDatagramSize)
        datagrams.push_back(framed.substr(pos, kQuarnelDatagramSize));
    return datagrams;
}

std::string WideToLatin1(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char16_t c : text) out += c < 0x100 ? char(c) : '?';
    return out;
}

std::u16string Latin1ToWide(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (const char c : bytes) out += char16_t(static_cast<unsigned char>(c));
    return out;
}

std::string MakeReceivedSpotPacket(std::string_view escapedAppId, std::string_view lines)
{
    std::string packet;
    packet.reserve(32 + escapedAppId.size() + 4 * lines.size());
    packet += "RCVDPKT:";
    AppendQuoted(packet, escapedAppId);
    AppendQuoted(packet, "");
    AppendQuotedEscaped(packet, lines);
    return packet;
}

std::string MakeGabPacket(std::string_view escapedAppId, std::string_view station, std::string_view message)
{
    std::string packet = "GAB:";
    AppendQuoted(packet, escapedAppId);
    AppendQuotedEscaped(packet, station);
    AppendQuotedEscaped(packet, message.substr(0, kGabMessageLimit));
    return packet;
}

std::string MakeSkimmerClientPacket(std::string_view escapedAppId, std::string_view station, int radioIndex)
{
    std::string packet = "CWSKIMMERCLIENT:";
    AppendQuoted(packet, escapedAppId);
    AppendQuotedEscaped(packet, station);
    packet += ' ';
    packet += FormatInteger(radioIndex);
    return packet;
}

std::vector<std::string> GroupLinesForPackets(std::string_view lines)
{
    std::vector<std::string> groups;
    std::string group;
    size_t pos = 0;
    while (pos < lines.size()) {
        const size_t newline = lines.find('\n', pos);
        const size_t end = newline == std::string_view::npos ? lines.size() : newline + 1;
        const std::string_view line = lines.substr(pos, end - pos);
        if (!group.empty() && group.size() + line.size() > kReceivedSpotTextLimit) {
            groups.push_back(std::move(group));
            group.clear();
        }
        group += line;
        pos = end;
    }
    if (!group.empty()) groups.push_back(std::move(group));
    return groups;
}

int ReadPacketNumber(std::string_view field)
{
    const std::optional<int> value = ReadSignedPacketNumber(field);
    return value && *value > 0 ? *value : 0;
}

std::optional<int> ReadSignedPacketNumber(std::string_view field)
{
    size_t pos = 0;
    while (pos < field.size() && IsFieldSpace(field[pos])) ++pos;
    bool negative = false;
    if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) negative = field[pos++] == '-';
    // Checked after every digit, so no run of digits can overflow the sum.
    const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                     : std::numeric_limits<int>::max();
    long long magnitude = 0;
    for (; pos < field.size() && IsAsciiDigit(field[pos]); ++pos) {
        magnitude = magnitude * 10 + (field[pos] - '0');
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace kv
