// The view's commands that open a dialog, and the view as the host of the spot-filter levels. Each command
// runs its dialog and hands the result to the view's function that stores and applies it.
#include "app/CChildView.h"

#include "app/CConnectionSettingsDlg.h"
#include "app/CGeneralSettingsDlg.h"
#include "app/CKestrivaneApp.h"
#include "app/CSpotFiltersDlg.h"
#include "app/PaneMessages.h"
#include "app/SpotTestRequest.h"
#include "connections/CConnectionPage.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "win/IniFile.h"

namespace kv {
namespace {

CIniFile SettingsFile() { return CIniFile(TheApp().IniPath); }

} // namespace

void CChildView::OnNewConnection()
{
    CConnectionSettingsDlg dialog(MakeNewConnectionSettings(), GetConnectionNames(-1), false, hwnd_);
    dialog.ConnectionId = 0;
    dialog.FiltersHost = this;
    if (dialog.DoModal() == IDOK) AddNewConnection(dialog.Settings);
}

void CChildView::OnConnectionSettings()
{
    CConnectionPage* page = ActivePage();
    if (!page) return;
    const int id = page->ConnectionId;
    CConnectionSettingsDlg dialog(page->Settings, GetConnectionNames(tabStrip_.GetActiveTab()), true, hwnd_);
    dialog.ConnectionId = id;
    dialog.FiltersHost = this;
    const INT_PTR result = dialog.DoModal();
    // The dialog is modal: a logger station may have closed the tab meanwhile, or made another one active.
    // The connection is then among the closed ones, where the user's choice still applies.
    CConnectionPage* still = FindPageById(id);
    if (result == kConnectionSettingsDelete) {
        if (still) {
            tabStrip_.SetActiveTab(FindPageIndex(still));
            OnDeleteConnection();
        } else {
            DeleteClosedConnection(id);
        }
    } else if (result == IDOK) {
        if (still)
            ApplyConnectionSettings(*still, dialog.Settings);
        else
            SaveClosedConnectionSettings(id, dialog.Settings);
    }
}

void CChildView::OnGeneralSettings()
{
    CGeneralSettingsDlg dialog(TheApp().Settings, hwnd_);
    if (dialog.DoModal() == IDOK) ApplyGeneralSettings(dialog.Result);
}

void CChildView::OnAllSpotFilters() { RunSpotFiltersDialog(*this, hwnd_, false, 0, {}, {}); }

void CChildView::OnConnectionSpotFilters()
{
    const CConnectionPage* page = ActivePage();
    if (!page) {
        OnAllSpotFilters();
        return;
    }
    RunSpotFiltersDialog(*this, hwnd_, true, page->ConnectionId, {}, {});
}

void CChildView::OnTestInSpotFilters(CConnectionPage* page, const SpotTestRequest& request)
{
    if (!page) return;
    RunSpotFiltersDialog(*this, hwnd_, true, page->ConnectionId, request.Line, request.Reason);
    if (HWND mainWindow = ::GetAncestor(hwnd_, GA_ROOT)) ::PostMessageW(mainWindow, WM_APP_FOCUS_SEND_LINE, 0, 0);
}

// ISpotFiltersHost

void CChildView::GetSpotFilterLevels(std::vector<SpotFilterLevel>& levels)
{
    levels.clear();
    const GlobalSpotFilterLevels& global = TheApp().GlobalFilters;
    for (int n = 0; n < kGlobalSpotFilterLevelCount; ++n) {
        SpotFilterLevel level;
        level.LevelIndex = n;
        level.Filters = global.texts[size_t(n)];
        levels.push_back(std::move(level));
    }
    for (int i = 0; i < ConnectionTabCount(); ++i) {
        const CConnectionPage* page = PageAt(i);
        if (!page) continue;
        SpotFilterLevel level;
        level.IsConnection = true;
        level.ConnectionId = page->ConnectionId;
        level.Name = page->Settings.Name;
        level.Type = page->Settings.Type;
        level.ClusterSoftware = page->SoftwareId;
        level.Filters = page->Settings.Filters;
        levels.push_back(std::move(level));
    }
}

void CChildView::SetSpotFilterLevels(const std::vector<SpotFilterLevel>& levels)
{
    CIniFile ini = SettingsFile();
    GlobalSpotFilterLevels& global = TheApp().GlobalFilters;
    for (const SpotFilterLevel& level : levels) {
        if (!level.Modified || level.BeingEdited) continue;
        if (level.IsConnection) {
            CConnectionPage* page = FindPageById(level.ConnectionId);
            if (!page) {
                SaveClosedConnectionFilters(level.ConnectionId, level.Filters);
                continue;
            }
            CConnectionSettings settings = page->Settings;
            settings.Filters = level.Filters;
            page->ApplySettings(settings);
            settings.Save(ini, page->ConnectionId);
        } else if (level.LevelIndex >= 0 && level.LevelIndex < kGlobalSpotFilterLevelCount) {
            global.texts[size_t(level.LevelIndex)] = level.Filters;
            global.CompileLevel(level.LevelIndex); // a wrong entry was refused by the dialog already
            level.Filters.Save(ini, GetSpotFiltersSection(level.LevelIndex));
        }
    }
}

// A logger station may have closed the connection's tab while the dialog was open: the level is stored where
// the connection waits to be reopened.
void CChildView::SaveClosedConnectionFilters(int id, const SpotFilterSet& filters)
{
    CConnectionSettings settings;
    if (!IsClosedConnection(id) || !settings.Load(SettingsFile(), id)) return;
    settings.Filters = filters;
    SaveClosedConnectionSettings(id, settings);
}

} // namespace kv
