#pragma once
// A connection to a spot source as its page and the view see it. The listener and the state live here,
// shared by every implementation; state changes go through SetState so that each is reported once.
#include <string>
#include <vector>

#include "connections/ITransportListener.h"
#include "connections/TransportState.h"

namespace kv {

class CConnectionSettings;

// The error a transport logs when it begins to refuse lines for a lasting cause (see SendRefusal): no failure of
// the connection, which stays.
inline constexpr unsigned kIdsLinesRefused = 357;

class IClusterTransport {
public:
    explicit IClusterTransport(ITransportListener* listener = nullptr) : listener_(listener) {}
    IClusterTransport(const IClusterTransport&) = delete;
    IClusterTransport& operator=(const IClusterTransport&) = delete;
    virtual ~IClusterTransport() = default;

    // Starts a connection; false when already active or when it cannot start.
    virtual bool Connect(const CConnectionSettings& settings, int commandDelayMs,
                         const std::vector<std::u16string>& globalCommands) = 0;
    virtual void Disconnect() = 0;
    // Takes changed settings without reconnecting.
    virtual void ApplySettings(const CConnectionSettings& settings) = 0;
    virtual bool IsConnected() const { return state_ == TransportState::Connected; }
    virtual bool IsActive() const
    {
        return state_ == TransportState::Connecting || state_ == TransportState::Connected;
    }
    virtual bool SendLine(const std::u16string& line) = 0;
    virtual bool AcceptsCommands() const = 0;
    virtual bool CanSendLines() const = 0;
    // Why the last line was refused while connected, when the cause lasts (a node that does not read what
    // waits for it); empty once a line is taken again, or when the transport gives no lasting cause.
    virtual std::u16string SendRefusal() const { return {}; }

    TransportState State() const { return state_; }
    ITransportListener* Listener() const { return listener_; }
    void SetListener(ITransportListener* listener) { listener_ = listener; }

protected:
    // Stores a new state and reports it; an unchanged state is not reported.
    void SetState(TransportState state)
    {
        if (state == state_) return;
        state_ = state;
        if (listener_) listener_->OnStateChanged(int(state));
    }

private:
    ITransportListener* listener_;
    TransportState state_ = TransportState::Disconnected;
};

} // namespace kv
