#pragma once
// The window of one connection tab: a button bar with the status text, the received text, a splitter and
// the send line. It owns the connection's transport and glues the page's decisions (CConnectionController)
// to the real transport, panes and window timers. The view creates it, sets ConnectionId and Owner, then
// calls ApplySettings and SetTextFont; destroying the window deletes the page (a page whose window could not
// be created is left to its creator to delete).
#include <memory>
#include <string>

#include "connections/CConnectionController.h"
#include "connections/PageLayout.h"
#include "win/WindowBase.h"

namespace kv {

class CButtonBar;
class CReceivePane;
class CSendEdit;
class CSplitterBar;
struct MonoFont;

constexpr UINT WM_APP_TRANSPORT_ENDED = WM_APP + 0xB;

constexpr int IDC_PAGE_BUTTON_BAR = 1006;
constexpr int IDC_PAGE_RECEIVE_PANE = 1007;
constexpr int IDC_PAGE_SPLITTER = 1010;
constexpr int IDC_PAGE_SEND_EDIT = 1011;

class CConnectionPage : public CWindowBase, private IConnectionPageHost, public CConnectionController {
public:
    explicit CConnectionPage(const ConnectionPageEnvironment& environment);
    ~CConnectionPage() override;

    // A child window of the tab strip with the given control id; the button bar's template comes from
    // resources (the program when null).
    bool Create(HWND parent, int id, HMODULE resources = nullptr);

    // The view's calls (ApplySettings, Connect, Disconnect, ProcessOutgoingLine, AppendLogLine,
    // SendSkimmerQsy, UpdateStatusText, ResetReconnection) are those of CConnectionController.

    // The shared text font (not owned; null until set): receive pane and send line, then the layout.
    void SetTextFont(const MonoFont* font);
    const MonoFont* TextFont() const { return textFont_; }
    void UpdateLayout();

    CButtonBar& ButtonBar() { return *buttonBar_; }
    CReceivePane& ReceivePane() { return *receivePane_; }
    CSplitterBar& Splitter() { return *splitter_; }
    CSendEdit& SendEdit() { return *sendEdit_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(const CREATESTRUCTW& cs) override;
    void OnDestroy() override;
    bool OnClose() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT_PTR id) override;
    void OnFinalMessage() override;

private:
    // IConnectionPageHost
    bool StartTimer(unsigned id, unsigned periodMs) override;
    void StopTimer(unsigned id) override;
    void AppendText(const std::u16string& text, int kind) override;
    void AddText(const std::u16string& text, const std::u16string& reason, int kind) override;
    bool HasWindow() const override { return hwnd_ != nullptr; }
    void PostTransportEnded() override;
    std::unique_ptr<IClusterTransport> MakeTransport(ConnectionType type, ITransportListener& listener) override;
    void SetStatusText(const std::u16string& text) override;
    bool IsInternetReachable() override;
    bool PaneExists() const override;
    bool PaneEndsInPartialLine() const override;
    void ScrollPaneToEnd() override;

    void OnSendLineMessage();
    void OnSplitterDrag(int y);
    int Dpi() const;
    PageLayout Layout() const;

    HMODULE resources_ = nullptr;
    bool created_ = false;
    const MonoFont* textFont_ = nullptr;
    std::unique_ptr<CButtonBar> buttonBar_;
    std::unique_ptr<CReceivePane> receivePane_;
    std::unique_ptr<CSplitterBar> splitter_;
    std::unique_ptr<CSendEdit> sendEdit_;
};

} // namespace kv
