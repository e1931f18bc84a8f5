#include "app/CChildView.h"

#include "app/CEmptyPage.h"
#include "app/CKestrivaneApp.h"
#include "app/CReceivePane.h"
#include "app/CSendEdit.h"
#include "app/ConnectionForm.h"
#include "app/DpiHelpers.h"
#include "app/MonoFont.h"
#include "app/StateIcons.h"
#include "app/VersionText.h"
#include "base/Format.h"
#include "base/TextCatalog.h"
#include "connections/CConnectionPage.h"
#include "connections/ConnectionList.h"
#include "connections/PageLayout.h"
#include "connections/MigrateV1Settings.h"
#include "directory/NodeListUpdate.h"
#include "resources/resource.h"
#include "spots/CCtyTable.h"
#include "win/IniFile.h"

namespace kv {
namespace {

constexpr unsigned kHourMs = 3'600'000;
constexpr unsigned kDayMs = 86'400'000;
constexpr int kMinSendLines = PageLayout::kMinSendLines;
constexpr int kMaxSendLines = PageLayout::kMaxSendLines;
constexpr char16_t kWindowSection[] = u"Window";
constexpr char16_t kConnectionsSection[] = u"Connections";

int ClampSendLines(int lines) { return lines < kMinSendLines ? kMinSendLines : lines > kMaxSendLines ? kMaxSendLines : lines; }

CIniFile SettingsFile() { return CIniFile(TheApp().IniPath); }

} // namespace

// "General settings..." follows the right edge of the view's bar.
CChildView::CChildView() : buttonBar_(ID_TOOLS_GENERAL_SETTINGS, false), trafficLog_(clock_, trafficFile_) {}

CChildView::~CChildView() = default;

bool CChildView::Create(HWND parent, int id)
{
    CreateArgs args = CreateArgs::Child(u"Kestrivane.View", parent, id, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, RECT{});
    args.classStyle = CS_DBLCLKS;
    args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    return CWindowBase::Create(args);
}

bool CChildView::OnCreate(const CREATESTRUCTW&)
{
    dpi_ = GetWindowDpi(hwnd_);
    chromeDpi_ = dpi_;
    AcceptRecords(WM_APP_NODE_LIST_UPDATED);
    if (!CreateChildren()) return false;
    ReadWindowSettings();
    EnableCloseButton();
    LogStartupNotes();
    CKestrivaneApp& app = TheApp();
    app.Network.SetListener(this);
    StartQuarnelNetwork();
    trafficLogRunning_ = trafficLog_.Start(app.IniPath);
    if (trafficLogRunning_) SetTimer(kTrafficTimer, kHourMs);
    for (const std::u16string& error : app.GlobalFilters.startupErrors) Log(true, {}, FormatText(LoadText(523), error));
    if (app.GlobalFilters.allFiltersDisabled) Log(true, {}, LoadText(550));
    CheckCountryFile();
    SetTimer(kCountryFileTimer, kHourMs);
    RestoreConnections();
    if (!IsNodeListWindowRegistered(hwnd_)) RegisterNodeListWindow(hwnd_);
    if (!app.DefaultCfgFolder.empty()) StartNodeListUpdate(app.DefaultCfgFolder);
    SetTimer(kNodeListTimer, kDayMs);
    for (const std::u16string& message : app.MigrationMessages) Log(app.ImportedConnections <= 0, {}, message);
    if (app.ImportedConnections >= 0) Log(false, {}, FormatV1ImportNotice(app.ImportedConnections, app.IniPath));
    if (app.Settings.ConnectAllOnStartup) {
        startupConnectAll_ = true;
        PostMessage(WM_COMMAND, ID_CONNECTION_CONNECT_ALL);
    }
    created_ = true;
    return true;
}

bool CChildView::CreateChildren()
{
    CreateScaledUiFont(uiFont_, dpi_);
    UpdateStateIcons(stateIcons_, dpi_);
    ApplyMenuFontForDpi(menuFont_, dpi_);
    if (!tabStrip_.Create(hwnd_, IDC_VIEW_TAB_STRIP, RECT{})) return false;
    tabStrip_.SetImageList(stateIcons_);
    tabStrip_.SetFont(menuFont_.Handle() ? menuFont_.Handle() : uiFont_.Handle());

    emptyPage_ = new CEmptyPage; // deletes itself with its window
    if (!emptyPage_->Create(tabStrip_, IDC_VIEW_EMPTY_PAGE)) {
        delete emptyPage_;
        emptyPage_ = nullptr;
        return false;
    }
    emptyPage_->SetTextFont(uiFont_);
    emptyPage_->Invalidate();
    tabStrip_.AddTab(*emptyPage_, LoadText(310));
    tabStrip_.SetAddTabWnd(*emptyPage_);

    if (!logPane_.Create(hwnd_, IDC_VIEW_LOG_PANE)) return false;
    logPane_.SetHeaderFont(uiFont_, dpi_);
    if (textFont_) logPane_.SetTextFont(textFont_->Font);

    if (!buttonBar_.Create(hwnd_, IDD_VIEW_BUTTONBAR)) return false;
    ::SetWindowLongPtrW(buttonBar_, GWLP_ID, IDC_VIEW_BUTTON_BAR);
    buttonBar_.Show(SW_SHOW);
    return true;
}

void CChildView::ReadWindowSettings()
{
    const CIniFile ini = SettingsFile();
    const std::optional<long long> lines = ini.ReadInteger(kWindowSection, u"SendLines");
    sendLines_ = lines && *lines >= kMinSendLines && *lines <= kMaxSendLines ? int(*lines) : 2;
    logCollapsed_ = ini.ReadInteger(kWindowSection, u"LogCollapsed").value_or(1) != 0;
    logPane_.SetCollapsed(logCollapsed_);
    logPane_.Invalidate();
}

void CChildView::LogStartupNotes()
{
    Log(false, {}, FormatText(LoadText(319), GetVersionText()));
    if (!TheApp().IsDefaultIni) Log(false, {}, FormatText(LoadText(473), TheApp().IniPath));
}

// A view whose creation failed saves nothing: its empty lists would replace the saved ones.
void CChildView::OnDestroy()
{
    emptyPage_ = nullptr; // destroyed with the tab strip
    if (!created_) return;
    created_ = false;
    for (UINT_PTR timer : {kTrafficTimer, kStartupReportTimer, kNodeListTimer, kCountryFileTimer}) KillTimer(timer);
    UnregisterNodeListWindow(hwnd_);
    if (trafficLogRunning_) {
        trafficLog_.WritePeriod(u"exit");
        trafficLogRunning_ = false;
        SetTrafficLogOn(false);
    }
    TheApp().Network.SetListener(nullptr);
    SaveTabState();
    CIniFile ini = SettingsFile();
    ini.DeleteKey(kWindowSection, u"LogHeight"); // a key of earlier versions
    ini.WriteInteger(kWindowSection, u"LogCollapsed", logCollapsed_ ? 1 : 0);
    ini.WriteInteger(kWindowSection, u"SendLines", sendLines_);
}

LRESULT CChildView::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_APP_NODE_LIST_UPDATED:
        return OnNodeListUpdated(lParam);
    case WM_APP_CLOSE_CONNECTION:
        return OnCloseTabRequest(int(wParam));
    case WM_APP_TAB_NAME_CHANGED:
        return OnTabNameChanged(int(wParam), reinterpret_cast<const char16_t*>(lParam));
    case WM_APP_TAB_ORDER_CHANGED:
        SaveTabState();
        return 0;
    case WM_APP_ADD_TAB_CLICKED:
        OnAddTabClicked();
        return 0;
    case WM_SETFOCUS:
        FocusActiveSendLine();
        return 0;
    default:
        if (msg == CTabStrip::ActiveTabChangedMessage()) {
            OnActiveTabChanged(int(wParam));
            return 0;
        }
        return CWindowBase::WndProc(msg, wParam, lParam);
    }
}

void CChildView::OnSize(UINT, int, int) { UpdateLayout(); }

void CChildView::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kTrafficTimer:
        if (trafficLogRunning_) trafficLog_.WritePeriod(u"period");
        break;
    case kStartupReportTimer:
        KillTimer(kStartupReportTimer);
        remote_.ReportUnconnectedSinceStartup();
        break;
    case kNodeListTimer:
        if (!TheApp().DefaultCfgFolder.empty()) StartNodeListUpdate(TheApp().DefaultCfgFolder);
        break;
    case kCountryFileTimer:
        CheckCountryFile();
        break;
    default:
        break;
    }
}

bool CChildView::OnCommand(int id, int code, HWND control)
{
    // Commands reach the view through the frame's routing; those that come to the view directly (its own
    // button bar, the log pane's header, the start-up Connect All) are routed the same way.
    HWND frame = GetParent();
    if (control || !frame) return false;
    ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(control));
    // The start-up Connect All ends here, also when it was refused (nothing could connect): a later one
    // is the user's.
    if (id == ID_CONNECTION_CONNECT_ALL) startupConnectAll_ = false;
    return true;
}

void CChildView::Log(bool isError, const std::u16string& connectionName, const std::u16string& text)
{
    logPane_.AddLine(isError, connectionName, text);
}

// The layout.

int CChildView::SystemEdgeHeight() const { return GetSystemMetricForDpi(SM_CYEDGE, dpi_); }

int CChildView::GetLogPaneHeight() const
{
    const int line = textFont_ ? textFont_->LineHeight : ScaleForDpi(16, dpi_);
    return logPane_.HeaderHeight() + 2 * SystemEdgeHeight() + ScaleForDpi(1, dpi_) + 5 * line;
}

void CChildView::UpdateLayout()
{
    if (!tabStrip_.Handle() || !buttonBar_.Handle()) return;
    const RECT client = ClientRect();
    const int width = client.right - client.left;
    const int barHeight = buttonBar_.BarHeight();
    const int logHeight = logCollapsed_ ? logPane_.HeaderHeight() : GetLogPaneHeight();
    const int barTop = client.bottom - barHeight;
    const int logTop = barTop - logHeight;
    const int stripHeight = logTop > client.top ? logTop - client.top : 0;
    const RECT oldBar = buttonBar_.WindowRect();

    constexpr UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    bool moved = false;
    if (HDWP defer = ::BeginDeferWindowPos(3)) {
        defer = ::DeferWindowPos(defer, buttonBar_, nullptr, client.left, barTop, width, barHeight, flags);
        if (defer) defer = ::DeferWindowPos(defer, logPane_, nullptr, client.left, logTop, width, logHeight, flags);
        if (defer) defer = ::DeferWindowPos(defer, tabStrip_, nullptr, client.left, client.top, width, stripHeight, flags);
        moved = defer && ::EndDeferWindowPos(defer);
    }
    if (!moved) {
        buttonBar_.Move(client.left, barTop, width, barHeight);
        logPane_.Move(client.left, logTop, width, logHeight);
        tabStrip_.Move(client.left, client.top, width, stripHeight);
    }
    const RECT newBar = buttonBar_.WindowRect();
    if (!::EqualRect(&oldBar, &newBar)) {
        ::RedrawWindow(logPane_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        buttonBar_.Invalidate();
    }
    MeasureTabChrome();
}

void CChildView::MeasureTabChrome()
{
    const RECT strip = tabStrip_.ClientRect();
    if (strip.right <= 0 || strip.bottom <= 0) return;
    const RECT area = tabStrip_.GetWndArea();
    const int width = strip.right - (area.right - area.left);
    const int height = area.bottom > area.top ? strip.bottom - (area.bottom - area.top) : chromeHeight_;
    if (width < 0) return;
    if (width == chromeWidth_ && height == chromeHeight_ && dpi_ == chromeDpi_) return;
    chromeWidth_ = width;
    chromeHeight_ = height;
    chromeDpi_ = dpi_;
    PostRefitFrame();
}

void CChildView::PostRefitFrame() const
{
    if (HWND frame = GetParent()) ::PostMessageW(frame, WM_APP_REFIT_FRAME, 0, 0);
}

void CChildView::ApplyFont()
{
    if (!textFont_) return;
    logPane_.SetTextFont(textFont_->Font);
    for (int i = 0; i < ConnectionTabCount(); ++i)
        if (CConnectionPage* page = PageAt(i)) page->SetTextFont(textFont_);
    UpdateLayout();
}

void CChildView::OnDpiChanged(int dpi)
{
    dpi_ = dpi;
    buttonBar_.ScaleToDpi(dpi);
    CreateScaledUiFont(uiFont_, dpi);
    logPane_.SetHeaderFont(uiFont_, dpi);
    ApplyMenuFontForDpi(menuFont_, dpi);
    tabStrip_.SetFont(menuFont_.Handle() ? menuFont_.Handle() : uiFont_.Handle());
    if (emptyPage_) {
        emptyPage_->SetTextFont(uiFont_);
        emptyPage_->Invalidate();
    }
    for (int i = 0; i < ConnectionTabCount(); ++i) {
        if (CConnectionPage* page = PageAt(i)) {
            page->ButtonBar().ScaleToDpi(dpi);
            page->ReceivePane().SetDpi(dpi);
            page->ReceivePane().SetButtonFont(uiFont_);
            page->ReceivePane().PositionJumpButton();
            page->UpdateLayout();
        }
    }
    if (UpdateStateIcons(stateIcons_, dpi)) tabStrip_.SetImageList(stateIcons_);
    tabStrip_.RecalcLayout();
    ::RedrawWindow(tabStrip_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    ApplyFont();
    UpdateLayout();
}

void CChildView::UpdateCommandUi(const CButtonBar::CommandStateQuery& query)
{
    buttonBar_.UpdateCommandUi(query);
    for (int i = 0; i < ConnectionTabCount(); ++i)
        if (CConnectionPage* page = PageAt(i)) page->ButtonBar().UpdateCommandUi(query);
}

// The connection tabs.

int CChildView::ConnectionTabCount() const
{
    return tabStrip_.GetTabsNum() - (tabStrip_.GetAddTabIndex() >= 0 ? 1 : 0);
}

CConnectionPage* CChildView::PageAt(int index) const
{
    if (index < 0 || index >= ConnectionTabCount()) return nullptr;
    return dynamic_cast<CConnectionPage*>(CWindowBase::FromHandle(tabStrip_.GetTabWnd(index)));
}

int CChildView::FindPageIndex(const CConnectionPage* page) const
{
    for (int i = 0; i < ConnectionTabCount(); ++i)
        if (PageAt(i) == page) return i;
    return -1;
}

void CChildView::CountConnections(int& active, int& inactive) const
{
    active = inactive = 0;
    for (int i = 0; i < ConnectionTabCount(); ++i) {
        const CConnectionPage* page = PageAt(i);
        (page && page->State == 2 ? active : inactive) += 1;
    }
}

std::u16string CChildView::ConnectionName(const CConnectionPage& page) const { return page.Settings.Name; }

void CChildView::EnableCloseButton() { tabStrip_.EnableActiveTabCloseButton(ConnectionTabCount() > 0); }

CConnectionPage* CChildView::CreatePageWindow(int controlId)
{
    CKestrivaneApp& app = TheApp();
    ConnectionPageEnvironment environment;
    environment.General = &app.Settings;
    environment.FilterLevels = &app.GlobalFilters;
    environment.SentSpots = &app.SentSpots;
    environment.Logger = &app.LoggerLink;
    environment.Traffic = trafficLogRunning_ ? &trafficLog_ : nullptr;
    environment.Clock = &clock_;
    auto* page = new CConnectionPage(environment); // deletes itself with its window
    if (page->Create(tabStrip_, controlId)) return page;
    delete page;
    return nullptr;
}

void CChildView::ApplySendLines(CConnectionPage& page, int lines)
{
    lines = ClampSendLines(lines);
    if (page.SendLines == lines) return;
    page.SendLines = lines;
    page.UpdateLayout();
}

void CChildView::PrepareOpenedPage(CConnectionPage& page, const CConnectionSettings& settings, int id)
{
    page.ConnectionId = id;
    page.Owner = this;
    page.ApplySettings(settings);
    page.ResetReconnection();
    page.UpdateStatusText();
    if (TheApp().Settings.ReceiveMaxLines > 0) page.ReceivePane().SetMaxLines(TheApp().Settings.ReceiveMaxLines);
    page.ReceivePane().SetButtonFont(uiFont_);
    page.ReceivePane().PositionJumpButton();
    ApplySendLines(page, sendLines_);
    page.SetTextFont(textFont_);
}

bool CChildView::OpenConnectionTab(const CConnectionSettings& settings, int id, bool activate, bool announce)
{
    CConnectionPage* page = CreatePageWindow(pageControlId_++);
    if (!page) return false;
    PrepareOpenedPage(*page, settings, id);
    const int addTab = tabStrip_.GetAddTabIndex();
    const int index = tabStrip_.InsertTab(*page, settings.Name, addTab >= 0 ? addTab : tabStrip_.GetTabsNum(), 0);
    if (index < 0) {
        page->Destroy();
        return false;
    }
    if (activate) {
        tabStrip_.SetActiveTab(index);
        page->SendEdit().SetFocus();
    }
    EnableCloseButton();
    PostRefitFrame();
    if (announce) {
        Log(false, settings.Name, LoadText(320));
        page->AppendLogLine(false, LoadText(320));
    }
    return true;
}

void CChildView::CloseConnectionTab(int index, bool deleteSettings)
{
    CConnectionPage* page = PageAt(index);
    if (!page) return;
    const std::u16string name = ConnectionName(*page);
    const int id = page->ConnectionId;
    remote_.ForgetConnection(id);
    if (deleteSettings) {
        CIniFile ini = SettingsFile();
        DeleteConnectionSection(ini, id);
    } else {
        closedIds_.push_back(id);
    }
    if (page == lastActivePage_) lastActivePage_ = nullptr;
    tabStrip_.RemoveTab(index);
    ActivateAfterRemoval(index);
    EnableCloseButton();
    Log(false, name, LoadText(deleteSettings ? 370 : 321));
    SaveTabState();
}

void CChildView::ActivateAfterRemoval(int index)
{
    const int count = ConnectionTabCount();
    if (count == 0)
        tabStrip_.SetActiveTab(tabStrip_.GetAddTabIndex());
    else
        tabStrip_.SetActiveTab(index < count ? index : count - 1);
}

// Only a connection still closed: a choice made in the "+" menu may have been overtaken by a logger
// station's reopening while the menu was shown.
void CChildView::ReopenConnection(int id)
{
    if (std::erase(closedIds_, id) == 0) return;
    CIniFile ini = SettingsFile();
    CConnectionSettings settings;
    if (settings.Load(ini, id)) {
        if (OpenConnectionTab(settings, id, true, false)) {
            CConnectionPage* page = PageAt(ConnectionTabCount() - 1);
            Log(false, page ? ConnectionName(*page) : settings.Name, LoadText(371));
            if (page) page->AppendLogLine(false, LoadText(573));
        } else {
            closedIds_.push_back(id); // still reopenable: its settings stay
            Log(true, settings.Name, LoadText(579));
        }
    }
    SaveTabState();
}

void CChildView::SaveTabState()
{
    CIniFile ini = SettingsFile();
    std::vector<int> order;
    for (int i = 0; i < ConnectionTabCount(); ++i)
        if (const CConnectionPage* page = PageAt(i)) order.push_back(page->ConnectionId);
    WriteIdList(ini, u"Order", order);
    const CConnectionPage* active = PageAt(tabStrip_.GetActiveTab());
    ini.WriteInteger(kConnectionsSection, u"Active", active ? active->ConnectionId : 0);
    ini.WriteInteger(kConnectionsSection, u"NextId", nextId_);
    WriteIdList(ini, u"Closed", closedIds_);
}

void CChildView::RestoreConnections()
{
    CIniFile ini = SettingsFile();
    int activeId = 0;
    const std::vector<int> order = LoadConnectionList(ini, activeId, nextId_);
    closedIds_.clear();
    for (int id : LoadClosedConnections(ini))
        if (std::find(order.begin(), order.end(), id) == order.end()) closedIds_.push_back(id);

    int activeIndex = -1;
    bool listChanged = false;
    for (int id : order) {
        if (!RestoreConnection(ini, id, listChanged)) continue;
        if (id == activeId) activeIndex = ConnectionTabCount() - 1;
    }
    if (ConnectionTabCount() == 0)
        tabStrip_.SetActiveTab(tabStrip_.GetAddTabIndex());
    else
        tabStrip_.SetActiveTab(activeIndex >= 0 ? activeIndex : 0);
    EnableCloseButton();
    if (listChanged) SaveTabState();
}

// Opens the tab of one saved connection; false when it got no tab. A connection whose tab cannot be opened
// joins the closed ones, so that it stays in [Connections] and can be reopened.
bool CChildView::RestoreConnection(CIniFile& ini, int id, bool& listChanged)
{
    CConnectionSettings settings;
    if (!settings.Load(ini, id)) return false;
    if (settings.Disabled) {
        settings.Save(ini, id);
        closedIds_.push_back(id);
        Log(false, {}, FormatText(LoadText(437), settings.Name));
        listChanged = true;
        return false;
    }
    if (settings.Migrated) {
        settings.Save(ini, id);
        Log(false, {}, FormatText(LoadText(440), settings.Name));
    }
    if (OpenConnectionTab(settings, id, false, false)) return true;
    closedIds_.push_back(id);
    Log(true, settings.Name, LoadText(579));
    listChanged = true;
    return false;
}

void CChildView::UpdateTabImage(int index)
{
    const CConnectionPage* page = PageAt(index);
    if (!page) return;
    int variant = 0;
    if (!page->Settings.NoSpotsFromQuarnel && page->Transport && page->Transport->CanSendLines())
        variant |= kVariantTakesFromLogger;
    if (!page->Settings.NoSendToQuarnel) variant |= kVariantSendsToLogger;
    tabStrip_.SetTabIcon(index, StateIconIndex(page->State, variant));
    tabStrip_.RecalcLayout();
    tabStrip_.Invalidate();
    tabStrip_.Update();
}

std::u16string CChildView::MakeDefaultConnectionName() const
{
    const std::vector<std::u16string> names = GetConnectionNames(-1);
    for (int n = 1;; ++n) {
        std::u16string name = FormatText(LoadText(311), n);
        if (!IsNameTaken(name, names)) return name;
    }
}

std::vector<std::u16string> CChildView::GetConnectionNames(int leaveOut) const
{
    std::vector<std::u16string> names;
    for (int i = 0; i < ConnectionTabCount(); ++i)
        if (const CConnectionPage* page = PageAt(i); page && i != leaveOut) names.push_back(ConnectionName(*page));
    const CIniFile ini = SettingsFile();
    for (int id : closedIds_) names.push_back(GetConnectionDisplayName(ini, id));
    return names;
}

LRESULT CChildView::OnCloseTabRequest(int id)
{
    for (int i = 0; i < ConnectionTabCount(); ++i) {
        CConnectionPage* page = PageAt(i);
        if (!page || page->ConnectionId != id) continue;
        if (page->State == 1 || page->State == 2 || page->State == 4) page->Disconnect();
        CloseConnectionTab(i, false);
        break;
    }
    return 0;
}

// The services the view starts.

void CChildView::CheckCountryFile()
{
    std::u16string text;
    switch (CCtyTable::Load(text)) {
    case CtyLoadResult::Loaded: {
        const auto& table = CurrentCtyTable();
        Log(false, {}, FormatText(LoadText(499), text, table ? int(table->Entities.size()) : 0));
        break;
    }
    case CtyLoadResult::NotFound:
        Log(true, {}, FormatText(LoadText(500), text));
        break;
    case CtyLoadResult::Failed:
        Log(true, {}, FormatText(LoadText(501), text));
        break;
    case CtyLoadResult::Unchanged:
        break;
    }
}

void CChildView::StartQuarnelNetwork()
{
    CKestrivaneApp& app = TheApp();
    app.Network.Stop();
    const GeneralSettings& settings = app.Settings;
    if (settings.Disabled) {
        Log(false, {}, LoadText(366));
        return;
    }
    std::u16string error;
    if (!app.Network.Open(settings.BroadcastAddress, settings.Port, settings.ApplicationID, error)) {
        OnNetworkStatus(error);
        return;
    }
    const std::u16string target = FormatText(u"%s:%d", app.Network.BroadcastAddressText(), app.Network.Port());
    Log(false, {}, FormatText(LoadText(365), target, app.Network.Port()));
}

LRESULT CChildView::OnNodeListUpdated(LPARAM lParam)
{
    if (!lParam) return 0;
    const std::unique_ptr<NodeListUpdateResult> result = TakeRecord<NodeListUpdateResult>(lParam);
    if (trafficLogRunning_ && result->Bytes != 0) trafficLog_.GetCounters(LoadText(447)).Received += result->Bytes;
    if (result->Status == 1) Log(false, {}, FormatText(LoadText(448), result->Release, int(result->NodeCount)));
    if (result->Status == 2) Log(true, {}, FormatText(LoadText(449), result->Error));
    return 0;
}

// IConnectionEvents

void CChildView::OnConnectionStateChanged(CConnectionPage* page)
{
    UpdateTabImage(FindPageIndex(page));
    if (page) remote_.OnConnectionStateChanged(*page);
}

void CChildView::OnConnectionLogMessage(CConnectionPage* page, bool isError, const std::u16string& text)
{
    if (!page) {
        Log(isError, {}, text);
        return;
    }
    Log(isError, ConnectionName(*page), text);
    page->AppendLogLine(isError, text);
    if (isError) remote_.OnConnectionError(*page, text);
}

void CChildView::OnSendLinesChanged(CConnectionPage* page)
{
    if (!page) return;
    sendLines_ = page->SendLines;
    for (int i = 0; i < ConnectionTabCount(); ++i)
        if (CConnectionPage* other = PageAt(i); other && other != page) ApplySendLines(*other, sendLines_);
}

void CChildView::OnNetworkStatus(const std::u16string& text) { Log(true, {}, FormatText(LoadText(367), text)); }

void CChildView::OnCommandLine(CConnectionPage* page, const std::u16string& line)
{
    if (page) remote_.OnCommandLine(*page, line);
}

void CChildView::OnConnectionLost(CConnectionPage* page, const std::u16string& reason, bool reconnecting)
{
    if (page) remote_.OnConnectionLost(*page, reason, reconnecting);
}

void CChildView::OnQuarnelPacket(const std::vector<std::string>& fields) { remote_.OnQuarnelPacket(fields); }

} // namespace kv
