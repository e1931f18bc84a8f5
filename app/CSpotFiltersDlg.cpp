#include "app/CSpotFiltersDlg.h"

#include "app/CKestrivaneApp.h"
#include "app/CtrlBackspace.h"
#include "app/FilterTextValidation.h"
#include "app/LinkControls.h"
#include "app/OpenLink.h"
#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "connections/ClusterSoftware.h"
#include "resources/resource.h"
#include "spots/BandPlan.h"
#include "spots/CCtyFileLoader.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "win/Edit.h"
#include "win/IniFile.h"

namespace kv {

namespace {

// The eight filter edits and the texts they show, in the order of the settings keys.
struct FilterEdit {
    int id;
    std::u16string SpotFilterSet::*text;
};

constexpr FilterEdit kFilterEdits[] = {
    {IDC_SF_SPOTTER_CALLS, &SpotFilterSet::spotterCalls},
    {IDC_SF_SPOTTER_DXCC, &SpotFilterSet::spotterDxcc},
    {IDC_SF_SPOTTER_CONTINENTS, &SpotFilterSet::spotterContinents},
    {IDC_SF_FREQUENCIES, &SpotFilterSet::frequencies},
    {IDC_SF_DX_CALLS, &SpotFilterSet::dxCalls},
    {IDC_SF_DX_DXCC, &SpotFilterSet::dxDxcc},
    {IDC_SF_DX_CONTINENTS, &SpotFilterSet::dxContinents},
    {IDC_SF_WORDS, &SpotFilterSet::words},
};

constexpr int kSpotterGroup[] = {IDC_SF_SPOTTER_GROUP,     IDC_SF_SPOTTER_CALLS_LABEL, IDC_SF_SPOTTER_CALLS,
                                 IDC_SF_SPOTTER_DXCC_LABEL, IDC_SF_SPOTTER_DXCC,       IDC_SF_SPOTTER_CONTINENTS_LABEL,
                                 IDC_SF_SPOTTER_CONTINENTS};

int EditOfText(std::u16string SpotFilterSet::*text)
{
    for (const FilterEdit& edit : kFilterEdits)
        if (edit.text == text) return edit.id;
    return 0;
}

constexpr COLORREF kAcceptedColour = RGB(0, 128, 0);
constexpr COLORREF kRejectedColour = RGB(192, 0, 0);

bool IsAllConnectionsLevel(const SpotFilterLevel& level)
{
    return !level.IsConnection && level.LevelIndex == int(GlobalSpotFilterLevel::AllConnections);
}

bool ShowsServerTip(const SpotFilterLevel& level)
{
    return level.IsConnection ? level.Type == ConnectionTelnet
                              : level.LevelIndex == int(GlobalSpotFilterLevel::TelnetConnections);
}

// An address goes inside the link's markup: quotes and angle brackets would end it early.
std::u16string LinkSafeAddress(const std::u16string& address)
{
    std::u16string safe;
    for (char16_t c : address)
        if (c != u'"' && c != u'<' && c != u'>') safe += c;
    return safe;
}

std::u16string BandNames()
{
    std::u16string names;
    for (const BandPlanEntry& band : GetBandPlan()) {
        if (!names.empty()) names += u", ";
        names += AsciiToU16(band.name);
    }
    return names;
}

} // namespace

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
    std::vector<SpotFilterLevel> levels;
    host.GetSpotFilterLevels(levels);
    const int start = FindStartLevel(levels, isConnection, connectionId);
    CSpotFiltersDlg dialog(std::move(levels), start, parent, testLine, testReason);
    if (dialog.DoModal() != IDOK) return false;
    host.SetSpotFilterLevels(dialog.Levels);
    StoreRejectOutOfBand(dialog.RejectOutOfBand);
    return true;
}

CSpotFiltersDlg::WarningFunction& CSpotFiltersDlg::Warning()
{
    static WarningFunction show = [](HWND owner, const std::u16string& text) {
        ::MessageBoxW(owner, W(text), W(LoadText(57344)), MB_OK | MB_ICONWARNING);
    };
    return show;
}

CSpotFiltersDlg::CSpotFiltersDlg(std::vector<SpotFilterLevel> levels, int startIndex, HWND parent,
                                 std::u16string testLine, std::u16string testReason)
    : Levels(std::move(levels)), InitialLevels(Levels),
      CurrentIndex(startIndex >= 0 && size_t(startIndex) < Levels.size() ? startIndex : 0),
      TestLine(std::move(testLine)), TestReason(std::move(testReason)), parent_(parent)
{
}

INT_PTR CSpotFiltersDlg::DoModal() { return CDialogBase::DoModal(parent_, IDD_SPOT_FILTERS); }

bool CSpotFiltersDlg::OnInitDialog()
{
    levelList_.Attach(GetItem(IDC_SF_LEVEL));
    ::EnumChildWindows(hwnd_, EnableCtrlBackspace, 0);
    SetCueBanners();
    AddToolTips();
    ShowCountryFileLine();
    RejectOutOfBand = TheApp().GlobalFilters.rejectOutOfBand;
    ::CheckDlgButton(hwnd_, IDC_SF_REJECT_OUT_OF_BAND, RejectOutOfBand ? BST_CHECKED : BST_UNCHECKED);
    MakeBoldResultFont();
    FillLevelList();
    if (!TestLine.empty()) {
        SetItemText(IDC_SF_TEST_LINE, TestLine);
        RunSpotTest();
    }
    return true;
}

void CSpotFiltersDlg::SetCueBanners()
{
    const std::pair<int, unsigned> banners[] = {
        {IDC_SF_SPOTTER_CALLS, 514},      {IDC_SF_DX_CALLS, 514},       {IDC_SF_SPOTTER_DXCC, 515},
        {IDC_SF_DX_DXCC, 515},            {IDC_SF_SPOTTER_CONTINENTS, 516}, {IDC_SF_DX_CONTINENTS, 516},
        {IDC_SF_WORDS, 475},              {IDC_SF_TEST_LINE, 551},      {IDC_SF_TEST_SPOTTER, 552},
        {IDC_SF_TEST_FREQUENCY, 553},     {IDC_SF_TEST_DX_CALL, 554},
    };
    for (const auto& [id, text] : banners) CEdit(GetItem(id)).SetCueBanner(LoadText(text));
}

void CSpotFiltersDlg::AddToolTips()
{
    if (!toolTip_.Create(hwnd_, TTS_ALWAYSTIP | TTS_NOPREFIX)) return;
    toolTip_.SetMaxTipWidth(400);
    toolTip_.SetDelayTime(TTDT_AUTOPOP, 30000);
    const std::u16string frequencyTip = FormatText(LoadText(497), BandNames());
    const std::pair<int, std::u16string> tips[] = {
        {IDC_SF_FREQUENCIES_LABEL, frequencyTip}, {IDC_SF_FREQUENCIES, frequencyTip},
        {IDC_SF_SPOTTER_CALLS, LoadText(512)},    {IDC_SF_DX_CALLS, LoadText(512)},
        {IDC_SF_SPOTTER_DXCC, LoadText(507)},     {IDC_SF_DX_DXCC, LoadText(507)},
        {IDC_SF_SPOTTER_CONTINENTS, LoadText(513)}, {IDC_SF_DX_CONTINENTS, LoadText(513)},
    };
    for (const auto& [id, text] : tips) toolTip_.AddSubclassedWindowTool(hwnd_, GetItem(id), text);
    toolTip_.Activate(true);
}

void CSpotFiltersDlg::ShowCountryFileLine()
{
    const std::shared_ptr<const CCtyTable> table = CurrentCtyTable();
    NoCountryFile = !table;
    SetItemText(IDC_SF_COUNTRY_FILE, table ? FormatText(LoadText(508), ProgramCtyFileLoader().RememberedPath(),
                                                        int(table->Entities.size()))
                                           : FormatText(LoadText(509), GetCountryFilesFolder()));
}

void CSpotFiltersDlg::MakeBoldResultFont()
{
    LOGFONTW font{};
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!dialogFont || ::GetObjectW(dialogFont, sizeof font, &font) != sizeof font) return;
    font.lfWeight = FW_BOLD;
    if (boldFont_.CreateIndirect(font)) CWindow(GetItem(IDC_SF_TEST_RESULT)).SetFont(boldFont_);
}

void CSpotFiltersDlg::FillLevelList()
{
    for (const SpotFilterLevel& level : Levels) levelList_.AddString(GetLevelDisplayText(level));
    if (Levels.empty()) return;
    levelList_.SetCurSel(CurrentIndex);
    ShowLevel(CurrentIndex);
}

void CSpotFiltersDlg::ShowLevel(int index)
{
    CurrentIndex = index;
    const SpotFilterLevel& level = Levels.at(size_t(index));
    for (const FilterEdit& edit : kFilterEdits) SetItemText(edit.id, level.Filters.*edit.text);
    ::CheckDlgButton(hwnd_, IDC_SF_DISABLE, level.Filters.disabled ? BST_CHECKED : BST_UNCHECKED);

    const bool withSpotter = LevelUsesSpotter(level);
    EnableSpotterGroup(withSpotter);
    SetItemText(IDC_SF_SPOTTER_NOTE, withSpotter ? std::u16string() : LoadText(543));
    SetItemText(IDC_SF_LEVEL_NOTE, BuildLevelNote(Levels, index, TheApp().GlobalFilters.allFiltersDisabled));
    UpdateServerTip(level);

    const int showOutOfBand = IsAllConnectionsLevel(level) ? SW_SHOW : SW_HIDE;
    CWindow(GetItem(IDC_SF_REJECT_OUT_OF_BAND)).Show(showOutOfBand);
    CWindow(GetItem(IDC_SF_OUT_OF_BAND_NOTE)).Show(showOutOfBand);

    UpdateTestScope();
    ScheduleTest();
}

void CSpotFiltersDlg::EnableSpotterGroup(bool enable)
{
    for (int id : kSpotterGroup) CWindow(GetItem(id)).Enable(enable);
}

void CSpotFiltersDlg::UpdateServerTip(const SpotFilterLevel& level)
{
    CWindow link(GetItem(IDC_SF_SERVER_TIP));
    if (!ShowsServerTip(level)) {
        link.Show(SW_HIDE);
        return;
    }
    std::u16string text = LoadText(568);
    const std::u16string address = level.IsConnection ? GetSoftwareDocUrl(level.ClusterSoftware) : u"";
    if (level.ClusterSoftware != Unknown && !address.empty())
        text += u" " + FormatText(LoadText(569), LinkSafeAddress(address), GetClusterSoftwareName(level.ClusterSoftware));
    SetWrappedLinkMarkup(link, text);
    link.Show(SW_SHOW);
}

void CSpotFiltersDlg::RewriteLevelLine(int index)
{
    const int selected = levelList_.GetCurSel();
    levelList_.DeleteString(index);
    levelList_.InsertString(index, GetLevelDisplayText(Levels.at(size_t(index))));
    levelList_.SetCurSel(selected);
}

SpotFilterSet CSpotFiltersDlg::ReadFilterEdits() const
{
    SpotFilterSet filters;
    for (const FilterEdit& edit : kFilterEdits) filters.*edit.text = CleanFilterText(GetItemText(edit.id));
    filters.disabled = IsChecked(IDC_SF_DISABLE);
    return filters;
}

bool CSpotFiltersDlg::ValidateFilters(const SpotFilterSet& filters, bool withSpotter)
{
    const std::shared_ptr<const CCtyTable> table = CurrentCtyTable();
    const std::optional<FilterTextError> error = ValidateFilterTexts(filters, withSpotter, table.get());
    if (error) ShowFilterError(*error);
    return !error;
}

void CSpotFiltersDlg::ShowFilterError(const FilterTextError& error)
{
    Warning()(hwnd_, FormatText(LoadText(error.messageId), error.entry));
    CEdit edit(GetItem(EditOfText(error.field)));
    SendMessage(WM_NEXTDLGCTL, WPARAM(edit.Handle()), TRUE);
    const size_t at = FindWholeEntry(edit.GetText(), error.entry);
    if (at == std::u16string::npos)
        edit.SelectAll();
    else
        edit.SetSel(int(at), int(at + error.entry.size()));
}

bool CSpotFiltersDlg::CommitCurrentLevel()
{
    if (!HasLevel()) return true;
    SpotFilterLevel& level = Levels[size_t(CurrentIndex)];
    const SpotFilterSet filters = ReadFilterEdits();
    if (!ValidateFilters(filters, LevelUsesSpotter(level))) return false;
    level.Filters = filters;
    level.Modified = !(filters == InitialLevels[size_t(CurrentIndex)].Filters);
    RewriteLevelLine(CurrentIndex);
    return true;
}

bool CSpotFiltersDlg::OnCommand(int id, int code, HWND control)
{
    if (code == EN_CHANGE) {
        if (id == IDC_SF_TEST_LINE && !Updating) OnLineChanged();
        ScheduleTest();
        return true;
    }
    switch (id) {
    case IDC_SF_LEVEL:
        if (code == CBN_SELCHANGE) OnLevelChanged();
        return true;
    case IDC_SF_DISABLE:
        if (code == BN_CLICKED) OnDisableClicked();
        return true;
    case IDC_SF_REJECT_OUT_OF_BAND:
        if (code == BN_CLICKED) OnRejectOutOfBandClicked();
        return true;
    case IDOK: OnOK(); return true;
    case IDCANCEL: EndDialog(IDCANCEL); return true;
    default: return false;
    }
}

void CSpotFiltersDlg::OnLevelChanged()
{
    const int selected = levelList_.GetCurSel();
    if (selected < 0 || selected == CurrentIndex) return;
    if (CommitCurrentLevel())
        ShowLevel(selected);
    else
        levelList_.SetCurSel(CurrentIndex);
}

void CSpotFiltersDlg::OnDisableClicked()
{
    if (!HasLevel()) return;
    Levels[size_t(CurrentIndex)].Filters.disabled = IsChecked(IDC_SF_DISABLE);
    RewriteLevelLine(CurrentIndex);
    ScheduleTest();
}

void CSpotFiltersDlg::OnRejectOutOfBandClicked()
{
    RejectOutOfBand = IsChecked(IDC_SF_REJECT_OUT_OF_BAND);
    UpdateTestScope();
    ScheduleTest();
}

void CSpotFiltersDlg::OnOK()
{
    if (CommitCurrentLevel()) EndDialog(IDOK);
}

bool CSpotFiltersDlg::OnNotify(NMHDR& header, LRESULT& result)
{
    if (header.idFrom != IDC_SF_SERVER_TIP || (header.code != NM_CLICK && header.code != NM_RETURN)) return false;
    OnSysLinkClicked(header);
    result = 0;
    return true;
}

void CSpotFiltersDlg::OnSysLinkClicked(const NMHDR& header)
{
    OpenLink(hwnd_, U16(reinterpret_cast<const NMLINK&>(header).item.szUrl), LinkKinds::Web);
}

void CSpotFiltersDlg::OnTimer(UINT_PTR id)
{
    if (id == kTestTimer) RunSpotTest();
}

void CSpotFiltersDlg::OnDestroy()
{
    KillTimer(kTestTimer);
    ReleaseLinkFonts(hwnd_);
}

LRESULT CSpotFiltersDlg::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CDialogBase::WndProc(msg, wParam, lParam);
    if (msg == WM_CTLCOLORSTATIC) return OnCtlColorStatic(HDC(wParam), HWND(lParam), result);
    return result;
}

LRESULT CSpotFiltersDlg::OnCtlColorStatic(HDC dc, HWND control, LRESULT brush)
{
    const int id = ::GetDlgCtrlID(control);
    if (id == IDC_SF_COUNTRY_FILE && NoCountryFile) ::SetTextColor(dc, kRejectedColour);
    if (id == IDC_SF_TEST_RESULT) {
        const COLORREF colour = TestResult == TestAccepted   ? kAcceptedColour
                                : TestResult == TestRejected ? kRejectedColour
                                                             : ::GetSysColor(COLOR_GRAYTEXT);
        ::SetTextColor(dc, colour);
    }
    return brush;
}

// The spot test.

std::vector<int> CSpotFiltersDlg::GetTestChain() const
{
    return HasLevel() ? kv::GetTestChain(Levels, CurrentIndex) : std::vector<int>();
}

void CSpotFiltersDlg::UpdateTestScope()
{
    SetItemText(IDC_SF_TEST_SCOPE, BuildTestScope(Levels, GetTestChain(), RejectOutOfBand));
}

void CSpotFiltersDlg::ScheduleTest() { SetTimer(kTestTimer, kTestDelayMs); }

void CSpotFiltersDlg::OnLineChanged()
{
    const std::u16string line = Trim(GetItemText(IDC_SF_TEST_LINE));
    SetItemText(IDC_SF_TEST_FIELDS_NOTE, LoadText(555));
    if (line.empty()) return;
    const bool arClusterTail = HasLevel() && Levels[size_t(CurrentIndex)].ClusterSoftware == ARCluster4;
    SpotTestFields fields;
    if (!ParseTestLine(line, arClusterTail, fields)) {
        SetItemText(IDC_SF_TEST_FIELDS_NOTE, LoadText(556));
        return;
    }
    Updating = true;
    SetItemText(IDC_SF_TEST_SPOTTER, fields.spotter);
    SetItemText(IDC_SF_TEST_FREQUENCY, fields.frequency);
    SetItemText(IDC_SF_TEST_DX_CALL, fields.dxCall);
    SetItemText(IDC_SF_TEST_COMMENT, fields.comment);
    Updating = false;
}

void CSpotFiltersDlg::RunSpotTest()
{
    KillTimer(kTestTimer);
    const std::shared_ptr<const CCtyTable> table = CurrentCtyTable();
    SpotTestInput input;
    input.levels = &Levels;
    input.chain = GetTestChain();
    input.shownFilters = ReadFilterEdits();
    input.rejectOutOfBand = RejectOutOfBand;
    input.allFiltersDisabled = TheApp().GlobalFilters.allFiltersDisabled;
    input.table = table.get();
    input.fields = {GetItemText(IDC_SF_TEST_SPOTTER), GetItemText(IDC_SF_TEST_FREQUENCY),
                    GetItemText(IDC_SF_TEST_DX_CALL), GetItemText(IDC_SF_TEST_COMMENT)};
    input.openedLine = TestLine;
    input.openedReason = TestReason;
    input.currentLine = GetItemText(IDC_SF_TEST_LINE);

    const SpotTestOutcome outcome = input.chain.empty() ? SpotTestOutcome() : kv::RunSpotTest(input);
    TestResult = outcome.result;
    SetItemText(IDC_SF_TEST_RESULT, outcome.resultText);
    SetItemText(IDC_SF_TEST_DETAIL, outcome.detail);
    SetItemText(IDC_SF_TEST_COUNTRY, outcome.countryLines);
    CWindow(GetItem(IDC_SF_TEST_RESULT)).Invalidate();
}

} // namespace kv
