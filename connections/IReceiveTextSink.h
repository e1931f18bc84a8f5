#pragma once
// The receive pane as the page's decisions see it: a sink of styled text.
#include <string>

namespace kv {

// The kinds of line of the receive pane, as its line styles number them.
enum PaneLineKind : int {
    PaneReceived = 0,
    PaneSent = 1,
    PaneNotice = 2,
    PaneError = 3,
    PaneRejected = 4,
    PaneDuplicate = 5,
};

class IReceiveTextSink {
public:
    virtual ~IReceiveTextSink() = default;
    virtual void AppendText(const std::u16string& text, int kind) = 0;
    // A block with the reason why it is struck out.
    virtual void AddText(const std::u16string& text, const std::u16string& reason, int kind) = 0;
};

} // namespace kv
