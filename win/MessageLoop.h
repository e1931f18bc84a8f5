#pragma once
// The user-interface thread's message loop: a chain of pre-translate filters (newest first, as dialogs and
// accelerators need) and idle handlers called while the queue is empty.
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

    // At most this long, posted messages keep waiting input, paint and timers from their turn.
    static constexpr unsigned kTurnIntervalMs = 30;

    // Runs until WM_QUIT; returns its exit code.
    int Run();
    bool PreTranslate(MSG& msg);

private:
    bool RunIdle(int count);
    bool Dispatch(MSG& msg);
    enum class Taken { None, Dispatched, Quit };
    Taken TakeOne(UINT first, UINT last, UINT flags, bool& newIdlePhase);
    bool TakeWaitingInputPaintAndTimers();
    bool TakeWaitingInput(bool& newIdlePhase);
    bool TakePostedUpToMark(bool& newIdlePhase);
    bool MarkStillQueued() const;

    static constexpr int kMostOfEachKind = 64;
    static constexpr UINT kSystemTimer = 0x0118; // WM_SYSTIMER, not in the headers
    // Posted messages alone: PM_QS_POSTMESSAGE would take timers too.
    static constexpr UINT kPostedOnly = QS_POSTMESSAGE << 16;

    // A thread message the loop posts to itself to find where the posted messages of a moment end.
    const UINT markMessage_ = ::RegisterWindowMessageW(L"Kestrivane.MessageLoop.Mark");

    std::vector<IMessageFilter*> filters_;
    std::vector<IIdleHandler*> idleHandlers_;
};

} // namespace kv
