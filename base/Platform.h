#pragma once
// The small interfaces through which portable logic reaches the platform; tests drive it with fakes.
#include <cstdint>

namespace kv {

// Window timers of the object's own window: an id per timer, a period in milliseconds.
class ITimerHost {
public:
    virtual ~ITimerHost() = default;
    virtual bool StartTimer(unsigned id, unsigned periodMs) = 0;
    virtual void StopTimer(unsigned id) = 0;
};

struct UtcTime {
    unsigned year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, milliseconds = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since an arbitrary start, never going back.
    virtual uint64_t TickCount() const = 0;
    virtual UtcTime NowUtc() const = 0;
};

} // namespace kv
