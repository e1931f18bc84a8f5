#pragma once
// The receive pane as the page's decisions see it: a sink of styled text.
#include <string>

#include "app/LineStyle.h"

namespace kv {

class IReceiveTextSink {
public:
    virtual ~IReceiveTextSink() = default;
    virtual void AppendText(const std::u16string& text, int style) = 0;
    // A block with the reason why it is struck out.
    virtual void AddText(const std::u16string& text, const std::u16string& reason, int style) = 0;
};

} // namespace kv
