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

} // namespace kv
