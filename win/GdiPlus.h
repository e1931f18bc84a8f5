#pragma once
// GDI+ for our code: its header and the session that starts and stops it. The application holds one
// session for its whole run.
#include "win/Win32.h"

#include <gdiplus.h>

namespace kv {

class CGdiPlusSession {
public:
    CGdiPlusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    }
    ~CGdiPlusSession()
    {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    CGdiPlusSession(const CGdiPlusSession&) = delete;
    CGdiPlusSession& operator=(const CGdiPlusSession&) = delete;
    bool Started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

} // namespace kv
