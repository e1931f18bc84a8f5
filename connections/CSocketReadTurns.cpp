#include "connections/CSocketReadTurns.h"

namespace kv {

CReadTurns& CSocketReadTurns::Turns()
{
    static CSocketReadTurns* const instance = new CSocketReadTurns;
    return instance->turns_;
}

CSocketReadTurns::CSocketReadTurns() : turns_(*this, clock_)
{
    window_.Create([this](UINT msg, WPARAM wParam, LPARAM, LRESULT&) { return OnMessage(msg, wParam); });
    window_.SetText(u"Kestrivane socket reads");
}

void CSocketReadTurns::WantSlice()
{
    // Awake again sooner than the last slice took (at least a millisecond), the turns go on as a flood's do.
    const uint64_t rested = clock_.TickCount() - restedAt_;
    const bool fromRest = !timerRunning_ && rested >= lastSliceMs_ && rested >= 1;
    // The timer is there in any case: a post that fails (a full queue) leaves the reading to it.
    if (!timerRunning_) timerRunning_ = window_.SetTimer(kSliceTimer, unsigned(CReadTurns::kSliceMs));
    if (!slicePosted_ && (fromRest || !UserWorkWaits())) slicePosted_ = window_.PostMessage(WM_APP_READ_SLICE);
}

void CSocketReadTurns::Rest()
{
    if (timerRunning_) window_.KillTimer(kSliceTimer);
    timerRunning_ = false;
    restedAt_ = clock_.TickCount();
}

bool CSocketReadTurns::OnMessage(UINT msg, WPARAM wParam)
{
    if (msg == WM_APP_READ_SLICE) slicePosted_ = false;
    else if (msg != WM_TIMER || wParam != kSliceTimer) return false;
    const uint64_t start = clock_.TickCount();
    turns_.RunSlice();
    lastSliceMs_ = clock_.TickCount() - start;
    return true;
}

bool CSocketReadTurns::UserWorkWaits()
{
    return HIWORD(::GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)) != 0;
}

} // namespace kv
