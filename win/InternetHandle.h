#pragma once
// A WinINet handle (session, connection or request), closed when it goes, and the DWORD options set on one.
#include "win/Win32.h"

namespace kv {

class CInternetHandle {
public:
    explicit CInternetHandle(HINTERNET handle) : handle_(handle) {}
    ~CInternetHandle()
    {
        if (handle_) ::InternetCloseHandle(handle_);
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    HINTERNET Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

inline void SetInternetDwordOption(HINTERNET handle, DWORD option, DWORD value)
{
    ::InternetSetOptionW(handle, option, &value, sizeof value);
}

} // namespace kv
