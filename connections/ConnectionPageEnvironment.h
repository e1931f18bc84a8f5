#pragma once
// The program-wide objects that every connection page reads and uses; owned by the application.
namespace kv {

class CSentSpotCache;
class CTrafficLog;
class IClock;
class ILoggerLink;
struct GeneralSettings;
struct GlobalSpotFilterLevels;

struct ConnectionPageEnvironment {
    const GeneralSettings* General = nullptr;
    const GlobalSpotFilterLevels* FilterLevels = nullptr;
    CSentSpotCache* SentSpots = nullptr;
    ILoggerLink* Logger = nullptr;
    CTrafficLog* Traffic = nullptr; // null while the traffic log is off
    const IClock* Clock = nullptr;
};

} // namespace kv
