#include "app/CSpotFiltersDlg.h"

#include "app/CKestrivaneApp.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "win/IniFile.h"

namespace kv {

int FindStartLevel(const std::vector<SpotFilterLevel>& levels, bool isConnection, int connectionId)
{
    for (size_t i = 0; i < levels.size(); ++i) {
        const SpotFilterLevel& level = levels[i];
        if (level.IsConnection != isConnection) continue;
        if (isConnection ? level.ConnectionId == connectionId : level.LevelIndex == 0) return int(i);
    }
    return 0;
}

void StoreRejectOutOfBand(bool rejectOutOfBand, GlobalSpotFilterLevels& levels, CIniFile& ini)
{
    levels.rejectOutOfBand = rejectOutOfBand;
    const std::u16string section = GetSpotFiltersSection(int(GlobalSpotFilterLevel::AllConnections));
    if (rejectOutOfBand)
        ini.DeleteKey(section, u"RejectOutOfBand");
    else
        ini.Write(section, u"RejectOutOfBand", u"0");
}

void StoreRejectOutOfBand(bool rejectOutOfBand)
{
    CIniFile ini(TheApp().IniPath);
    StoreRejectOutOfBand(rejectOutOfBand, TheApp().GlobalFilters, ini);
}

bool RunSpotFiltersDialog(ISpotFiltersHost& host, HWND parent, bool isConnection, int connectionId,
                          const std::u16string& testLine, const std::u16string& testReason)
{
    return false; // the dialog follows
}

CSpotFiltersDlg::CSpotFiltersDlg(std::vector<SpotFilterLevel> levels, int startIndex, HWND parent,
                                 std::u16string testLine, std::u16string testReason)
    : Levels(std::move(levels)), InitialLevels(Levels),
      CurrentIndex(startIndex >= 0 && size_t(startIndex) < Levels.size() ? startIndex : 0),
      TestLine(std::move(testLine)), TestReason(std::move(testReason)), parent_(parent)
{
}

INT_PTR CSpotFiltersDlg::DoModal() { return IDCANCEL; }
SpotFilterSet CSpotFiltersDlg::ReadFilterEdits() const { return {}; }
std::u16string CSpotFiltersDlg::GetLevelShortName(const SpotFilterLevel&) { return {}; }
std::u16string CSpotFiltersDlg::GetLevelDisplayText(const SpotFilterLevel&) { return {}; }
bool CSpotFiltersDlg::OnInitDialog() { return true; }
bool CSpotFiltersDlg::OnCommand(int, int, HWND) { return false; }
bool CSpotFiltersDlg::OnNotify(NMHDR&, LRESULT&) { return false; }
void CSpotFiltersDlg::OnTimer(UINT_PTR) {}
LRESULT CSpotFiltersDlg::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CDialogBase::WndProc(msg, wParam, lParam);
}

} // namespace kv
