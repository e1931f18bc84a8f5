#pragma once
// The read turns of the user-interface thread's sockets, run by a hidden window. A socket that wakes the turns
// from rest is read at once, through a message the window posts itself, as its own notification would be, as
// long as the reads have taken at most half of the thread's time since the last slice began. Beyond that (a
// flood), and while sockets keep having more, a timer of the window runs the slices: the system hands out a
// timer only after input and paint, and after the timers due before it; when nothing of that waits, the posted
// message runs the next slice at once. The window's messages are dispatched in modal loops too (menus, dialogs,
// a move or a resize), so reading goes on there as well.
#include "connections/CReadTurns.h"
#include "win/MessageOnlyWindow.h"
#include "win/SystemClock.h"

namespace kv {

inline constexpr UINT WM_APP_READ_SLICE = WM_APP + 0x1B;

class CSocketReadTurns : private IReadTurnsHost {
public:
    // The thread's one set of turns. It lives as long as the process: sockets closed by the destructors of
    // static objects still reach it.
    static CReadTurns& Turns();

private:
    CSocketReadTurns();
    // IReadTurnsHost
    void WantSlice() override;
    void Rest() override;

    bool OnMessage(UINT msg, WPARAM wParam);
    // Input, paint or a timer waits in the thread's queue.
    static bool UserWorkWaits();

    static constexpr UINT_PTR kSliceTimer = 1;

    CPerformanceClock clock_;
    CMessageOnlyWindow window_;
    CReadTurns turns_;
    bool timerRunning_ = false;
    bool slicePosted_ = false;
    uint64_t restedAt_ = 0;    // when the turns last ran out of sockets to read
    uint64_t lastSliceMs_ = 0; // how long the last slice took
};

} // namespace kv
