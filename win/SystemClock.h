#pragma once
// IClock over the system's tick count and UTC time.
#include "base/Platform.h"
#include "win/Win32.h"

namespace kv {

class CSystemClock : public IClock {
public:
    uint64_t TickCount() const override { return ::GetTickCount64(); }
    UtcTime NowUtc() const override
    {
        SYSTEMTIME st{};
        ::GetSystemTime(&st);
        return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
    }
};

// The same with the tick count from the performance counter, finer than the system tick's 15.6 ms steps on
// Windows: for spans of a few milliseconds.
class CPerformanceClock : public CSystemClock {
public:
    CPerformanceClock() { ::QueryPerformanceFrequency(&frequency_); }
    uint64_t TickCount() const override
    {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        return uint64_t(now.QuadPart) * 1000 / uint64_t(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_{};
};

} // namespace kv
