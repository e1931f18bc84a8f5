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

int CMessageLoop::Run()
{
    MSG msg{};
    int idleCount = 0;
    bool idle = true;
    for (;;) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!RunIdle(idleCount++)) idle = false;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        // Input and paint messages start a new idle phase; timers and the like do not.
        if (msg.message != WM_TIMER && msg.message != WM_PAINT && msg.message != kSystemTimer) {
            idle = true;
            idleCount = 0;
        }
    }
    return int(msg.wParam);
}

} // namespace kv
