#include "connections/CTrafficLog.h"

#include "base/Format.h"
#include "base/Utf.h"

namespace kv {
namespace {

bool g_trafficLogOn = false;

const char16_t kTotalName[] = u"*TOTAL*";

} // namespace

bool IsTrafficLogOn()
{
    return g_trafficLogOn;
}

void SetTrafficLogOn(bool on)
{
    g_trafficLogOn = on;
}

const std::string& CTrafficLog::Header()
{
    static const std::string header =
        "# Kestrivane traffic log ([General] TrafficLog=1 in Kestrivane.ini)\r\n"
        "# Tab-separated values. Times are UTC. event: start, period (every 60 min) or exit.\r\n"
        "# One line per connection with traffic during the period, then a *TOTAL* line.\r\n"
        "# rx / tx: bytes received / sent during the period. Telnet: TCP payload only\r\n"
        "# (TCP/IP headers and keep-alive probes not counted: add about 5 to 10 %).\r\n"
        "# DX Summit: bytes transferred (compressed, HTTP headers included).\r\n"
        "# The Quarnel network (local) is not counted.\r\n"
        "# This file can be edited or deleted at any time.\r\n"
        "time_utc\tevent\tminutes\tconnection\trx\ttx\r\n";
    return header;
}

void CTrafficLog::Begin(const std::u16string& logPath)
{
    enabled_ = true;
    SetTrafficLogOn(true);
    path_ = logPath;
    periodStart_ = clock_.TickCount();
    table_.clear();
    WritePeriod(u"start");
}

TrafficCounters& CTrafficLog::GetCounters(const std::u16string& connectionName)
{
    return table_.try_emplace(connectionName).first->second;
}

std::u16string CTrafficLog::FormatLine(const std::u16string& timeText, const std::u16string& event, uint64_t minutes,
                                       const std::u16string& name, const TrafficCounters& counters)
{
    std::u16string column = name;
    for (auto& c : column)
        if (c == u'\t') c = u' ';
    return FormatText(u"%s\t%s\t%llu\t%s\t%llu\t%llu\r\n", timeText, event, minutes, column, counters.Received,
                      counters.Sent);
}

bool CTrafficLog::WritePeriod(const std::u16string& event)
{
    const uint64_t now = clock_.TickCount();
    const uint64_t minutes = (now - periodStart_ + 30000) / 60000;
    const std::u16string time = FormatUtcMinute(clock_.NowUtc());

    std::u16string block;
    TrafficCounters total;
    for (const auto& [name, counters] : table_) {
        block += FormatLine(time, event, minutes, name, counters);
        total.Received += counters.Received;
        total.Sent += counters.Sent;
    }
    block += FormatLine(time, event, minutes, kTotalName, total);
    if (!AppendToFile(block)) return false;
    periodStart_ = now;
    table_.clear();
    return true;
}

bool CTrafficLog::AppendToFile(const std::u16string& text)
{
    if (path_.empty()) return false;
    return file_.Append(path_, Header(), Utf16ToUtf8(text));
}

std::u16string FormatUtcMinute(const UtcTime& time)
{
    return FormatText(u"%04u-%02u-%02u %02u:%02u", time.year, time.month, time.day, time.hour, time.minute);
}

std::u16string GetTrafficLogPath(const std::u16string& settingsPath)
{
    const size_t slash = settingsPath.find_last_of(u"\\/");
    const size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
    const std::u16string folder = settingsPath.substr(0, nameStart);
    std::u16string base = settingsPath.substr(nameStart);
    if (const size_t dot = base.rfind(u'.'); dot != std::u16string::npos) base.resize(dot);
    if (EqualsIgnoreCaseAscii(base, u"Kestrivane")) base = u"Kestrivane";
    return folder + base + u"-traffic.log";
}

} // namespace kv
