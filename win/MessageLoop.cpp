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

// The characters that TranslateMessage posted for the keys taken so far. They wait behind every posted message
// queued before them, while the next key is input: taken before it, each key's characters come before the next
// key, as in the loop's normal course, where posted messages come before input (Enter acts when it goes down).
// False when WM_QUIT came.
bool CMessageLoop::TakePostedCharacters(bool& newIdlePhase)
{
    Taken taken = Taken::None;
    do
        taken = TakeOne(WM_CHAR, WM_SYSDEADCHAR, PM_QS_POSTMESSAGE, newIdlePhase);
    while (taken == Taken::Dispatched);
    return taken != Taken::Quit;
}

// Takes what input, paint and timers wait, however many posted messages are queued before them. Bounded,
// since a window that never validates itself would be painted again and again.
bool CMessageLoop::TakeWaitingInputPaintAndTimers()
{
    struct Kind {
        UINT first, last, flags;
    };
    // The system's timer blinks the caret.
    constexpr Kind kKinds[] = {
        {0, 0, PM_QS_INPUT}, {0, 0, PM_QS_PAINT}, {WM_TIMER, WM_TIMER, 0}, {kSystemTimer, kSystemTimer, 0}};
    constexpr int kMostOfEachKind = 64;
    bool newIdlePhase = false;
    for (const Kind& kind : kKinds) {
        for (int n = 0; n < kMostOfEachKind; ++n) {
            if (kind.flags == PM_QS_INPUT && !TakePostedCharacters(newIdlePhase)) return newIdlePhase;
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
