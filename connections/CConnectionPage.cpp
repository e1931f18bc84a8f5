#include "connections/CConnectionPage.h"

#include "app/CButtonBar.h"
#include "app/CReceivePane.h"
#include "app/CSendEdit.h"
#include "app/CSplitterBar.h"
#include "app/DpiHelpers.h"
#include "app/MonoFont.h"
#include "app/PaneMessages.h"
#include "app/SpotTestRequest.h"
#include "connections/CTelnetConnection.h"
#include "connections/DxSummitConnection.h"
#include "resources/resource.h"
#include "win/LinkCtrl.h"
#include "win/NetworkListManager.h"

namespace kv {

namespace {

constexpr UINT kIdConnectionClose = 32772;
constexpr int kTextMargin = 4;

} // namespace

CConnectionPage::CConnectionPage(const ConnectionPageEnvironment& environment)
    : CConnectionController(*this, environment, this),
      buttonBar_(std::make_unique<CButtonBar>(IDC_PAGE_STATUS_LINK, true)),
      receivePane_(std::make_unique<CReceivePane>()),
      splitter_(std::make_unique<CSplitterBar>()),
      sendEdit_(std::make_unique<CSendEdit>())
{
    Transport = MakeTransport(ConnectionTelnet, *this);
}

CConnectionPage::~CConnectionPage()
{
    // The transport goes first, while the page can still hear it; it reports nothing more.
    if (Transport) Transport->SetListener(nullptr);
    Transport.reset();
}

bool CConnectionPage::Create(HWND parent, int id, HMODULE resources)
{
    resources_ = resources;
    CreateArgs args = CreateArgs::Child(u"Kestrivane.ConnectionPage", parent, id, WS_CHILD | WS_CLIPCHILDREN, RECT{});
    args.classStyle = CS_DBLCLKS;
    args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    created_ = CWindowBase::Create(args);
    return created_;
}

bool CConnectionPage::OnCreate(const CREATESTRUCTW&)
{
    if (!buttonBar_->Create(hwnd_, IDD_PAGE_BUTTONBAR, resources_)) return false;
    ::SetWindowLongPtrW(*buttonBar_, GWLP_ID, IDC_PAGE_BUTTON_BAR);
    buttonBar_->Show(SW_SHOW);
    if (!receivePane_->Create(hwnd_, IDC_PAGE_RECEIVE_PANE)) return false;
    if (!splitter_->Create(hwnd_, IDC_PAGE_SPLITTER, RECT{})) return false;
    return sendEdit_->Create(hwnd_, IDC_PAGE_SEND_EDIT, RECT{});
}

void CConnectionPage::OnDestroy()
{
    // Window timers end with the window; nothing may start them again.
    for (unsigned id : {kReconnectTimer, kForwardTimer, kAnnounceTimer, kDisplayTimer})
        ::KillTimer(hwnd_, id);
}

void CConnectionPage::OnFinalMessage()
{
    // A page whose creation failed is deleted by its creator.
    if (created_) delete this;
}

bool CConnectionPage::OnClose()
{
    // Closing a tab is the view's command: it asks and saves the list.
    ::PostMessageW(::GetAncestor(hwnd_, GA_ROOT), WM_COMMAND, kIdConnectionClose, 0);
    return true;
}

LRESULT CConnectionPage::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_APP_SPLITTER_DRAG: OnSplitterDrag(int(lParam)); return 0;
    case WM_APP_SEND_LINE: OnSendLineMessage(); return 0;
    case WM_APP_SCROLL_TO_END: receivePane_->ScrollToEnd(); return 0;
    case WM_APP_PAGE_SCROLL:
        if (receivePane_->TextControl().Handle()) receivePane_->TextControl().SendMessage(WM_VSCROLL, wParam, 0);
        return 0;
    case WM_APP_TRANSPORT_ENDED: OnTransportEnded(); return 0;
    case WM_APP_TEST_IN_SPOT_FILTERS:
        if (lParam && Owner) Owner->OnTestInSpotFilters(this, *reinterpret_cast<const SpotTestRequest*>(lParam));
        return 0;
    case WM_SETFOCUS:
        if (sendEdit_->Handle()) ::SetFocus(*sendEdit_);
        return 0;
    case WM_SHOWWINDOW: // a switch of tabs
        receivePane_->OnShowing(wParam != 0);
        return CWindowBase::WndProc(msg, wParam, lParam);
    default: return CWindowBase::WndProc(msg, wParam, lParam);
    }
}

void CConnectionPage::OnSize(UINT, int, int) { UpdateLayout(); }

void CConnectionPage::OnTimer(UINT_PTR id) { CConnectionController::OnTimer(unsigned(id)); }

// ---- what the decisions need of the window

bool CConnectionPage::StartTimer(unsigned id, unsigned periodMs)
{
    return hwnd_ && ::SetTimer(hwnd_, id, periodMs, nullptr) != 0;
}

void CConnectionPage::StopTimer(unsigned id)
{
    if (hwnd_) ::KillTimer(hwnd_, id);
}

void CConnectionPage::AppendText(const std::u16string& text, int style) { receivePane_->AppendText(text, style); }

void CConnectionPage::AddText(const std::u16string& text, const std::u16string& reason, int style)
{
    receivePane_->AddText(text, reason, style);
}

void CConnectionPage::PostTransportEnded()
{
    if (hwnd_) PostMessage(WM_APP_TRANSPORT_ENDED, 0, 0);
}

std::unique_ptr<IClusterTransport> CConnectionPage::MakeTransport(ConnectionType type, ITransportListener& listener)
{
    if (type == ConnectionDxSummit) return std::make_unique<CDxSummitConnection>(&listener);
    auto telnet = std::make_unique<CTelnetConnection>(&listener);
    if (Environment().General) telnet->SetLostConnectionDelay(Environment().General->LostConnectionDelay);
    return telnet;
}

void CConnectionPage::SetStatusText(const std::u16string& text)
{
    if (buttonBar_->Handle()) CLinkCtrl(buttonBar_->GetItem(IDC_PAGE_STATUS_LINK)).SetMarkup(text);
}

bool CConnectionPage::IsInternetReachable() { return !IsInternetKnownUnreachable(); }

bool CConnectionPage::PaneExists() const { return receivePane_->TextControl().Handle() != nullptr; }

bool CConnectionPage::PaneEndsInPartialLine() const { return receivePane_->EndsInPartialLine(); }

void CConnectionPage::ScrollPaneToEnd() { receivePane_->ScrollToEnd(); }

// ---- the send line and the layout

void CConnectionPage::OnSendLineMessage()
{
    const SendLineOutcome outcome = OnSendLine(sendEdit_->GetText());
    if (outcome.addToHistory) sendEdit_->AddToHistory(outcome.text);
    if (outcome.clear) sendEdit_->SetText(u"");
}

int CConnectionPage::Dpi() const { return GetWindowDpi(hwnd_); }

PageLayout CConnectionPage::Layout() const
{
    PageLayoutMetrics metrics;
    metrics.dpi = Dpi();
    metrics.lineHeight = textFont_ ? textFont_->LineHeight : 0;
    metrics.edge = GetSystemMetricForDpi(SM_CYEDGE, metrics.dpi);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    metrics.clientHeight = client.bottom;
    RECT bar{};
    if (buttonBar_->Handle()) ::GetWindowRect(*buttonBar_, &bar);
    metrics.barHeight = bar.bottom - bar.top;
    return PageLayout(metrics);
}

void CConnectionPage::UpdateLayout()
{
    if (!hwnd_ || !sendEdit_->Handle()) return;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const PageLayoutRects r = Layout().Arrange(SendLines);
    const int width = client.right;
    ::MoveWindow(*buttonBar_, 0, 0, width, r.barHeight, TRUE);
    ::MoveWindow(*receivePane_, 0, r.paneTop, width, r.paneHeight, TRUE);
    ::MoveWindow(*splitter_, 0, r.splitterTop, width, r.splitterHeight, TRUE);
    ::MoveWindow(*sendEdit_, 0, r.sendTop, width, r.sendHeight, TRUE);
}

void CConnectionPage::OnSplitterDrag(int y)
{
    const int lines = Layout().SendLinesForSplitterAt(y);
    if (lines == SendLines) return;
    SendLines = lines;
    UpdateLayout();
    if (Owner) Owner->OnSendLinesChanged(this);
}

void CConnectionPage::SetTextFont(const MonoFont* font)
{
    textFont_ = font;
    if (!hwnd_ || !font) return;
    const int dpi = Dpi();
    const int margin = ScaleForDpi(kTextMargin, dpi);
    ::SendMessageW(*sendEdit_, WM_SETFONT, WPARAM(HFONT(font->Font)), TRUE);
    ::SendMessageW(*sendEdit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(margin, margin));
    receivePane_->SetDpi(dpi);
    receivePane_->SetLineHeight(font->LineHeight);
    receivePane_->SetTextFont(HFONT(font->Font), margin);
    receivePane_->PositionJumpButton();
    UpdateLayout();
}

} // namespace kv
