#pragma once
// The window that fills the main frame: the tab strip with one page per open connection and the "+" tab,
// the log pane below it and the button bar at the bottom. It opens, restores, closes and reopens the
// connection tabs and keeps their list in [Connections], runs the view's timers, starts the logger-network
// link and hears what the pages and the link report.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/CButtonBar.h"
#include "app/CConnectionTabCtrl.h"
#include "app/CLogPane.h"
#include "app/CViewRemoteHost.h"
#include "app/ISpotFiltersHost.h"
#include "app/ViewCommandRules.h"
#include "app/ViewQuestions.h"
#include "base/CommandRouter.h"
#include "connections/CConnectionSettings.h"
#include "connections/CRemoteCommands.h"
#include "connections/CTrafficLog.h"
#include "connections/CTrafficLogFile.h"
#include "connections/GeneralSettings.h"
#include "connections/IConnectionEvents.h"
#include "connections/IQuarnelListener.h"
#include "win/Font.h"
#include "win/ImageList.h"
#include "win/Menu.h"
#include "win/SystemClock.h"
#include "win/WindowBase.h"

namespace kv {

class CConnectionPage;
class CEmptyPage;
class CIniFile;
struct MonoFont;

// Control ids of the view's children.
constexpr int IDC_VIEW_TAB_STRIP = 1000;
constexpr int IDC_VIEW_LOG_PANE = 1002;
constexpr int IDC_VIEW_BUTTON_BAR = 1004;
constexpr int IDC_VIEW_EMPTY_PAGE = 1005;
constexpr int kFirstPageControlId = 1100;

constexpr UINT WM_APP_REFIT_FRAME = WM_APP + 0x2;
constexpr UINT WM_APP_CLOSE_CONNECTION = WM_APP + 0xD;

class CChildView : public CWindowBase,
                   public IConnectionEvents,
                   public IQuarnelListener,
                   public ISpotFiltersHost,
                   public ICommandTarget {
public:
    static constexpr UINT_PTR kTrafficTimer = 1;
    static constexpr UINT_PTR kStartupReportTimer = 2;
    static constexpr UINT_PTR kNodeListTimer = 3;
    static constexpr UINT_PTR kCountryFileTimer = 4;

    CChildView();
    ~CChildView() override;

    bool Create(HWND parent, int id);
    // The frame's fixed-pitch font, shared with every text pane (not owned).
    void SetTextFont(const MonoFont* font) { textFont_ = font; }

    // What the main frame reads for its size rules.
    int Dpi() const { return dpi_; }
    int TabChromeWidth() const { return chromeWidth_; }
    int TabChromeHeight() const { return chromeHeight_; }
    int TabChromeDpi() const { return chromeDpi_; }
    const CButtonBar& ButtonBar() const { return buttonBar_; }
    bool LogCollapsed() const { return logCollapsed_; }
    int LogHeaderHeight() const { return logPane_.HeaderHeight(); }
    int GetLogPaneHeight() const;
    // The page of the first tab when that tab is a connection's.
    CConnectionPage* FirstPage() const { return PageAt(0); }
    // Connected pages, and all the others.
    void CountConnections(int& active, int& inactive) const;
    // Enables the buttons of the view's bar and of every page's bar as the commands are enabled.
    void UpdateCommandUi(const CButtonBar::CommandStateQuery& query);
    void ApplyFont();
    void OnDpiChanged(int dpi);

    // The connection tabs.
    bool OpenConnectionTab(const CConnectionSettings& settings, int id, bool activate, bool announce);
    void CloseConnectionTab(int index, bool deleteSettings);
    void ReopenConnection(int id);
    void SaveTabState();
    void RestoreConnections();
    int ConnectionTabCount() const;
    CConnectionPage* PageAt(int index) const;
    int FindPageIndex(const CConnectionPage* page) const;
    void UpdateTabImage(int index);
    void UpdateLayout();
    std::u16string MakeDefaultConnectionName() const;
    std::vector<std::u16string> GetConnectionNames(int leaveOut) const;
    const std::vector<int>& ClosedIds() const { return closedIds_; }
    int NextId() const { return nextId_; }

    void CheckCountryFile();
    void StartQuarnelNetwork();
    void Log(bool isError, const std::u16string& connectionName, const std::u16string& text);

    CConnectionTabCtrl& TabStrip() { return tabStrip_; }
    CLogPane& LogPane() { return logPane_; }

    // The view's commands and what follows a dialog's OK (CChildViewCommands.cpp).
    void SetQuestions(IViewQuestions& questions) { questions_ = &questions; }
    CConnectionPage* ActivePage() const { return PageAt(tabStrip_.GetActiveTab()); }
    CConnectionPage* FindPageById(int id) const;
    void OnNewConnection();
    CConnectionSettings MakeNewConnectionSettings() const;
    void AddNewConnection(const CConnectionSettings& settings);
    void OnCloseConnection();
    void OnDeleteConnection();
    void TellNotDeletedWhenClosed(int id, const std::u16string& name);
    void OnRenameConnection();
    LRESULT OnTabNameChanged(int index, const std::u16string& name);
    void OnConnectionSettings();
    void ApplyConnectionSettings(CConnectionPage& page, const CConnectionSettings& settings);
    void SaveClosedConnectionSettings(int id, const CConnectionSettings& settings);
    void SaveClosedConnectionFilters(int id, const SpotFilterSet& filters);
    void OnGeneralSettings();
    void ApplyGeneralSettings(const GeneralSettings& settings);
    void OnAllSpotFilters();
    void OnConnectionSpotFilters();
    void OnDisableAllSpotFilters();
    void OnSelectAllReceived();
    void StepActiveTab(int step);
    // The "+" tab: the New command, or the menu of the closed connections.
    void OnAddTabClicked();
    std::vector<ClosedConnectionItem> ListClosedConnections() const;
    bool BuildAddTabMenu(CMenu& menu, const std::vector<ClosedConnectionItem>& items) const;
    void OnAddTabChoice(int choice, const std::vector<ClosedConnectionItem>& items);
    bool IsClosedConnection(int id) const;
    void DeleteClosedConnection(int id);

    // IConnectionEvents
    void OnConnectionStateChanged(CConnectionPage* page) override;
    void OnConnectionLogMessage(CConnectionPage* page, bool isError, const std::u16string& text) override;
    void OnSendLinesChanged(CConnectionPage* page) override;
    void OnNetworkStatus(const std::u16string& text) override;
    void OnCommandLine(CConnectionPage* page, const std::u16string& line) override;
    void OnConnectionLost(CConnectionPage* page, const std::u16string& reason, bool reconnecting) override;
    void OnTestInSpotFilters(CConnectionPage* page, const SpotTestRequest& request) override;

    // IQuarnelListener
    void OnQuarnelPacket(const std::vector<std::string>& fields) override;

    // ISpotFiltersHost
    void GetSpotFilterLevels(std::vector<SpotFilterLevel>& levels) override;
    void SetSpotFilterLevels(const std::vector<SpotFilterLevel>& levels) override;

    // ICommandTarget
    std::optional<CommandState> QueryCommand(int id) override;
    void ExecuteCommand(int id) override;

protected:
    // Makes the page object of a new tab and creates its window; null when the window cannot be created.
    virtual CConnectionPage* CreatePageWindow(int controlId);

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(const CREATESTRUCTW& cs) override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT_PTR id) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    bool CreateChildren();
    void ReadWindowSettings();
    void LogStartupNotes();
    void PrepareOpenedPage(CConnectionPage& page, const CConnectionSettings& settings, int id);
    bool RestoreConnection(CIniFile& ini, int id, bool& closedOne);
    void EnableCloseButton();
    void ActivateAfterRemoval(int index);
    void ToggleLogPane();
    bool AnyPage(bool (*test)(int state)) const;
    void ConnectAll();
    void DisconnectAll();
    void PostRefitFrame() const;
    void MeasureTabChrome();
    void ApplySendLines(CConnectionPage& page, int lines);
    int SystemEdgeHeight() const;
    std::u16string ConnectionName(const CConnectionPage& page) const;
    LRESULT OnNodeListUpdated(LPARAM lParam);
    LRESULT OnCloseTabRequest(int id);
    // Command helpers (CChildViewCommands.cpp).
    void OnActiveTabChanged(int index);
    void FocusActiveSendLine();
    void LogToPage(CConnectionPage& page, const std::u16string& text);
    bool AnyActiveClusterConnection() const;
    int TrackAddTabMenu(const CMenu& menu) const;

    const MonoFont* textFont_ = nullptr;
    int dpi_ = 96;
    CFont uiFont_;
    CFont menuFont_; // the tab labels'
    CImageList stateIcons_;
    CConnectionTabCtrl tabStrip_;
    CEmptyPage* emptyPage_ = nullptr;
    CConnectionPage* lastActivePage_ = nullptr;
    IViewQuestions* questions_ = &UserQuestions();
    CLogPane logPane_;
    CButtonBar buttonBar_;
    int chromeWidth_ = -1;
    int chromeHeight_ = -1;
    int chromeDpi_ = 96;
    int sendLines_ = 2;
    int pageControlId_ = kFirstPageControlId;
    int nextId_ = 1;
    std::vector<int> closedIds_;
    CSystemClock clock_;
    CTrafficLogFile trafficFile_;
    CTrafficLog trafficLog_;
    bool trafficLogRunning_ = false;
    bool startupConnectAll_ = false;
    bool logCollapsed_ = true;
    bool created_ = false;
    // Logger stations and slash commands: the station requests, the announced failures and the senders.
    CViewRemoteHost remoteHost_{*this};
    CRemoteCommands remote_{remoteHost_};
};

} // namespace kv
