#pragma once
// The modal "Spot Filters" dialog: the filter texts of every level (the four global ones and each open
// connection's), one level shown at a time and validated before the user may leave it, the switch that
// rejects spots outside the amateur bands, and a spot test that applies the levels as they stand here.
#include <functional>
#include <string>
#include <vector>

#include "app/ISpotFiltersHost.h"
#include "win/DialogBase.h"
#include "win/Font.h"
#include "win/ToolTip.h"

namespace kv {

class CIniFile;
struct GlobalSpotFilterLevels;

// Runs the dialog for the view's commands on the level of a connection (by id) or on "All connections";
// on OK hands the levels back to the host and stores the out-of-band switch. True when the user pressed OK.
bool RunSpotFiltersDialog(ISpotFiltersHost& host, HWND parent, bool isConnection, int connectionId,
                          const std::u16string& testLine, const std::u16string& testReason);

// The level shown first: the first level of the kind asked for (the connection with that id, or the global
// level 0), or 0 when there is none.
int FindStartLevel(const std::vector<SpotFilterLevel>& levels, bool isConnection, int connectionId);

// Takes the dialog's out-of-band switch into the application and writes it at once: [SpotFilters]
// RejectOutOfBand = "0" when off, the key deleted when on (its default).
void StoreRejectOutOfBand(bool rejectOutOfBand);
void StoreRejectOutOfBand(bool rejectOutOfBand, GlobalSpotFilterLevels& levels, CIniFile& ini);

class CSpotFiltersDlg : public CDialogBase {
public:
    static constexpr UINT_PTR kTestTimer = 1;
    static constexpr UINT kTestDelayMs = 300;

    enum SpotTestResult { TestNone = 0, TestAccepted = 1, TestRejected = 2, TestIncomplete = 3 };

    // How a warning is shown; a message box with the warning icon unless replaced (tests).
    using MessageBoxFunction = std::function<void(HWND owner, const std::u16string& text)>;

    CSpotFiltersDlg(std::vector<SpotFilterLevel> levels, int startIndex, HWND parent,
                    std::u16string testLine = {}, std::u16string testReason = {});

    INT_PTR DoModal();
    void SetMessageBoxFunction(MessageBoxFunction function) { showWarning_ = std::move(function); }

    // The current level's texts as the edits hold them, line breaks made blanks and trimmed.
    SpotFilterSet ReadFilterEdits() const;
    static std::u16string GetLevelShortName(const SpotFilterLevel& level);
    static std::u16string GetLevelDisplayText(const SpotFilterLevel& level);

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
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HWND parent_ = nullptr;
    MessageBoxFunction showWarning_;
    CFont boldFont_;
    CToolTipCtrl toolTip_;
    CWindow levelList_;
};

} // namespace kv
