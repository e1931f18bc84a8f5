#pragma once
// Bytes received and sent per connection, appended once an hour and at exit as tab-separated lines to a
// text file beside the settings file. User-interface thread only.
#include <cstdint>
#include <map>
#include <string>

#include "base/Ascii.h"
#include "base/Platform.h"

namespace kv {

struct TrafficCounters {
    uint64_t Received = 0;
    uint64_t Sent = 0;
};

// Where a block of lines goes: appended to the file at path, after the header when the file is empty.
class ITrafficLogFile {
public:
    virtual ~ITrafficLogFile() = default;
    // True only when every byte was written.
    virtual bool Append(const std::u16string& path, const std::string& headerUtf8, const std::string& textUtf8) = 0;
};

// What pages and the view test before counting; follows the log's enabled state.
bool IsTrafficLogOn();
void SetTrafficLogOn(bool on);

class CTrafficLog {
public:
    CTrafficLog(const IClock& clock, ITrafficLogFile& file) : clock_(clock), file_(file) {}

    // Reads [General] TrafficLog of the settings file; when it is not 0, starts the log beside it.
    bool Start(const std::u16string& settingsPath);
    // Starts a log at logPath: a new period, an empty table and a "start" block.
    void Begin(const std::u16string& logPath);
    bool Enabled() const { return enabled_; }
    const std::u16string& Path() const { return path_; }

    TrafficCounters& GetCounters(const std::u16string& connectionName);
    // One block: a line per connection with traffic, then the total. Resets the period only when written.
    bool WritePeriod(const std::u16string& event);
    bool AppendToFile(const std::u16string& text);

    static std::u16string FormatLine(const std::u16string& timeText, const std::u16string& event, uint64_t minutes,
                                     const std::u16string& name, const TrafficCounters& counters);
    static const std::string& Header();

private:
    struct NameLess {
        bool operator()(const std::u16string& a, const std::u16string& b) const
        {
            return CompareIgnoreCaseAscii<char16_t>(a, b) < 0;
        }
    };

    const IClock& clock_;
    ITrafficLogFile& file_;
    bool enabled_ = false;
    std::u16string path_;
    uint64_t periodStart_ = 0;
    std::map<std::u16string, TrafficCounters, NameLess> table_;
};

// "2026-12-08 20:05": minutes, no seconds.
std::u16string FormatUtcMinute(const UtcTime& time);
// Beside the settings file: "<base name>-traffic.log", "Kestrivane-traffic.log" for the default file in any case.
std::u16string GetTrafficLogPath(const std::u16string& settingsPath);

} // namespace kv
