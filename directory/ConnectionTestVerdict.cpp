#include "directory/ConnectionTestVerdict.h"

#include <algorithm>
#include <array>

#include "base/Ascii.h"
#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "connections/ClusterSoftware.h"

namespace kv {
namespace {

enum : unsigned {
    IDS_TEST_RUNNING = 476,
    IDS_TEST_SOFTWARE = 477,
    IDS_TEST_LOGIN_PROMPT = 478,
    IDS_TEST_NOTHING_SENT = 479,
    IDS_TEST_SOFTWARE_NOT_NAMED = 480,
    IDS_TEST_NOT_A_CLUSTER = 481,
    IDS_TEST_NO_ANSWER = 482,
    IDS_TEST_REFUSED = 483,
    IDS_TEST_HOST_NOT_FOUND = 484,
    IDS_TEST_ERROR = 485,
};

enum : unsigned char {
    kSe = 240,
    kSb = 250,
    kWill = 251,
    kDont = 254,
    kIac = 255,
};

constexpr int kWsaTimedOut = 10060;
constexpr int kWsaConnRefused = 10061;
constexpr int kWsaHostNotFound = 11001;
constexpr int kWsaNoData = 11004;

// The position of the SE that ends a subnegotiation whose data starts at from, or npos. Inside it an IAC
// takes the next byte with it, so IAC IAC (a data byte 255) never starts the end.
size_t FindSubnegotiationEnd(const std::string& bytes, size_t from)
{
    for (size_t i = from; i + 1 < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) == kIac && static_cast<unsigned char>(bytes[++i]) == kSe) return i;
    return std::string::npos;
}

std::string WithoutTelnetCommands(const std::string& bytes)
{
    std::string text;
    const size_t n = bytes.size();
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c != kIac) {
            text += char(c);
            continue;
        }
        if (i + 1 == n) break;
        const auto command = static_cast<unsigned char>(bytes[i + 1]);
        if (command == kIac) {
            text += char(kIac);
            ++i;
        } else if (command >= kWill && command <= kDont) {
            i += 2; // with its option
        } else if (command == kSb) {
            const size_t end = FindSubnegotiationEnd(bytes, i + 2);
            if (end == std::string::npos) break;
            i = end;
        } else {
            ++i;
        }
    }
    return text;
}

// The software named by any line of the greeting, refined by AR-Cluster's prompt; and the last line that
// is not blank.
ClusterSoftwareId ReadGreetingLines(const std::u16string& greeting, std::u16string& lastLine)
{
    ClusterSoftwareId id = Unknown;
    for (const std::u16string& line : Split(greeting, u'\n')) {
        if (id == Unknown) id = IdentifyClusterSoftware(line);
        id = RefineArClusterVersion(id, line);
        std::u16string trimmed = Trim(line);
        if (!trimmed.empty()) lastLine = std::move(trimmed);
    }
    return id;
}

bool IsLoginPrompt(const std::u16string& line)
{
    std::u16string folded = ToLowerAscii(line);
    std::erase_if(folded, [](char16_t c) { return c == u' ' || c == u'\t'; });
    static constexpr std::array<std::u16string_view, 4> kEnds = {u"login:", u"call:", u"callsign:", u"callsign"};
    return std::any_of(kEnds.begin(), kEnds.end(), [&](std::u16string_view end) { return folded.ends_with(end); });
}

bool IsOtherServer(const std::u16string& greeting)
{
    return StartsWithIgnoreCaseAscii(greeting, u"HTTP/") || StartsWithIgnoreCaseAscii(greeting, u"SSH-");
}

// The server's protocol word: the greeting up to its first blank or line feed.
std::u16string ServerBanner(const std::u16string& greeting)
{
    return greeting.substr(0, greeting.find_first_of(u" \n"));
}

std::u16string DescribeAnswer(uint32_t elapsedMs, const std::u16string& greetingWithCr)
{
    std::u16string greeting = greetingWithCr;
    std::erase(greeting, u'\r');
    std::u16string lastLine;
    const ClusterSoftwareId id = ReadGreetingLines(greeting, lastLine);
    if (id != Unknown) return FormatText(LoadText(IDS_TEST_SOFTWARE), elapsedMs, GetClusterSoftwareName(id));
    if (IsOtherServer(greeting))
        return FormatText(LoadText(IDS_TEST_NOT_A_CLUSTER), elapsedMs, ServerBanner(greeting));
    if (lastLine.empty()) return FormatText(LoadText(IDS_TEST_NOTHING_SENT), elapsedMs);
    return FormatText(LoadText(IsLoginPrompt(lastLine) ? IDS_TEST_LOGIN_PROMPT : IDS_TEST_SOFTWARE_NOT_NAMED),
                      elapsedMs);
}

} // namespace

std::u16string DecodeGreeting(const std::string& bytes)
{
    const std::string text = WithoutTelnetCommands(bytes);
    if (auto utf16 = Utf8ToUtf16Strict(text)) return std::move(*utf16);
    return Latin1ToUtf16(text);
}

ConnectionTestStatus StatusOfConnectError(int code)
{
    if (code == kWsaConnRefused) return TestRefused;
    if (code == kWsaTimedOut) return TestNoAnswer;
    return TestError;
}

ConnectionTestStatus StatusOfResolveError(int code)
{
    return code == kWsaHostNotFound || code == kWsaNoData ? TestHostNotFound : TestError;
}

std::u16string DescribeConnectionTestStart(const std::u16string& host, int port)
{
    return FormatText(LoadText(IDS_TEST_RUNNING), host, port);
}

std::u16string DescribeConnectionTest(int32_t status, int32_t errorCode, uint32_t elapsedMs,
                                      const std::u16string& greeting)
{
    switch (status) {
    case TestAnswered:
        return DescribeAnswer(elapsedMs, greeting);
    case TestNoAnswer:
        return FormatText(LoadText(IDS_TEST_NO_ANSWER), kConnectionTestConnectSeconds);
    case TestRefused:
        return LoadText(IDS_TEST_REFUSED);
    case TestHostNotFound:
        return LoadText(IDS_TEST_HOST_NOT_FOUND);
    default:
        return FormatText(LoadText(IDS_TEST_ERROR), errorCode);
    }
}

uint64_t CGreetingCollector::WaitMs(uint64_t nowMs) const
{
    if (nowMs >= deadline_ || bytes_.size() >= kMaxBytes) return 0;
    const uint64_t left = deadline_ - nowMs;
    return bytes_.empty() ? left : std::min(left, kSilenceMs);
}

} // namespace kv
