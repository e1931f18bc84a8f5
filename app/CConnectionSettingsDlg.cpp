#include "app/CConnectionSettingsDlg.h"

#include <commctrl.h>

#include "app/CKestrivaneApp.h"
#include "app/CSpotFiltersDlg.h"
#include "app/ConnectionFilterSummary.h"
#include "app/CtrlBackspace.h"
#include "app/HostAddress.h"
#include "app/ISpotFiltersHost.h"
#include "app/NumberField.h"
#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "directory/CClusterListDlg.h"
#include "resources/resource.h"
#include "win/ComboBox.h"
#include "win/Edit.h"

namespace kv {
namespace {

constexpr UINT_PTR kFilterCharsSubclassId = 0x43484152;
constexpr int kSkimmerPort = 7300;
const char16_t kSkimmerHost[] = u"127.0.0.1";

bool IsPlainFile(const std::u16string& path)
{
    const DWORD attributes = ::GetFileAttributesW(W(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The cluster chooser needs a node list in the default settings folder.
bool HasNodeList()
{
    const std::u16string& folder = TheApp().DefaultCfgFolder;
    return IsPlainFile(folder + u"DXCLUSTER_NODES.CSV") || IsPlainFile(folder + u"cluster.dat");
}

void FillList(CComboBox list, std::initializer_list<unsigned> textIds, int selection)
{
    list.ResetContent();
    for (unsigned id : textIds) list.AddString(LoadText(id));
    list.SetCurSel(selection);
}

} // namespace

CConnectionSettingsDlg::CConnectionSettingsDlg(const CConnectionSettings& settings,
                                               std::vector<std::u16string> otherNames, bool isEdit, HWND parent)
    : Settings(settings), otherNames_(std::move(otherNames)), isEdit_(isEdit), parent_(parent)
{
}

INT_PTR CConnectionSettingsDlg::DoModal() { return CDialogBase::DoModal(parent_, IDD_CONNECTION_SETTINGS); }

bool CConnectionSettingsDlg::OnInitDialog()
{
    form_ = ConnectionForm::FromSettings(Settings);
    initialName_ = Settings.Name;
    currentType_ = Settings.Type;
    WriteControls();
    ::EnumChildWindows(hwnd_, EnableCtrlBackspace, 0);
    CWindow(GetItem(IDC_CONN_HOST)).SendMessage(EM_SETCUEBANNER, FALSE, LPARAM(W(LoadText(445))));
    ::SetWindowSubclass(GetItem(IDC_CONN_HOST), &FilterEditChars, kFilterCharsSubclassId, 1);
    ::SetWindowSubclass(GetItem(IDC_CONN_LOGIN), &FilterEditChars, kFilterCharsSubclassId, 0);
    FillLists();
    UpdateTypeControls();
    if (!isEdit_) CWindow(GetItem(IDC_CONN_DELETE)).Show(SW_HIDE);
    return true;
}

void CConnectionSettingsDlg::WriteControls()
{
    const auto setCheck = [this](int id, bool on) { ::CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED); };
    SetItemText(IDC_CONN_NAME, form_.Name);
    SetItemText(IDC_CONN_HOST, form_.Host);
    SetItemText(IDC_CONN_PORT, FormatText(u"%d", form_.Port));
    SetItemText(IDC_CONN_LOGIN, form_.Login);
    SetItemText(IDC_CONN_PASSWORD, form_.Password);
    SetItemText(IDC_CONN_COMMANDS, form_.CommandsText);
    SetItemText(IDC_CONN_DXSUMMIT_INTERVAL, FormatText(u"%u", form_.DxSummitInterval));
    SetItemText(IDC_CONN_STATION_NAME, form_.StationName);
    setCheck(IDC_CONN_NO_SEND_TO_QUARNEL, form_.NoSendToQuarnel);
    setCheck(IDC_CONN_NO_SPOTS_FROM_QUARNEL, form_.NoSpotsFromQuarnel);
    setCheck(IDC_CONN_DXSUMMIT_ALL_SPOTS, form_.DxSummitAllSpots);
    setCheck(IDC_CONN_FOLLOW_RADIO, form_.FollowRadio);
}

void CConnectionSettingsDlg::FillLists()
{
    FillList(CComboBox(GetItem(IDC_CONN_LINE_ENDING)), {331, 332, 333}, form_.LineEndingIndex);
    FillList(CComboBox(GetItem(IDC_CONN_RADIO)), {381, 382}, form_.RadioIndex);
    FillList(CComboBox(GetItem(IDC_CONN_TYPE)), {384, 385, 438}, int(form_.Type));
}

bool CConnectionSettingsDlg::OnCommand(int id, int code, HWND)
{
    switch (id) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: EndDialog(IDCANCEL); return true;
    case IDC_CONN_DELETE: EndDialog(kConnectionSettingsDelete); return true;
    case IDC_CONN_HOST:
        if (code == EN_KILLFOCUS) OnHostKillFocus();
        return code == EN_KILLFOCUS;
    case IDC_CONN_TYPE:
        if (code == CBN_SELCHANGE) OnTypeChanged();
        return code == CBN_SELCHANGE;
    case IDC_CONN_FOLLOW_RADIO: UpdateRadioControls(); return true;
    case IDC_CONN_CHOOSE_CLUSTER: OnChooseCluster(); return true;
    case IDC_CONN_SPOT_FILTERS: OnSpotFilters(); return true;
    default: return false;
    }
}

ConnectionType CConnectionSettingsDlg::SelectedType() const
{
    switch (CComboBox(GetItem(IDC_CONN_TYPE)).GetCurSel()) {
    case ConnectionDxSummit: return ConnectionDxSummit;
    case ConnectionCwSkimmer: return ConnectionCwSkimmer;
    default: return ConnectionTelnet;
    }
}

bool CConnectionSettingsDlg::ReadControls(ConnectionForm& form)
{
    const auto checked = [this](int id) { return ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; };
    const NumberFieldValue port = ReadIntegerField(GetItemText(IDC_CONN_PORT), 1, 65535);
    if (!port.ok) {
        Messages.ShowFieldError(hwnd_, port.message, IDC_CONN_PORT);
        return false;
    }
    const NumberFieldValue interval = ReadUnsignedField(GetItemText(IDC_CONN_DXSUMMIT_INTERVAL));
    if (!interval.ok) {
        Messages.ShowFieldError(hwnd_, interval.message, IDC_CONN_DXSUMMIT_INTERVAL);
        return false;
    }
    form.Name = GetItemText(IDC_CONN_NAME);
    form.Type = SelectedType();
    form.Host = GetItemText(IDC_CONN_HOST);
    form.Port = int(port.value);
    form.Login = GetItemText(IDC_CONN_LOGIN);
    form.Password = GetItemText(IDC_CONN_PASSWORD);
    form.LineEndingIndex = CComboBox(GetItem(IDC_CONN_LINE_ENDING)).GetCurSel();
    form.CommandsText = GetItemText(IDC_CONN_COMMANDS);
    form.NoSendToQuarnel = checked(IDC_CONN_NO_SEND_TO_QUARNEL);
    form.NoSpotsFromQuarnel = checked(IDC_CONN_NO_SPOTS_FROM_QUARNEL);
    form.DxSummitInterval = unsigned(interval.value);
    form.DxSummitAllSpots = checked(IDC_CONN_DXSUMMIT_ALL_SPOTS);
    form.FollowRadio = checked(IDC_CONN_FOLLOW_RADIO);
    form.RadioIndex = CComboBox(GetItem(IDC_CONN_RADIO)).GetCurSel();
    form.StationName = GetItemText(IDC_CONN_STATION_NAME);
    return true;
}

void CConnectionSettingsDlg::OnOK()
{
    ConnectionForm form = form_;
    if (!ReadControls(form)) return;
    TidyConnectionForm(form);
    const ConnectionFormFault fault = CheckConnectionForm(form, otherNames_);
    if (fault.LoginQuestion) {
        if (Messages(hwnd_, fault.Message, MB_OKCANCEL | MB_ICONWARNING) != IDOK) {
            FocusControl(IDC_CONN_LOGIN);
            return;
        }
    } else if (fault.Field != ConnectionField::None) {
        static constexpr int kFieldControls[] = {0, IDC_CONN_NAME, IDC_CONN_HOST, IDC_CONN_LOGIN,
                                                 IDC_CONN_DXSUMMIT_INTERVAL, IDC_CONN_STATION_NAME};
        Messages.ShowFieldError(hwnd_, fault.Message, kFieldControls[int(fault.Field)]);
        return;
    }
    StoreConnectionForm(form, Settings);
    EndDialog(IDOK);
}

void CConnectionSettingsDlg::FocusControl(int controlId)
{
    SendMessage(WM_NEXTDLGCTL, WPARAM(GetItem(controlId)), TRUE);
}

void CConnectionSettingsDlg::EnableItem(int id, bool enable) { CWindow(GetItem(id)).Enable(enable); }

LRESULT CALLBACK CConnectionSettingsDlg::FilterEditChars(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                                         UINT_PTR id, DWORD_PTR isHost)
{
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &FilterEditChars, id);
    } else if (msg == WM_CHAR) {
        const auto c = char16_t(wParam);
        const bool control = c < 32 || c == 127;
        if (!control && !(isHost ? IsHostFieldChar(c) : IsLoginFieldChar(c))) return 0;
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

void CConnectionSettingsDlg::OnHostKillFocus()
{
    CWindow host(GetItem(IDC_CONN_HOST));
    std::u16string text = host.GetText();
    const UINT portBefore = ::GetDlgItemInt(hwnd_, IDC_CONN_PORT, nullptr, FALSE); // 0 when no number
    int port = int(portBefore);
    if (!ParseHostAddress(text, port)) return;
    host.SetText(text);
    // A web address names no port: what the user typed there stays, even when it is no number.
    if (port != int(portBefore)) SetItemText(IDC_CONN_PORT, FormatText(u"%d", port));
    CEdit(GetItem(IDC_CONN_PORT)).SelectAll();
}

void CConnectionSettingsDlg::OnTypeChanged()
{
    const ConnectionType type = SelectedType();
    if (type == ConnectionCwSkimmer && currentType_ != ConnectionCwSkimmer) {
        CWindow host(GetItem(IDC_CONN_HOST));
        if (Trim(host.GetText()).empty()) {
            host.SetText(kSkimmerHost);
            SetItemText(IDC_CONN_PORT, FormatText(u"%d", kSkimmerPort));
        }
        CWindow name(GetItem(IDC_CONN_NAME));
        if (!isEdit_ && name.GetText() == initialName_) name.SetText(MakeUniqueName(LoadText(439), otherNames_));
        ::CheckDlgButton(hwnd_, IDC_CONN_FOLLOW_RADIO, BST_CHECKED);
        ::CheckDlgButton(hwnd_, IDC_CONN_NO_SPOTS_FROM_QUARNEL, BST_CHECKED);
    }
    currentType_ = type;
    UpdateTypeControls();
}

void CConnectionSettingsDlg::UpdateTypeControls()
{
    const ConnectionType type = SelectedType();
    const bool telnet = type == ConnectionTelnet;
    const bool dxSummit = type == ConnectionDxSummit;
    const bool skimmer = type == ConnectionCwSkimmer;
    for (int id : {IDC_CONN_HOST, IDC_CONN_PORT, IDC_CONN_PASSWORD, IDC_CONN_LINE_ENDING, IDC_CONN_COMMANDS})
        EnableItem(id, !dxSummit);
    EnableItem(IDC_CONN_FOLLOW_RADIO, skimmer);
    if (skimmer) {
        CComboBox(GetItem(IDC_CONN_LINE_ENDING)).SetCurSel(LineEndingLf);
        EnableItem(IDC_CONN_LINE_ENDING, false);
    }
    EnableItem(IDC_CONN_CHOOSE_CLUSTER, telnet && HasNodeList());
    for (int id : {IDC_CONN_DXSUMMIT_INTERVAL, IDC_CONN_DXSUMMIT_INTERVAL_LABEL, IDC_CONN_DXSUMMIT_ALL_SPOTS})
        EnableItem(id, dxSummit);
    EnableItem(IDC_CONN_SPOT_FILTERS, FiltersHost != nullptr);
    UpdateFilterSummary();
    UpdateRadioControls();
}

void CConnectionSettingsDlg::UpdateRadioControls()
{
    const bool follow = SelectedType() == ConnectionCwSkimmer &&
                        ::IsDlgButtonChecked(hwnd_, IDC_CONN_FOLLOW_RADIO) == BST_CHECKED;
    for (int id : {IDC_CONN_RADIO_LABEL, IDC_CONN_RADIO, IDC_CONN_STATION_LABEL, IDC_CONN_STATION_NAME})
        EnableItem(id, follow);
}

void CConnectionSettingsDlg::UpdateFilterSummary()
{
    const GlobalSpotFilterLevels& global = TheApp().GlobalFilters;
    CWindow(GetItem(IDC_CONN_FILTER_SUMMARY))
        .SetText(BuildConnectionFilterSummary(form_.Filters, SelectedType(), global.texts, global.allFiltersDisabled));
}

void CConnectionSettingsDlg::OnChooseCluster()
{
    CClusterListDlg chooser(hwnd_);
    if (chooser.DoModal() != IDOK) return;
    SetItemText(IDC_CONN_NAME, chooser.SelectedName);
    SetItemText(IDC_CONN_HOST, chooser.SelectedHost);
    SetItemText(IDC_CONN_PORT, FormatText(u"%d", int(chooser.SelectedPort)));
    FocusControl(IDC_CONN_LOGIN);
}

void CConnectionSettingsDlg::OnSpotFilters()
{
    if (!FiltersHost) return;
    std::vector<SpotFilterLevel> levels;
    FiltersHost->GetSpotFilterLevels(levels);
    SpotFilterLevel own;
    own.IsConnection = true;
    own.ConnectionId = ConnectionId;
    own.Name = Trim(GetItemText(IDC_CONN_NAME));
    own.Type = SelectedType();
    own.BeingEdited = true;
    own.Filters = form_.Filters;
    size_t index = levels.size();
    for (size_t i = 0; i < levels.size() && ConnectionId != 0; ++i)
        if (levels[i].IsConnection && levels[i].ConnectionId == ConnectionId) index = i;
    if (index < levels.size()) {
        own.ClusterSoftware = levels[index].ClusterSoftware;
        levels[index] = own;
    } else {
        levels.push_back(own);
    }

    CSpotFiltersDlg dialog(std::move(levels), int(index), hwnd_);
    if (dialog.DoModal() != IDOK) return;
    for (const SpotFilterLevel& level : dialog.Levels)
        if (level.BeingEdited) form_.Filters = level.Filters; // saved with this dialog's OK
    FiltersHost->SetSpotFilterLevels(dialog.Levels);
    StoreRejectOutOfBand(dialog.RejectOutOfBand);
    UpdateFilterSummary();
}

} // namespace kv
