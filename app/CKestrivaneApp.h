#pragma once
// The application object: chooses the data folder and settings file, keeps one running instance per
// settings file, starts the platform services, holds the program-wide settings and objects, creates the
// main frame and shuts everything down in the reverse order.
#include <memory>
#include <string>
#include <vector>

#include "connections/CQuarnelLoggerLink.h"
#include "base/CommandRouter.h"
#include "connections/CQuarnelNetwork.h"
#include "connections/GeneralSettings.h"
#include "spots/CSentSpotCache.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "win/MessageLoop.h"
#include "win/SystemClock.h"
#include "win/Win32.h"

namespace kv {

class CMainFrame;

class CKestrivaneApp : public ICommandTarget {
public:
    CKestrivaneApp();
    ~CKestrivaneApp() override;

    // InitInstance, the message loop, ExitInstance; returns the process's exit code.
    int Run(int showCommand);

    bool InitInstance(int showCommand);
    int ExitInstance();
    bool InitFolders();
    bool CheckSingleInstance();
    std::u16string BuildCommandLineHelp() const;

    CMessageLoop& Loop() { return loop_; }
    HWND MainWindow() const;

    // The Help commands: the about box, the command-line help and the online user guide.
    std::optional<CommandState> QueryCommand(int id) override;
    void ExecuteCommand(int id) override;

    GeneralSettings Settings;
    GlobalSpotFilterLevels GlobalFilters;
    CQuarnelNetwork Network;
    CQuarnelLoggerLink LoggerLink{Network};
    CSystemClock Clock;
    CSentSpotCache SentSpots{Clock};
    std::u16string IniPath;
    std::u16string DefaultCfgFolder;
    std::u16string CommonDataFolder;
    bool IsDefaultIni = true;
    bool SettingsLoaded = false;
    int ImportedConnections = -1;
    std::vector<std::u16string> MigrationMessages;

private:
    void LoadSettings();
    bool CreateMainFrame(int showCommand);
    void OpenUserGuide();
    void PublishMainWindow();
    void ShowMessage(const std::u16string& text, UINT icon) const;

    HANDLE instanceMutex_ = nullptr;
    HANDLE windowMapping_ = nullptr;
    ULONG_PTR gdiplusToken_ = 0;
    bool comInitialized_ = false;
    bool winsockStarted_ = false;
    std::unique_ptr<CMainFrame> mainFrame_;
    CMessageLoop loop_;
};

// The one application object of the process.
CKestrivaneApp& TheApp();

} // namespace kv
