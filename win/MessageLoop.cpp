#include "win/MessageLoop.h"

#include <algorithm>

namespace kv {

void CMessageLoop::AddFilter(IMessageFilter* filter) { filters_.push_back(filter); }
void CMessageLoop::RemoveFilter(IMessageFilter* filter) { std::erase(filters_, filter); }
void CMessageLoop::AddIdleHandler(IIdleHandler* handler) { idleHandlers_.push_back(handler); }
void CMessageLoop::RemoveIdleHandler(IIdleHandler* handler) { std::erase(idleHandlers_, handler); }

bool CMessageLoop::PreTranslate(MSG& msg)
{
    // A filter may remove itself while it runs: walk a copy.
    const std::vector<IMessageFilter*> filters(filters_.rbegin(), filters_.rend());
    for (IMessageFilter* f : filters)
        if (f->PreTranslateMessage(msg)) return true;
    return false;
}

bool CMessageLoop::RunIdle(int count)
{
    bool more = false;
    const std::vector<IIdleHandler*> handlers(idleHandlers_);
    for (IIdleHandler* h : handlers) more = h->OnIdle(count) || more;
    return more;
}

// Dispatches one message; true when it starts a new idle phase (input and the like; timers and paint do not).
bool CMessageLoop::Dispatch(MSG& msg)
{
    if (!PreTranslate(msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return msg.message != WM_TIMER && msg.message != WM_PAINT && msg.message != kSystemTimer;
}

// Takes and dispatches the first waiting message of a kind. WM_QUIT passes every filter: it is put back for the
// loop's own GetMessage.
CMessageLoop::Taken CMessageLoop::TakeOne(UINT first, UINT last, UINT flags, bool& newIdlePhase)
{
    MSG msg{};
    if (!::PeekMessageW(&msg, nullptr, first, last, PM_REMOVE | flags)) return Taken::None;
    if (msg.message == WM_QUIT) {
        ::PostQuitMessage(int(msg.wParam));
        return Taken::Quit;
    }
    newIdlePhase = Dispatch(msg) || newIdlePhase;
    return Taken::Dispatched;
}

// Whether the mark is still queued. A modal loop (a dialog, a menu) that one of the messages before it runs takes
// it too, after every message posted before it. No PM_QS_ flags: once a sent message is handled, Wine's
// PeekMessage with them looks for sent messages alone.
bool CMessageLoop::MarkStillQueued() const
{
    MSG msg{};
    return ::PeekMessageW(&msg, reinterpret_cast<HWND>(-1), markMessage_, markMessage_, PM_NOREMOVE) &&
           msg.message == markMessage_;
}

// Takes the posted messages queued before the mark, in order: what the last input's handling posted (its
// characters, a move of the focus) comes before the next input, as in the loop's normal course, where posted
// messages come before input. False when WM_QUIT came.
bool CMessageLoop::TakePostedUpToMark(bool& newIdlePhase)
{
    MSG msg{};
    while (MarkStillQueued()) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | kPostedOnly)) continue; // a sent message came first
        if (msg.message == markMessage_ && !msg.hwnd) return true;
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(int(msg.wParam));
            return false;
        }
        newIdlePhase = Dispatch(msg) || newIdlePhase;
    }
    return true;
}

// Input, each message after the posted messages queued before it: keys go to the window that has the focus when
// they are taken. Each such round may read a socket under a flood, so input has one interval of the turn; the
// rest keeps its place in the queue. False when WM_QUIT came.
bool CMessageLoop::TakeWaitingInput(bool& newIdlePhase)
{
    const ULONGLONG start = ::GetTickCount64();
    for (int n = 0; n < kMostOfEachKind && ::GetTickCount64() - start < kTurnIntervalMs; ++n) {
        if (!(HIWORD(::GetQueueStatus(QS_INPUT)) & QS_INPUT)) return true;
        // A full queue: input keeps its place behind the posted messages.
        if (!::PostThreadMessageW(::GetCurrentThreadId(), markMessage_, 0, 0)) return true;
        if (!TakePostedUpToMark(newIdlePhase)) return false;
        const Taken taken = TakeOne(0, 0, PM_QS_INPUT, newIdlePhase);
        if (taken != Taken::Dispatched) return taken != Taken::Quit;
    }
    return true;
}

// Takes what input, paint and timers wait, however many posted messages are queued before them. Bounded,
// since a window that never validates itself would be painted again and again.
bool CMessageLoop::TakeWaitingInputPaintAndTimers()
{
    struct Kind {
        UINT first, last, flags;
    };
    // The system's timer blinks the caret.
    constexpr Kind kKinds[] = {{0, 0, PM_QS_PAINT}, {WM_TIMER, WM_TIMER, 0}, {kSystemTimer, kSystemTimer, 0}};
    bool newIdlePhase = false;
    if (!TakeWaitingInput(newIdlePhase)) return newIdlePhase;
    for (const Kind& kind : kKinds) {
        for (int n = 0; n < kMostOfEachKind; ++n) {
            const Taken taken = TakeOne(kind.first, kind.last, kind.flags, newIdlePhase);
            if (taken == Taken::Quit) return newIdlePhase;
            if (taken == Taken::None) break;
        }
    }
    return newIdlePhase;
}

int CMessageLoop::Run()
{
    MSG msg{};
    int idleCount = 0;
    bool idle = true;
    ULONGLONG lastTurn = ::GetTickCount64();
    for (;;) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!RunIdle(idleCount++)) idle = false;
        }
        // Posted messages come before input, paint and timers: while sockets keep posting (a flooding node,
        // a busy logger network) the window would neither draw nor answer the user. Now and then they get
        // their turn first.
        if (::GetTickCount64() - lastTurn >= kTurnIntervalMs) {
            if (TakeWaitingInputPaintAndTimers()) {
                idle = true;
                idleCount = 0;
            }
            lastTurn = ::GetTickCount64();
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (Dispatch(msg)) {
            idle = true;
            idleCount = 0;
        }
    }
    return int(msg.wParam);
}

} // namespace kv
