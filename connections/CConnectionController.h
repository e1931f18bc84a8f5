#pragma once
// Everything a connection page decides, without its window: the connection state with the page's own
// "waiting to reconnect", the reconnection decision, the roads of received data (forwarding to the logger
// network, display in the receive pane), the recognition of the cluster software, the typed lines and the
// radio follow of CW Skimmer pages. The window side (CConnectionPage) supplies timers, the pane, the status
// text and the transports through IConnectionPageHost. User-interface thread only.
#include <cstdint>
#include <memory>
#include <string>

#include "connections/CConnectionSettings.h"
#include "connections/CGreetingScan.h"
#include "connections/CSpotLineJudge.h"
#include "connections/CWithheldSpots.h"
#include "connections/ClusterSoftware.h"
#include "connections/ConnectionPageEnvironment.h"
#include "connections/GeneralSettings.h"
#include "connections/IClusterTransport.h"
#include "connections/IConnectionEvents.h"
#include "connections/IReceiveTextSink.h"
#include "base/Platform.h"
#include "spots/CCompiledSpotFilter.h"

namespace kv {

// What the page's decisions need of its window.
class IConnectionPageHost : public ITimerHost, public IReceiveTextSink {
public:
    virtual bool HasWindow() const = 0;
    // Posts the reconnection decision to the page itself, so that it runs after the transport's handling.
    virtual void PostTransportEnded() = 0;
    virtual std::unique_ptr<IClusterTransport> MakeTransport(ConnectionType type, ITransportListener& listener) = 0;
    virtual void SetStatusText(const std::u16string& text) = 0;
    // False only when the system says the computer is not connected to the internet.
    virtual bool IsInternetReachable() = 0;
    // The pane exists and holds characters after its last line end.
    virtual bool PaneExists() const = 0;
    virtual bool PaneEndsInPartialLine() const = 0;
    // Scrolled to the end, no new lines counted, jump button updated.
    virtual void ScrollPaneToEnd() = 0;
};

// What becomes of the send line after Enter.
struct SendLineOutcome {
    bool clear = false;
    bool addToHistory = false;
    std::u16string text; // the line as sent or run, line ends made blanks
};

// A received prompt line that asks for a password.
bool IsPasswordPromptLine(const std::u16string& prompt);
// The typed text with each CR LF pair, then each other CR and LF, made a blank.
std::u16string FlattenTypedLine(const std::u16string& typed);

class CConnectionController : public ITransportListener {
public:
    static constexpr unsigned kReconnectTimer = 2;
    static constexpr unsigned kForwardTimer = 3;
    static constexpr unsigned kAnnounceTimer = 4;
    static constexpr unsigned kDisplayTimer = 5;
    static constexpr unsigned kForwardDelayMs = 500;
    static constexpr unsigned kDisplayDelayMs = 300;
    static constexpr unsigned kAnnouncePeriodMs = 15000;
    // A stream without line ends is flushed as its timer would flush it beyond this size.
    static constexpr size_t kPendingLimit = 8192;
    static constexpr int kStateWaitingToReconnect = 4;

    // page: what the reports to the owner name as their page (null in tests).
    CConnectionController(IConnectionPageHost& host, const ConnectionPageEnvironment& environment,
                          CConnectionPage* page);
    ~CConnectionController() override;

    // Called by the view.
    void ApplySettings(const CConnectionSettings& settings);
    void Connect();
    void Disconnect();
    // False when the connection is down or its transport refuses the line.
    bool ProcessOutgoingLine(const std::u16string& text, bool translate);
    void AppendLogLine(bool isError, const std::u16string& text);
    void SendSkimmerQsy();
    void UpdateStatusText();
    // The view's reset of a page it opens: countdown stopped, attempts cleared, state 0.
    void ResetReconnection();
    // New general settings are in the environment: with AutoReconnect turned off, a pending reconnection ends.
    void OnGeneralSettingsChanged();

    // Called by the window side.
    SendLineOutcome OnSendLine(const std::u16string& typed);
    void OnTransportEnded();
    void OnTimer(unsigned id);
    void FlushPendingForward(bool final);
    void FlushPendingDisplay();
    void StartRadioFollow();
    bool IsRadioFollowPage() const;
    bool FiltersApply() const;

    // ITransportListener
    void OnStateChanged(int state) override;
    void OnTextReceived(const std::u16string& text) override;
    void OnRawDataReceived(const std::string& bytes) override;
    void OnInvalidLine(const std::u16string& line, const std::u16string& reason) override;
    void OnLineSent(const std::u16string& line) override;
    void OnLogMessage(bool isError, unsigned messageId, const std::u16string& text) override;
    void OnLoggedIn() override;
    void OnTraffic(unsigned bytesReceived, unsigned bytesSent) override;
    void OnLinesTakenAgain() override;

    // What the view reads and writes.
    int ConnectionId = 0;
    CConnectionSettings Settings;
    int State = 0; // 0 disconnected, 1 connecting, 2 connected, 3 error, 4 waiting to reconnect
    std::unique_ptr<IClusterTransport> Transport;
    IConnectionEvents* Owner = nullptr;
    int SendLines = 2;
    // Set by the view's Connect All at start-up; cleared by Connect, Disconnect and once established.
    bool StartupConnectPending = false;
    ClusterSoftwareId SoftwareId = Unknown;
    uint32_t RadioFrequency = 0; // tenths of a kHz

    // The rest of the page's state, readable for the window side and the tests.
    bool UserDisconnected = false;
    bool ConnectedSinceSettings = false;
    int ReconnectAttempt = 0;
    int ReconnectCountdown = 0;
    unsigned LastErrorId = 0;
    std::u16string LastErrorText;
    // That text kept through the automatic attempts that follow, until the next Connect: why the connection
    // last failed, for the report of a connection not established since start-up.
    std::u16string LastFailureText;
    bool LostWhileConnected = false;
    bool LoggedIn = false;
    // Connected and logged in (at once where the transport has no login to do): only then has an attempt
    // succeeded, can the connection be lost and is it back for the stations.
    bool Established = false;
    bool NoPageSent = false;
    uint32_t LastQsyFrequency = 0;
    std::string PendingForward;
    std::u16string PendingDisplay;
    std::u16string PromptLine;
    CCompiledSpotFilter OwnFilter;
    CGreetingScan Greeting;
    CWithheldSpots WithheldSpots;

protected:
    const ConnectionPageEnvironment& Environment() const { return environment_; }

private:
    void CompileOwnFilter();
    bool LogsInByItself() const;
    void BecomeEstablished();
    void ReplaceTransport(ConnectionType type);
    void StartTransport();
    void StopReconnectCountdown();
    // Countdown stopped, state 0, "Automatic reconnection cancelled".
    void CancelReconnection();
    void TakeTransportStateAfterFailedStart();
    void SetClusterSoftware(ClusterSoftwareId id);
    void SendNoPageIfNeeded();
    void AnnounceSkimmerClient();
    void OnReconnectTick();
    void ForwardBlock(std::string block, bool checkAlreadySent);
    void DropAlreadySentLines(std::string& block);
    void SendLinesToQuarnel(const std::string& block);
    void ShowLines(const std::u16string& lines);
    int ClassifyLine(const std::u16string& line, bool filtersApply, std::u16string& reason);
    void ReportLog(bool isError, const std::u16string& text);
    void ReportStateChanged();
    void ReportNetworkStatus(const std::u16string& error);
    bool IsLoggerOpen() const;
    const GeneralSettings& General() const;
    uint64_t Now() const;
    CSpotLineJudge Judge() const;

    IConnectionPageHost& host_;
    ConnectionPageEnvironment environment_;
    CConnectionPage* page_;
};

} // namespace kv
