#pragma once
// The user-interface thread's message loop: a chain of pre-translate filters (newest first, as dialogs and
// accelerators need) and idle handlers called while the queue is empty. Messages come in the system's own
// order; the sockets keep their heavy work out of the way in read turns of their own (CSocketReadTurns).
#include <vector>

#include "win/Win32.h"

namespace kv {

class IMessageFilter {
public:
    virtual ~IMessageFilter() = default;
    // True when the message was consumed.
    virtual bool PreTranslateMessage(MSG& msg) = 0;
};

class IIdleHandler {
public:
    virtual ~IIdleHandler() = default;
    // count starts at 0 after each message; true asks for another idle call.
    virtual bool OnIdle(int count) = 0;
};

class CMessageLoop {
public:
    void AddFilter(IMessageFilter* filter);
    void RemoveFilter(IMessageFilter* filter);
    void AddIdleHandler(IIdleHandler* handler);
    void RemoveIdleHandler(IIdleHandler* handler);

    // Runs until WM_QUIT; returns its exit code.
    int Run();
    bool PreTranslate(MSG& msg);

private:
    bool RunIdle(int count);

    static constexpr UINT kSystemTimer = 0x0118; // WM_SYSTIMER, not in the headers: it blinks the caret

    std::vector<IMessageFilter*> filters_;
    std::vector<IIdleHandler*> idleHandlers_;
};

} // namespace kv
