// The commands of the connection view: their enabling, what each does, the tab strip's notifications, the
// "+" tab's menu and the side of the view that the spot-filter dialogs see.
#include "app/CChildView.h"

#include <algorithm>

#include "app/CKestrivaneApp.h"
#include "app/CMainFrame.h"
#include "app/CReceivePane.h"
#include "app/CSendEdit.h"
#include "app/ConnectionForm.h"
#include "app/PaneMessages.h"
#include "base/Format.h"
#include "base/TextCatalog.h"
#include "connections/CConnectionPage.h"
#include "connections/ConnectionList.h"
#include "resources/resource.h"
#include "win/IniFile.h"

namespace kv {
namespace {

constexpr char16_t kSpotFiltersSection[] = u"SpotFilters";
constexpr int kAddTabNewItem = 1;
constexpr int kAddTabReopenBase = 100;
constexpr int kAddTabDeleteBase = 1000;

// The delete items start at 1000, or after the last reopen item when there are more than 900 of them.
int AddTabDeleteBase(size_t closedCount)
{
    return std::max(kAddTabDeleteBase, kAddTabReopenBase + int(closedCount));
}

CIniFile SettingsFile() { return CIniFile(TheApp().IniPath); }

CommandState Enabled(bool enabled, bool checked = false) { return CommandState{enabled, checked}; }

} // namespace

std::optional<CommandState> CChildView::QueryCommand(int id)
{
    const CConnectionPage* page = ActivePage();
    switch (id) {
    case ID_CONNECTION_NEW:
    case ID_TOOLS_GENERAL_SETTINGS:
    case ID_TOOLS_SPOT_FILTERS:
        return Enabled(true);
    case ID_CONNECTION_CLOSE:
    case ID_CONNECTION_DELETE:
    case ID_CONNECTION_RENAME:
    case ID_CONNECTION_SETTINGS:
    case ID_CONNECTION_SPOT_FILTERS:
    case ID_EDIT_SELECT_ALL_RECEIVED:
        return Enabled(page != nullptr);
    case ID_CONNECTION_CONNECT: return Enabled(page && IsConnectableState(page->State));
    case ID_CONNECTION_DISCONNECT: return Enabled(page && IsActiveState(page->State));
    case ID_CONNECTION_CONNECT_ALL: return Enabled(AnyPage(IsConnectableState));
    case ID_CONNECTION_DISCONNECT_ALL: return Enabled(AnyPage(IsActiveState));
    case ID_CONNECTION_NEXT:
    case ID_CONNECTION_PREVIOUS:
        return Enabled(ConnectionTabCount() > 1);
    case ID_VIEW_LOG_PANE: return Enabled(true, !logCollapsed_);
    case ID_TOOLS_DISABLE_ALL_FILTERS: return Enabled(true, TheApp().GlobalFilters.allFiltersDisabled);
    default: return std::nullopt;
    }
}

void CChildView::ExecuteCommand(int id)
{
    switch (id) {
    case ID_CONNECTION_NEW: OnNewConnection(); break;
    case ID_CONNECTION_CLOSE: OnCloseConnection(); break;
    case ID_CONNECTION_DELETE: OnDeleteConnection(); break;
    case ID_CONNECTION_RENAME: OnRenameConnection(); break;
    case ID_CONNECTION_CONNECT:
        if (CConnectionPage* page = ActivePage(); page && IsConnectableState(page->State)) page->Connect();
        break;
    case ID_CONNECTION_DISCONNECT:
        if (CConnectionPage* page = ActivePage(); page && IsActiveState(page->State)) page->Disconnect();
        break;
    case ID_CONNECTION_SETTINGS: OnConnectionSettings(); break;
    case ID_CONNECTION_SPOT_FILTERS: OnConnectionSpotFilters(); break;
    case ID_CONNECTION_CONNECT_ALL: ConnectAll(); break;
    case ID_CONNECTION_DISCONNECT_ALL: DisconnectAll(); break;
    case ID_CONNECTION_NEXT: StepActiveTab(+1); break;
    case ID_CONNECTION_PREVIOUS: StepActiveTab(-1); break;
    case ID_VIEW_LOG_PANE: ToggleLogPane(); break;
    case ID_TOOLS_GENERAL_SETTINGS: OnGeneralSettings(); break;
    case ID_TOOLS_SPOT_FILTERS: OnAllSpotFilters(); break;
    case ID_TOOLS_DISABLE_ALL_FILTERS: OnDisableAllSpotFilters(); break;
    case ID_EDIT_SELECT_ALL_RECEIVED: OnSelectAllReceived(); break;
    default: break;
    }
}

bool CChildView::AnyPage(bool (*test)(int state)) const
{
    for (int i = 0; i < ConnectionTabCount(); ++i)
        if (const CConnectionPage* page = PageAt(i); page && test(page->State)) return true;
    return false;
}

CConnectionPage* CChildView::FindPageById(int id) const
{
    for (int i = 0; i < ConnectionTabCount(); ++i)
        if (CConnectionPage* page = PageAt(i); page && page->ConnectionId == id) return page;
    return nullptr;
}

void CChildView::LogToPage(CConnectionPage& page, const std::u16string& text)
{
    Log(false, ConnectionName(page), text);
    page.AppendLogLine(false, text);
}

void CChildView::FocusActiveSendLine()
{
    if (CConnectionPage* page = ActivePage()) page->SendEdit().SetFocus();
}

// New.

CConnectionSettings CChildView::MakeNewConnectionSettings() const
{
    CConnectionSettings settings;
    settings.Name = MakeDefaultConnectionName();
    if (const CConnectionPage* first = PageAt(0)) settings.Login = first->Settings.Login;
    return settings;
}

// An id is handed out once, here, and never again. A connection whose tab cannot be opened keeps its
// settings among the closed ones, from where it can be reopened.
void CChildView::AddNewConnection(const CConnectionSettings& settings)
{
    const int id = nextId_++;
    CIniFile ini = SettingsFile();
    settings.Save(ini, id);
    if (!OpenConnectionTab(settings, id, true, true)) {
        closedIds_.push_back(id);
        Log(true, settings.Name, LoadText(579));
    }
    SaveTabState();
}

// Close and Delete. A question is modal: while it is open, a logger station may close the tab, so the
// page is looked up again by its id once answered.

void CChildView::OnCloseConnection()
{
    CConnectionPage* page = ActivePage();
    if (!page) return;
    const int id = page->ConnectionId;
    const std::u16string name = ConnectionName(*page);
    if ((page->State == 3 || page->State == 4) && !page->LastErrorText.empty()) {
        const int answer = questions_->AskCloseOrDelete(FormatText(LoadText(458), name, page->LastErrorText));
        page = FindPageById(id);
        if (answer == kDeleteTheConnection && !page) TellNotDeletedWhenClosed(id, name);
        if (answer == 0 || !page) return;
        page->Disconnect();
        CloseConnectionTab(FindPageIndex(page), answer == kDeleteTheConnection);
        return;
    }
    const bool active = IsActiveState(page->State);
    const bool yes = questions_->AskYesNo(FormatText(LoadText(active ? 313 : 312), name), true);
    page = FindPageById(id);
    if (!yes || !page) return;
    if (IsActiveState(page->State)) page->Disconnect();
    CloseConnectionTab(FindPageIndex(page), false);
}

void CChildView::OnDeleteConnection()
{
    CConnectionPage* page = ActivePage();
    if (!page) return;
    const int id = page->ConnectionId;
    const std::u16string name = ConnectionName(*page);
    const bool active = IsActiveState(page->State);
    const bool yes = questions_->AskYesNo(FormatText(LoadText(active ? 369 : 314), name), false);
    page = FindPageById(id);
    if (yes && !page) TellNotDeletedWhenClosed(id, name);
    if (!yes || !page) return;
    if (IsActiveState(page->State)) page->Disconnect();
    CloseConnectionTab(FindPageIndex(page), true);
}

// A deletion confirmed for a tab that a logger station closed meanwhile is not done, as the "+" menu keeps a
// connection that a station reopened: what was asked no longer stands. The user is told why.
void CChildView::TellNotDeletedWhenClosed(int id, const std::u16string& name)
{
    if (IsClosedConnection(id)) questions_->ShowMessage(FormatText(LoadText(582), name), MB_OK | MB_ICONWARNING);
}

// Rename.

void CChildView::OnRenameConnection()
{
    if (ActivePage()) tabStrip_.BeginRename(tabStrip_.GetActiveTab());
}

LRESULT CChildView::OnTabNameChanged(int index, const std::u16string& name)
{
    CConnectionPage* page = PageAt(index);
    if (!page || name.empty()) return 0;
    const std::u16string oldName = ConnectionName(*page);
    if (name == oldName) return 1;
    if (IsNameTaken(name, GetConnectionNames(index))) {
        questions_->ShowMessage(FormatText(LoadText(335), name), MB_OK | MB_ICONWARNING);
        return 0;
    }
    CConnectionSettings settings = page->Settings;
    settings.Name = name;
    page->ApplySettings(settings);
    CIniFile ini = SettingsFile();
    settings.Save(ini, page->ConnectionId);
    LogToPage(*page, FormatText(LoadText(322), oldName));
    return 1;
}

// Settings.

void CChildView::ApplyConnectionSettings(CConnectionPage& page, const CConnectionSettings& settings)
{
    const CConnectionSettings before = page.Settings;
    const std::u16string changes = ListReconnectChanges(before, settings);
    const int id = page.ConnectionId;
    page.ApplySettings(settings);
    CIniFile ini = SettingsFile();
    settings.Save(ini, id);
    const int index = FindPageIndex(&page);
    if (settings.Name != before.Name) {
        tabStrip_.SetTabLabel(index, settings.Name);
        LogToPage(page, FormatText(LoadText(322), before.Name));
    }
    LogToPage(page, LoadText(337));
    UpdateTabImage(index);
    if (changes.empty() || !IsActiveState(page.State)) return;

    const std::u16string question = FormatText(LoadText(426), changes, settings.Name);
    const bool reconnect = questions_->ShowMessage(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
    CConnectionPage* still = FindPageById(id);
    if (!still) return;
    if (reconnect) {
        still->Disconnect();
        still->Connect();
    } else {
        LogToPage(*still, FormatText(LoadText(427), changes));
    }
}

// The settings of a connection closed while its dialog was open: stored where it waits to be reopened.
void CChildView::SaveClosedConnectionSettings(int id, const CConnectionSettings& settings)
{
    if (!IsClosedConnection(id)) return;
    CIniFile ini = SettingsFile();
    CConnectionSettings before;
    before.Load(ini, id);
    settings.Save(ini, id);
    if (settings.Name != before.Name) Log(false, settings.Name, FormatText(LoadText(322), before.Name));
    Log(false, settings.Name, LoadText(337));
}

// General settings.

bool CChildView::AnyActiveClusterConnection() const
{
    for (int i = 0; i < ConnectionTabCount(); ++i) {
        const CConnectionPage* page = PageAt(i);
        if (page && page->Settings.Type != ConnectionDxSummit && IsActiveState(page->State)) return true;
    }
    return false;
}

void CChildView::ApplyGeneralSettings(const GeneralSettings& settings)
{
    CKestrivaneApp& app = TheApp();
    GeneralSettingsChanges changes = CompareGeneralSettings(app.Settings, settings);
    if (!AnyActiveClusterConnection()) changes.nextConnectionItems.clear();
    app.Settings = settings;
    CIniFile ini = SettingsFile();
    app.Settings.Save(ini);
    if (!changes.nextConnectionItems.empty()) Log(false, {}, FormatText(LoadText(428), changes.nextConnectionItems));
    for (int i = 0; i < ConnectionTabCount(); ++i) {
        CConnectionPage* page = PageAt(i);
        if (!page) continue;
        if (settings.ReceiveMaxLines > 0) page->ReceivePane().SetMaxLines(settings.ReceiveMaxLines);
        page->OnGeneralSettingsChanged();
    }
    if (changes.network) StartQuarnelNetwork();
    if (changes.font)
        if (auto* frame = dynamic_cast<CMainFrame*>(CWindowBase::FromHandle(GetParent()))) frame->ApplyFontSettings();
}

// Connect All, Disconnect All, Next, Previous, Log Pane.

void CChildView::ConnectAll()
{
    const bool atStartup = startupConnectAll_;
    startupConnectAll_ = false;
    for (int i = 0; i < ConnectionTabCount(); ++i) {
        CConnectionPage* page = PageAt(i);
        if (!page || !IsConnectableState(page->State)) continue;
        page->Connect();
        if (atStartup) page->StartupConnectPending = true; // read by the report 120 s later
    }
    if (atStartup) SetTimer(kStartupReportTimer, 120000);
}

void CChildView::DisconnectAll()
{
    for (int i = 0; i < ConnectionTabCount(); ++i)
        if (CConnectionPage* page = PageAt(i); page && IsActiveState(page->State)) page->Disconnect();
}

void CChildView::StepActiveTab(int step)
{
    const int count = ConnectionTabCount();
    if (count < 2) return;
    tabStrip_.SetActiveTab(StepTabIndex(count, tabStrip_.GetActiveTab(), step));
}

void CChildView::ToggleLogPane()
{
    logCollapsed_ = !logCollapsed_;
    logPane_.SetCollapsed(logCollapsed_);
    logPane_.Invalidate();
    UpdateLayout();
    PostRefitFrame();
}

// Spot filters.

void CChildView::OnDisableAllSpotFilters()
{
    GlobalSpotFilterLevels& levels = TheApp().GlobalFilters;
    levels.allFiltersDisabled = !levels.allFiltersDisabled;
    CIniFile ini = SettingsFile();
    if (levels.allFiltersDisabled) {
        ini.Write(kSpotFiltersSection, u"AllFiltersDisabled", u"1");
        Log(true, {}, LoadText(550));
    } else {
        ini.DeleteKey(kSpotFiltersSection, u"AllFiltersDisabled");
    }
}

// Select All Received: the other read-only pane that showed a selection hides it. What is shown is selected, and
// the lines still waiting as they go in.
void CChildView::OnSelectAllReceived()
{
    CConnectionPage* page = ActivePage();
    if (!page) return;
    page->ReceivePane().SelectAll();
    CReadOnlyRichEdit& edit = page->ReceivePane().TextControl();
    if (HWND mainWindow = ::GetAncestor(hwnd_, GA_ROOT))
        ::SendMessageW(mainWindow, WM_APP_EDIT_CLICKED, 0, reinterpret_cast<LPARAM>(edit.Handle()));
}

// The tab strip's notifications.

// The "+" tab never stays selected: its own press opens the New menu.
void CChildView::OnActiveTabChanged(int index)
{
    if (CConnectionPage* page = PageAt(index)) {
        lastActivePage_ = page;
        page->SendEdit().SetFocus();
        return;
    }
    const int count = ConnectionTabCount();
    if (index != tabStrip_.GetAddTabIndex() || count == 0) return;
    const int last = FindPageIndex(lastActivePage_);
    tabStrip_.SetActiveTab(last >= 0 ? last : count - 1);
}

// The "+" tab.

void CChildView::OnAddTabClicked()
{
    if (closedIds_.empty()) {
        OnNewConnection();
        return;
    }
    const std::vector<ClosedConnectionItem> items = ListClosedConnections();
    CMenu menu;
    if (!BuildAddTabMenu(menu, items)) return;
    OnAddTabChoice(TrackAddTabMenu(menu), items);
}

std::vector<ClosedConnectionItem> CChildView::ListClosedConnections() const
{
    const CIniFile ini = SettingsFile();
    std::vector<ClosedConnectionItem> items;
    for (int id : closedIds_) items.push_back({GetConnectionDisplayName(ini, id), id});
    SortByName(items);
    return items;
}

bool CChildView::BuildAddTabMenu(CMenu& menu, const std::vector<ClosedConnectionItem>& items) const
{
    CMenu deleteMenu;
    if (!menu.CreatePopup() || !deleteMenu.CreatePopup()) return false;
    menu.AppendItem(kAddTabNewItem, LoadText(372));
    menu.AppendSeparator();
    const int deleteBase = AddTabDeleteBase(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const std::u16string text = EscapeMenuText(items[i].name);
        menu.AppendItem(UINT(kAddTabReopenBase + i), text);
        deleteMenu.AppendItem(UINT(deleteBase + i), text + u"...");
    }
    menu.AppendSeparator();
    if (!menu.AppendPopup(deleteMenu, LoadText(373))) return false;
    deleteMenu.Detach(); // destroyed with its menu
    return true;
}

// At the bottom-left corner of the "+" tab, or at the cursor when that tab cannot be seen.
int CChildView::TrackAddTabMenu(const CMenu& menu) const
{
    POINT at{};
    RECT tab{};
    if (tabStrip_.GetTabRect(tabStrip_.GetAddTabIndex(), tab) && !::IsRectEmpty(&tab)) {
        at = {tab.left, tab.bottom};
        ::ClientToScreen(tabStrip_, &at);
    } else {
        ::GetCursorPos(&at);
    }
    return menu.Track(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, hwnd_);
}

void CChildView::OnAddTabChoice(int choice, const std::vector<ClosedConnectionItem>& items)
{
    const auto itemAt = [&](int base) -> const ClosedConnectionItem* {
        const int i = choice - base;
        return i >= 0 && size_t(i) < items.size() ? &items[size_t(i)] : nullptr;
    };
    if (choice == kAddTabNewItem) {
        OnNewConnection();
    } else if (const ClosedConnectionItem* item = itemAt(AddTabDeleteBase(items.size()))) {
        DeleteClosedConnection(item->id);
    } else if (const ClosedConnectionItem* reopened = itemAt(kAddTabReopenBase)) {
        ReopenConnection(reopened->id);
    } else {
        FocusActiveSendLine();
    }
}

bool CChildView::IsClosedConnection(int id) const
{
    return std::find(closedIds_.begin(), closedIds_.end(), id) != closedIds_.end();
}

// Only a connection still closed is deleted: a logger station may have reopened it while the menu or the
// question was shown. The user is then told why it stays, and deletes it from its tab.
void CChildView::DeleteClosedConnection(int id)
{
    CIniFile ini = SettingsFile();
    const std::u16string name = GetConnectionDisplayName(ini, id);
    const bool closed = IsClosedConnection(id);
    const bool yes = closed && questions_->AskYesNo(FormatText(LoadText(314), name), false);
    if (!closed || yes) {
        if (IsClosedConnection(id)) {
            std::erase(closedIds_, id);
            DeleteConnectionSection(ini, id);
            SaveTabState();
            Log(false, name, LoadText(370));
        } else {
            questions_->ShowMessage(FormatText(LoadText(581), name), MB_OK | MB_ICONWARNING);
        }
    }
    FocusActiveSendLine();
}

} // namespace kv
