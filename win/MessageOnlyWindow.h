#pragma once
// A hidden message-only window whose messages go to a function object: the target of socket
// notifications, timers and records posted by worker threads.
#include <functional>

#include "win/WindowBase.h"

namespace kv {

class CMessageOnlyWindow : public CWindowBase {
public:
    // Returns true when it handled the message; result defaults to 0.
    using Handler = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    bool Create(Handler handler);
    void SetHandler(Handler handler) { handler_ = std::move(handler); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    Handler handler_;
};

} // namespace kv
