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
    // The timer is there in any case: a post that fails (a full queue) leaves the reading to it.
    if (!timerRunning_) timerRunning_ = window_.SetTimer(kSliceTimer, unsigned(CReadTurns::kSliceMs));
    if (!slicePosted_ && !UserWorkWaits()) slicePosted_ = window_.PostMessage(WM_APP_READ_SLICE);
}

void CSocketReadTurns::Rest()
{
    if (timerRunning_) window_.KillTimer(kSliceTimer);
    timerRunning_ = false;
}

bool CSocketReadTurns::OnMessage(UINT msg, WPARAM wParam)
{
    if (msg == WM_APP_READ_SLICE) slicePosted_ = false;
    else if (msg != WM_TIMER || wParam != kSliceTimer) return false;
    turns_.RunSlice();
    return true;
}

bool CSocketReadTurns::UserWorkWaits()
{
    return HIWORD(::GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)) != 0;
}

} // namespace kv
