#pragma once
// What a connection page tells the view. The view implements it; a page keeps a plain pointer to it.
#include <string>

namespace kv {

class CConnectionPage;
struct SpotTestRequest;

class IConnectionEvents {
public:
    virtual ~IConnectionEvents() = default;
    // After every state change, when the login of a connection completes, and when a pending reconnection
    // is cancelled.
    virtual void OnConnectionStateChanged(CConnectionPage* page) = 0;
    // A line for the log pane.
    virtual void OnConnectionLogMessage(CConnectionPage* page, bool isError, const std::u16string& text) = 0;
    // The user dragged the page's splitter; the page's SendLines already holds the new count.
    virtual void OnSendLinesChanged(CConnectionPage* page) = 0;
    // Sending to the logger network failed with this error text.
    virtual void OnNetworkStatus(const std::u16string& text) = 0;
    // The user typed a slash command in this page.
    virtual void OnCommandLine(CConnectionPage* page, const std::u16string& line) = 0;
    // An established connection ended without a user's disconnect.
    virtual void OnConnectionLost(CConnectionPage* page, const std::u16string& reason, bool reconnecting) = 0;
    // The user asked to test a received line in the spot filters: its text, character index and the reason
    // of a line withheld as a duplicate.
    virtual void OnTestInSpotFilters(CConnectionPage* page, const SpotTestRequest& request) = 0;
};

} // namespace kv
