#pragma once
// The modal "Spot Filters" dialog: the filter texts of every level (the four global ones and each open
// connection's), one level shown at a time and validated before the user may leave it, the switch that
// rejects spots outside the amateur bands, and a spot test that applies the levels as they stand here.
#include <functional>
#include <string>
#include <vector>

#include "app/ISpotFiltersHost.h"
#include "app/SpotFilterLevelTexts.h"
#include "app/SpotTest.h"
#include "win/ComboBox.h"
#include "win/DialogBase.h"
#include "win/Font.h"
#include "win/ToolTip.h"

namespace kv {

class CIniFile;
struct FilterTextError;
struct GlobalSpotFilterLevels;

// Runs the dialog for the view's commands on the level of a connection (by id) or on "All connections";
// on OK hands the levels back to the host and stores the out-of-band switch. True when the user pressed OK.
bool RunSpotFiltersDialog(ISpotFiltersHost& host, HWND parent, bool isConnection, int connectionId,
                          const std::u16string& testLine, const std::u16string& testReason);

// Takes the dialog's out-of-band switch into the application and writes it at once: [SpotFilters]
// RejectOutOfBand = "0" when off, the key deleted when on (its default).
void StoreRejectOutOfBand(bool rejectOutOfBand);
void StoreRejectOutOfBand(bool rejectOutOfBand, GlobalSpotFilterLevels& levels, CIniFile& ini);

class CSpotFiltersDlg : public CDialogBase {
public:
    static constexpr UINT_PTR kTestTimer = 1;
    static constexpr UINT kTestDelayMs = 300;

    // What shows a wrong filter entry: a message box with the warning icon unless a test puts another here.
    using WarningFunction = std::function<void(HWND owner, const std::u16string& text)>;
    static WarningFunction& Warning();

    CSpotFiltersDlg(std::vector<SpotFilterLevel> levels, int startIndex, HWND parent,
                    std::u16string testLine = {}, std::u16string testReason = {});

    INT_PTR DoModal();

    // The current level's texts as the edits hold them, line breaks made blanks and trimmed.
    SpotFilterSet ReadFilterEdits() const;
    static std::u16string GetLevelShortName(const SpotFilterLevel& level) { return kv::GetLevelShortName(level); }

    std::vector<SpotFilterLevel> Levels;
    std::vector<SpotFilterLevel> InitialLevels;
    int CurrentIndex = 0;
    std::u16string TestLine;
    std::u16string TestReason;
    bool RejectOutOfBand = true;
    bool Updating = false;
    int TestResult = TestNone;
    bool NoCountryFile = false;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool HasLevel() const { return CurrentIndex >= 0 && size_t(CurrentIndex) < Levels.size(); }
    bool IsChecked(int id) const { return ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

    void SetCueBanners();
    void AddToolTips();
    void ShowCountryFileLine();
    void MakeBoldResultFont();
    void FillLevelList();

    void ShowLevel(int index);
    void EnableSpotterGroup(bool enable);
    void UpdateServerTip(const SpotFilterLevel& level);
    void RewriteLevelLine(int index);
    bool ValidateFilters(const SpotFilterSet& filters, bool withSpotter);
    void ShowFilterError(const FilterTextError& error);
    bool CommitCurrentLevel();

    void OnLevelChanged();
    void OnDisableClicked();
    void OnRejectOutOfBandClicked();
    void OnOK();
    void OnLineChanged();
    void OnSysLinkClicked(const NMHDR& header);
    LRESULT OnCtlColorStatic(HDC dc, HWND control, LRESULT brush);

    std::vector<int> GetTestChain() const;
    void UpdateTestScope();
    void ScheduleTest();
    void RunSpotTest();

    HWND parent_ = nullptr;
    CFont boldFont_;
    CToolTipCtrl toolTip_;
    CComboBox levelList_;
};

} // namespace kv
