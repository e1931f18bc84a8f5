#include "app/CKestrivaneApp.h"

#include <commctrl.h>
#include <cstring>
#include <gdiplus.h>
#include <shlobj.h>

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CommandLine.h"
#include "app/InstanceIdentity.h"
#include "app/OpenLink.h"
#include "app/VersionText.h"
#include "base/Format.h"
#include "base/TextCatalog.h"
#include "connections/ClusterSoftware.h"
#include "connections/LinkTable.h"
#include "connections/Links.h"
#include "connections/MigrateV1Settings.h"
#include "resources/resource.h"
#include "win/IniFile.h"

namespace kv {
namespace {

CKestrivaneApp* g_app = nullptr;
constexpr char16_t kDefaultUserGuideUrl[] = u"https://kestrivane.example.org/user-guide/";

std::u16string GetFullPath(const std::u16string& path)
{
    wchar_t buffer[520];
    const DWORD len = ::GetFullPathNameW(W(path), 520, buffer, nullptr);
    if (len == 0 || len > 519) return path;
    return U16(buffer, len);
}

std::vector<std::u16string> CommandLineArguments()
{
    std::vector<std::u16string> args;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!argv) return args;
    for (int i = 1; i < count; ++i) args.push_back(U16(argv[i]));
    ::LocalFree(argv);
    return args;
}

// Creates a folder with its parents. A path taken by a file is a failure, not "already exists".
bool CreateFolderTree(const std::u16string& folder)
{
    const int result = ::SHCreateDirectoryExW(nullptr, W(folder), nullptr);
    if (result != ERROR_SUCCESS && result != ERROR_ALREADY_EXISTS && result != ERROR_FILE_EXISTS) return false;
    const DWORD attributes = ::GetFileAttributesW(W(folder));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

CKestrivaneApp& TheApp() { return *g_app; }

CKestrivaneApp::CKestrivaneApp()
{
    g_app = this;
    ::SetCurrentProcessExplicitAppUserModelID(L"Quarnel.Kestrivane.2");
}

CKestrivaneApp::~CKestrivaneApp() { g_app = nullptr; }

HWND CKestrivaneApp::MainWindow() const { return mainFrame_ ? mainFrame_->Handle() : nullptr; }

void CKestrivaneApp::ShowMessage(const std::u16string& text, UINT icon) const
{
    ::MessageBoxW(MainWindow(), W(text), W(LoadText(57344)), MB_OK | icon);
}

int CKestrivaneApp::Run(int showCommand)
{
    const int code = InitInstance(showCommand) ? loop_.Run() : 1;
    const int exitCode = ExitInstance();
    return code != 0 ? code : exitCode;
}

bool CKestrivaneApp::InitInstance(int showCommand)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, 0x80FF};
    ::InitCommonControlsEx(&icc);
    if (!InitFolders() || !CheckSingleInstance()) return false;
    comInitialized_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ::LoadLibraryW(L"Msftedit.dll"); // the rich edit class of the text panes
    WSADATA wsa;
    winsockStarted_ = ::WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    if (Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplusInput, nullptr) != Gdiplus::Ok) gdiplusToken_ = 0;
    LoadSettings();
    if (!IniPath.empty()) CIniFile(IniPath).Write(u"General", u"LastVersion", GetVersionText());
    return CreateMainFrame(showCommand);
}

// The first version's settings are turned into the current layout first, so that everything below reads them.
void CKestrivaneApp::LoadSettings()
{
    if (!IniPath.empty()) ImportedConnections = MigrateV1Settings(IniPath, MigrationMessages);
    LoadLinks(DefaultCfgFolder + u"Kestrivane.ini", IniPath, GetSoftwareDocKeys());
    const CIniFile ini(IniPath);
    Settings.Load(ini);
    LoadGlobalSpotFilterLevels(ini, GlobalFilters);
    SettingsLoaded = true;
}

bool CKestrivaneApp::InitFolders()
{
    wchar_t folder[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        ShowMessage(LoadText(599), MB_ICONERROR);
        return false;
    }
    CommonDataFolder = WithBackslash(U16(folder));
    DefaultCfgFolder = CommonDataFolder + u"Quarnel\\cfg\\";
    ::SHCreateDirectoryExW(nullptr, W(DefaultCfgFolder), nullptr);

    const CommandLineOptions options = ParseCommandLine(CommandLineArguments());
    if (options.outcome == CommandLineOptions::Outcome::Help) {
        ShowMessage(BuildCommandLineHelp(), 0);
        return false;
    }
    std::u16string error = options.errorText;
    if (options.outcome == CommandLineOptions::Outcome::Run) {
        const SettingsLocation location = ChooseSettingsFile(options, CommonDataFolder, DefaultCfgFolder, GetFullPath);
        IniPath = location.iniPath;
        IsDefaultIni = location.isDefaultIni;
        const std::u16string iniFolder = IniPath.substr(0, IniPath.rfind(u'\\'));
        if (CreateFolderTree(iniFolder)) return true;
        error = FormatText(LoadText(472), iniFolder);
    }
    ShowMessage(FormatText(LoadText(469), error, BuildCommandLineHelp()), MB_ICONWARNING);
    return false;
}

std::u16string CKestrivaneApp::BuildCommandLineHelp() const
{
    return kv::BuildCommandLineHelp(CommonDataFolder, DefaultCfgFolder);
}

bool CKestrivaneApp::CheckSingleInstance()
{
    instanceMutex_ = ::CreateMutexW(nullptr, FALSE, W(MakeInstanceObjectName(u"ini", IniPath)));
    if (!instanceMutex_) return true; // run without the guard
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return true;
    ::CloseHandle(instanceMutex_);
    instanceMutex_ = nullptr;
    HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, W(MakeInstanceObjectName(u"wnd", IniPath)));
    if (!mapping) return false;
    if (const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 8)) {
        uint64_t value = 0;
        std::memcpy(&value, view, sizeof value);
        ::UnmapViewOfFile(view);
        HWND other = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
        if (::IsWindow(other)) {
            if (::IsIconic(other)) ::ShowWindow(other, SW_RESTORE);
            ::SetForegroundWindow(other);
        }
    }
    ::CloseHandle(mapping);
    return false;
}

bool CKestrivaneApp::CreateMainFrame(int showCommand)
{
    mainFrame_ = std::make_unique<CMainFrame>();
    mainFrame_->AddCommandTarget(this);
    if (!mainFrame_->Create(loop_)) {
        const std::u16string reason = mainFrame_->FailureText();
        mainFrame_.reset();
        ShowMessage(reason, MB_ICONERROR); // never end without saying why
        return false;
    }
    if (!IsDefaultIni) mainFrame_->SetText(MakeFrameTitle(LoadText(57344), IniPath));
    PublishMainWindow();
    mainFrame_->RestorePlacement();
    mainFrame_->Show(showCommand == SW_SHOWMAXIMIZED ? SW_SHOWNORMAL : showCommand);
    mainFrame_->Update();
    return true;
}

// Later starts with the same settings file find this window through the mapping and bring it to the front.
void CKestrivaneApp::PublishMainWindow()
{
    windowMapping_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8,
                                          W(MakeInstanceObjectName(u"wnd", IniPath)));
    if (!windowMapping_) return;
    if (void* view = ::MapViewOfFile(windowMapping_, FILE_MAP_WRITE, 0, 0, 8)) {
        const uint64_t value = reinterpret_cast<uintptr_t>(MainWindow());
        std::memcpy(view, &value, sizeof value);
        ::UnmapViewOfFile(view);
    }
}

int CKestrivaneApp::ExitInstance()
{
    if (mainFrame_ && mainFrame_->IsWindow()) mainFrame_->Destroy();
    mainFrame_.reset();
    if (SettingsLoaded) {
        CIniFile ini(IniPath);
        Settings.Save(ini);
    }
    if (gdiplusToken_) {
        Gdiplus::GdiplusShutdown(gdiplusToken_);
        gdiplusToken_ = 0;
    }
    Network.Close();
    if (winsockStarted_) ::WSACleanup();
    winsockStarted_ = false;
    if (comInitialized_) ::CoUninitialize();
    comInitialized_ = false;
    if (windowMapping_) ::CloseHandle(windowMapping_);
    if (instanceMutex_) ::CloseHandle(instanceMutex_);
    windowMapping_ = instanceMutex_ = nullptr;
    return 0;
}

std::optional<CommandState> CKestrivaneApp::QueryCommand(int id)
{
    if (id == ID_HELP_COMMAND_LINE || id == ID_HELP_USER_GUIDE || id == ID_APP_ABOUT) return CommandState{};
    return std::nullopt;
}

void CKestrivaneApp::ExecuteCommand(int id)
{
    if (id == ID_HELP_COMMAND_LINE) ShowMessage(BuildCommandLineHelp(), 0);
    if (id == ID_HELP_USER_GUIDE) OpenUserGuide();
    if (id == ID_APP_ABOUT) CAboutDlg().DoModal(MainWindow());
}

void CKestrivaneApp::OpenUserGuide()
{
    const std::u16string url = GetLink(u"UserGuideUrl", kDefaultUserGuideUrl);
    if (!OpenLink(MainWindow(), url, LinkKinds::Web)) ShowMessage(FormatText(LoadText(495), url), MB_ICONWARNING);
}

} // namespace kv
