#include "app/CGeneralSettingsDlg.h"

#include <commctrl.h>

#include "app/CtrlBackspace.h"
#include "app/NumberField.h"
#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "connections/GetDefaultBroadcastAddress.h"
#include "connections/IniListText.h"
#include "resources/resource.h"
#include "win/ComboBox.h"
#include "win/Edit.h"

namespace kv {
namespace {

constexpr int kDefaultNetworkPort = 9871;
const char16_t kDefaultApplicationId[] = u"TELNET";

bool IsIPv4Address(const std::u16string& text)
{
    IN_ADDR address{};
    return ::InetPtonW(AF_INET, W(text), &address) == 1;
}

} // namespace

CGeneralSettingsDlg::CGeneralSettingsDlg(const GeneralSettings& settings, HWND parent)
    : Result(settings), parent_(parent)
{
}

INT_PTR CGeneralSettingsDlg::DoModal() { return CDialogBase::DoModal(parent_, IDD_GENERAL_SETTINGS); }

bool CGeneralSettingsDlg::OnInitDialog()
{
    WriteControls();
    ::EnumChildWindows(hwnd_, EnableCtrlBackspace, 0);
    FillFontList();
    CWindow spin(GetItem(IDC_GEN_FONT_SIZE_SPIN));
    spin.SendMessage(UDM_SETRANGE32, 6, 36);
    spin.SendMessage(UDM_SETPOS32, 0, Result.FontSize);
    UpdateStationsEdit();
    return true;
}

void CGeneralSettingsDlg::WriteControls()
{
    const auto setNumber = [&](int id, int value) { SetItemText(id, FormatText(u"%d", value)); };
    const auto setCheck = [this](int id, bool on) { ::CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED); };
    setNumber(IDC_GEN_FONT_SIZE, Result.FontSize);
    setNumber(IDC_GEN_RECEIVE_MAX_LINES, Result.ReceiveMaxLines);
    setCheck(IDC_GEN_CONNECT_ALL, Result.ConnectAllOnStartup);
    setCheck(IDC_GEN_AUTO_RECONNECT, Result.AutoReconnect);
    setNumber(IDC_GEN_COMMAND_DELAY, Result.CommandDelay);
    setNumber(IDC_GEN_LOST_CONNECTION_DELAY, Result.LostConnectionDelay);
    SetItemText(IDC_GEN_GLOBAL_COMMANDS, JoinLines(Result.GlobalCommands));
    setCheck(IDC_GEN_NETWORK_DISABLED, Result.Disabled);
    setCheck(IDC_GEN_SEND_SPOTS_ONCE, Result.SendSpotsOnce);
    SetItemText(IDC_GEN_BROADCAST, Result.BroadcastAddress);
    setNumber(IDC_GEN_PORT, Result.Port);
    SetItemText(IDC_GEN_APPLICATION_ID, Result.ApplicationID);
    setCheck(IDC_GEN_GAB_ALERTS, Result.GabAlerts);
    SetItemText(IDC_GEN_GAB_STATIONS, JoinStationList(Result.GabStations));
    setCheck(IDC_GEN_TRANSLATE_COMMANDS, Result.TranslateCommands);
}

int CALLBACK CGeneralSettingsDlg::AddFixedPitchFont(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM list)
{
    const std::u16string face = U16(font->lfFaceName);
    CComboBox fonts(reinterpret_cast<HWND>(list));
    if ((font->lfPitchAndFamily & 0x3) == FIXED_PITCH && !face.empty() && face.front() != u'@' &&
        fonts.FindStringExact(face) == CB_ERR)
        fonts.AddString(face);
    return 1;
}

void CGeneralSettingsDlg::FillFontList()
{
    CComboBox fonts(GetItem(IDC_GEN_FONT_FACE));
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    HDC screen = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(screen, &wanted, &AddFixedPitchFont,
                          reinterpret_cast<LPARAM>(fonts.Handle()), 0);
    ::ReleaseDC(nullptr, screen);
    // A face that is not installed (or not fixed-pitch) is still the one in use: list it.
    int index = fonts.FindStringExact(Result.FontFace);
    if (index == CB_ERR) index = fonts.AddString(Result.FontFace);
    fonts.SetCurSel(index);
}

bool CGeneralSettingsDlg::OnCommand(int id, int code, HWND)
{
    switch (id) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: EndDialog(IDCANCEL); return true;
    case IDC_GEN_DEFAULT_BROADCAST: SetItemText(IDC_GEN_BROADCAST, GetDefaultBroadcastAddress()); return true;
    case IDC_GEN_DEFAULT_PORT: SetItemText(IDC_GEN_PORT, FormatText(u"%d", kDefaultNetworkPort)); return true;
    case IDC_GEN_GAB_ALERTS: UpdateStationsEdit(); return true;
    default: return false;
    }
}

void CGeneralSettingsDlg::UpdateStationsEdit()
{
    CWindow(GetItem(IDC_GEN_GAB_STATIONS)).Enable(::IsDlgButtonChecked(hwnd_, IDC_GEN_GAB_ALERTS) == BST_CHECKED);
}

bool CGeneralSettingsDlg::ReadNumber(int id, int min, int max, int& value)
{
    const NumberFieldValue number = ReadIntegerField(GetItemText(id), min, max);
    if (!number.ok) {
        Messages.ShowFieldError(hwnd_, number.message, id);
        return false;
    }
    value = int(number.value);
    return true;
}

void CGeneralSettingsDlg::OnOK()
{
    // Filled on a copy: a refused field leaves Result as it was.
    GeneralSettings s = Result;
    if (!ReadNumber(IDC_GEN_FONT_SIZE, 6, 36, s.FontSize) ||
        !ReadNumber(IDC_GEN_RECEIVE_MAX_LINES, 100, 100000, s.ReceiveMaxLines) ||
        !ReadNumber(IDC_GEN_COMMAND_DELAY, 0, 10000, s.CommandDelay) ||
        !ReadNumber(IDC_GEN_LOST_CONNECTION_DELAY, 30, 300, s.LostConnectionDelay) ||
        !ReadNumber(IDC_GEN_PORT, 1, 65535, s.Port))
        return;
    const auto checked = [this](int id) { return ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; };

    CComboBox fonts(GetItem(IDC_GEN_FONT_FACE));
    if (fonts.GetCurSel() >= 0) s.FontFace = fonts.GetLBText(fonts.GetCurSel());
    s.ConnectAllOnStartup = checked(IDC_GEN_CONNECT_ALL);
    s.AutoReconnect = checked(IDC_GEN_AUTO_RECONNECT);
    std::u16string commands = GetItemText(IDC_GEN_GLOBAL_COMMANDS);
    std::erase(commands, u'\r');
    s.GlobalCommands = SplitLines(commands, u'\n');

    s.BroadcastAddress = Trim(GetItemText(IDC_GEN_BROADCAST));
    if (!IsIPv4Address(s.BroadcastAddress)) {
        Messages.ShowFieldError(hwnd_, LoadText(368), IDC_GEN_BROADCAST);
        CEdit(GetItem(IDC_GEN_BROADCAST)).ScrollCaret();
        return;
    }
    s.ApplicationID = Trim(GetItemText(IDC_GEN_APPLICATION_ID));
    if (s.ApplicationID.empty()) s.ApplicationID = kDefaultApplicationId;
    s.Disabled = checked(IDC_GEN_NETWORK_DISABLED);
    s.SendSpotsOnce = checked(IDC_GEN_SEND_SPOTS_ONCE);
    s.GabAlerts = checked(IDC_GEN_GAB_ALERTS);
    s.GabStations = ParseStationList(GetItemText(IDC_GEN_GAB_STATIONS));
    s.TranslateCommands = checked(IDC_GEN_TRANSLATE_COMMANDS);
    Result = std::move(s);
    EndDialog(IDOK);
}

} // namespace kv
