#include "StallWatch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace kvprobe {
namespace {

constexpr UINT kLongestWaitMs = 60000;
constexpr DWORD kPauseMs = 2;

} // namespace

void CStallWatch::Start(HWND window)
{
    Stop();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        waitsMs_.clear();
    }
    running_ = true;
    thread_ = std::thread([this, window] { Run(window); });
}

std::string CStallWatch::Stop()
{
    running_ = false;
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    if (waitsMs_.empty()) return "stall none";
    std::vector<double> waits = waitsMs_;
    std::sort(waits.begin(), waits.end());
    char answer[96];
    std::snprintf(answer, sizeof answer, "stall %.1f %.1f %zu", waits.back(), waits[waits.size() / 2], waits.size());
    return answer;
}

void CStallWatch::Run(HWND window)
{
    while (running_) {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point sent = Clock::now();
        DWORD_PTR result = 0;
        const bool answered =
            ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kLongestWaitMs, &result) != 0;
        const double waitMs = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            waitsMs_.push_back(waitMs);
        }
        if (!answered && !::IsWindow(window)) return;
        ::Sleep(kPauseMs);
    }
}

} // namespace kvprobe
