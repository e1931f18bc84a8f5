#pragma once
// Drives a modal dialog from inside its own message loop: the steps run one after the other from a timer
// of this thread, so that what they post goes through the dialog's loop exactly as typed input would.
// A step that does not complete within the time limit stops the script and closes the dialog.
#include <functional>
#include <string>
#include <vector>

#include "win/Win32.h"

namespace kv::test {

class CModalScript {
public:
    // The dialog to close when the script fails or ends with the dialog still open.
    explicit CModalScript(std::function<HWND()> dialog, unsigned timeoutMs = 20000);
    ~CModalScript();
    CModalScript(const CModalScript&) = delete;
    CModalScript& operator=(const CModalScript&) = delete;

    // A step that runs once.
    void Do(std::function<void()> action);
    // A step that is repeated until it holds; what failed is named by the text.
    void WaitUntil(std::function<bool()> condition, std::string what);
    // A pause of the script (the dialog's loop keeps running).
    void Wait(unsigned ms);

    // Runs the modal call with the script playing; returns what it returned.
    INT_PTR Run(const std::function<INT_PTR()>& modal);

    bool Completed() const { return next_ == steps_.size() && failure_.empty(); }
    const std::string& Failure() const { return failure_; }

private:
    struct Step {
        std::function<bool()> run;
        std::string what;
    };
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void Abort(const std::string& why);

    std::function<HWND()> dialog_;
    unsigned timeoutMs_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    unsigned long long stepStart_ = 0;
    unsigned long long endedAt_ = 0;
    bool running_ = false;
    bool aborted_ = false;
    std::string failure_;
    UINT_PTR timer_ = 0;
};

} // namespace kv::test
