#include "tests/support/WinModalScript.h"

#include <memory>

namespace kv::test {
namespace {

CModalScript* g_running = nullptr; // one modal script at a time on the test thread

} // namespace

CModalScript::CModalScript(std::function<HWND()> dialog, unsigned timeoutMs)
    : dialog_(std::move(dialog)), timeoutMs_(timeoutMs)
{
}

CModalScript::~CModalScript()
{
    if (timer_) ::KillTimer(nullptr, timer_);
    if (g_running == this) g_running = nullptr;
}

void CModalScript::Do(std::function<void()> action)
{
    steps_.push_back({[action = std::move(action)] {
                          action();
                          return true;
                      },
                      "action"});
}

void CModalScript::WaitUntil(std::function<bool()> condition, std::string what)
{
    steps_.push_back({std::move(condition), std::move(what)});
}

void CModalScript::Wait(unsigned ms)
{
    auto until = std::make_shared<unsigned long long>(0);
    steps_.push_back({[until, ms] {
                          const unsigned long long now = ::GetTickCount64();
                          if (*until == 0) *until = now + ms;
                          return now >= *until;
                      },
                      "pause"});
}

INT_PTR CModalScript::Run(const std::function<INT_PTR()>& modal)
{
    g_running = this;
    running_ = true;
    stepStart_ = ::GetTickCount64();
    timer_ = ::SetTimer(nullptr, 0, 20, &OnTick);
    const INT_PTR result = modal();
    running_ = false;
    ::KillTimer(nullptr, timer_);
    timer_ = 0;
    g_running = nullptr;
    if (next_ < steps_.size() && failure_.empty())
        failure_ = "the dialog closed before the step \"" + steps_[next_].what + "\"";
    return result;
}

void CALLBACK CModalScript::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_running) g_running->Tick();
}

void CModalScript::Tick()
{
    if (!running_ || aborted_) return;
    const unsigned long long now = ::GetTickCount64();
    if (next_ == steps_.size()) { // done: the dialog should have closed by now
        if (endedAt_ == 0) endedAt_ = now;
        if (now - endedAt_ > timeoutMs_) Abort("the dialog stayed open after the last step");
        return;
    }
    Step& step = steps_[next_];
    running_ = false; // a step may pump messages (a message box, say): no nested ticks meanwhile
    const bool done = step.run();
    running_ = true;
    if (done) {
        ++next_;
        stepStart_ = ::GetTickCount64();
    } else if (now - stepStart_ > timeoutMs_) {
        Abort("timed out waiting for: " + step.what);
    }
}

void CModalScript::Abort(const std::string& why)
{
    aborted_ = true;
    failure_ = why;
    if (HWND dialog = dialog_()) ::PostMessageW(dialog, WM_CLOSE, 0, 0);
}

} // namespace kv::test
