#pragma once
// How long the program's main window leaves a message unanswered: between Start and Stop a thread sends it
// WM_NULL, waits for the answer and sends the next one a moment later. The longest wait is the longest time the
// program's message loop was busy with something else (give or take that moment, a few milliseconds).
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kvprobe {

class CStallWatch {
public:
    ~CStallWatch() { Stop(); }
    // Starts a new watch (ending one still running).
    void Start(HWND window);
    // "stall <longest ms> <median ms> <answers>"; a wait still running at the stop counts whole.
    std::string Stop();

private:
    void Run(HWND window);

    std::thread thread_;
    std::atomic<bool> running_{false};
    std::mutex mutex_;
    std::vector<double> waitsMs_;
};

} // namespace kvprobe
