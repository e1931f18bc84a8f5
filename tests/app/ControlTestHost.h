#pragma once
// A top-level window that stands in for the page or the view in the tests of the small controls: it
// records the private messages, the commands and the wheel messages that reach it.
#include <string>
#include <vector>

#include "app/CTabStrip.h"
#include "base/Utf.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WinTestSupport.h"
#include "win/WindowBase.h"

#include <commctrl.h>

namespace kv::test {

struct ReceivedMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    std::u16string text; // the name of WM_APP_TAB_NAME_CHANGED
};

class CControlTestHost : public CWindowBase {
public:
    explicit CControlTestHost(UINT nameMessage = 0) : nameMessage_(nameMessage) {}

    // A host that takes no foreground leaves the keyboard focus of the one Wine desktop to the tests that run
    // beside it.
    bool Create(int cx, int cy, const std::u16string& title = u"Kestrivane controls", bool takeForeground = true)
    {
        CreateArgs args;
        args.className = u"Kestrivane.Test.ControlHost";
        args.title = title;
        args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        args.exStyle = takeForeground ? 0 : WS_EX_NOACTIVATE;
        args.x = 40;
        args.y = 40;
        args.cx = cx;
        args.cy = cy;
        args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        if (!CWindowBase::Create(args)) return false;
        ::ShowWindow(hwnd_, takeForeground ? SW_SHOW : SW_SHOWNOACTIVATE);
        if (takeForeground) ::SetForegroundWindow(hwnd_);
        return true;
    }

    std::vector<ReceivedMessage> Received(UINT msg) const
    {
        std::vector<ReceivedMessage> found;
        for (const auto& m : messages_)
            if (m.msg == msg) found.push_back(m);
        return found;
    }
    size_t Count(UINT msg) const { return Received(msg).size(); }
    void Clear() { messages_.clear(); }

    LRESULT nameResult = 1; // the answer to a new tab name

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        const bool privateMessage = msg >= WM_APP && msg < WM_APP + 0x40;
        if (privateMessage || msg == WM_COMMAND || msg == WM_MOUSEWHEEL || msg == CTabStrip::ActiveTabChangedMessage()) {
            ReceivedMessage m{msg, wParam, lParam, {}};
            if (nameMessage_ && msg == nameMessage_) m.text = U16(reinterpret_cast<const wchar_t*>(lParam));
            messages_.push_back(m);
            if (nameMessage_ && msg == nameMessage_) return nameResult;
            if (privateMessage || msg == WM_COMMAND) return 0;
        }
        return CWindowBase::WndProc(msg, wParam, lParam);
    }

private:
    UINT nameMessage_;
    std::vector<ReceivedMessage> messages_;
};

inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// The common controls of version 6 (SysLink with its markup, as the program's manifest asks for them),
// active while the object lives; the test programs have no manifest of their own.
class CCommonControlsV6 {
public:
    CCommonControlsV6()
    {
        const std::u16string manifest = Utf8ToUtf16(SourcePath("resources/kestrivane.manifest"));
        ACTCTXW context{sizeof context};
        context.lpSource = W(manifest);
        handle_ = ::CreateActCtxW(&context);
        if (handle_ != INVALID_HANDLE_VALUE && !::ActivateActCtx(handle_, &cookie_)) cookie_ = 0;
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_LINK_CLASS | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&icc);
    }
    ~CCommonControlsV6()
    {
        if (cookie_) ::DeactivateActCtx(0, cookie_);
        if (handle_ != INVALID_HANDLE_VALUE) ::ReleaseActCtx(handle_);
    }
    CCommonControlsV6(const CCommonControlsV6&) = delete;
    CCommonControlsV6& operator=(const CCommonControlsV6&) = delete;
    bool Active() const { return cookie_ != 0; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

} // namespace kv::test
