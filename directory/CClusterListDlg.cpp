#include "directory/CClusterListDlg.h"

#include "app/CKestrivaneApp.h"
#include "app/DpiHelpers.h"
#include "app/LinkControls.h"
#include "app/OpenLink.h"
#include "app/StateIcons.h"
#include "base/Format.h"
#include "base/Numbers.h"
#include "base/TextCatalog.h"
#include "directory/ClusterListTexts.h"
#include "directory/ConnectionTest.h"
#include "directory/DxccEntityList.h"
#include "directory/NodeDetailsText.h"
#include "directory/NodeListUpdate.h"
#include "resources/resource.h"
#include "win/IniFile.h"
#include "win/LinkCtrl.h"

namespace kv {
namespace {

const char16_t kLegacyFileName[] = u"cluster.dat";
const char16_t kCreditMarkup[] = u"Node list kept up to date by <a href=\"mailto:nodes@kestrivane.example.org\">the Kestrivane "
                                 u"team</a> (<a href=\"https://kestrivane.example.org/\">kestrivane.example.org</a>).";

std::string EmbeddedEntityListText()
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_DXCC_ENTITIES), MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return std::string(static_cast<const char*>(data), ::SizeofResource(module, found));
}

} // namespace

CClusterListDlg::CClusterListDlg(HWND parent)
    : CClusterListDlg(parent, TheApp().DefaultCfgFolder, TheApp().IniPath)
{
}

CClusterListDlg::CClusterListDlg(HWND parent, std::u16string cfgFolder, std::u16string iniPath)
    : parent_(parent), cfgFolder_(std::move(cfgFolder)), iniPath_(std::move(iniPath))
{
}

CClusterListDlg::~CClusterListDlg() = default;

// Our own modal loop rather than the dialog manager's, so that typed characters reach the search before
// the dialog manager takes them for mnemonics.
INT_PTR CClusterListDlg::DoModal()
{
    HWND owner = parent_ ? ::GetAncestor(parent_, GA_ROOT) : nullptr;
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);
    ended_ = false;
    result_ = IDCANCEL;
    INT_PTR result = -1;
    if (Create(owner, IDD_CLUSTERLIST)) {
        if (!ended_) {
            Show(SW_SHOW);
            RunModalLoop();
        }
        result = result_;
    }
    // Hidden without activating anything, then the owner enabled and activated, so that it is the window
    // that has the focus when the dialog goes.
    const bool wasActive = hwnd_ && ::GetActiveWindow() == hwnd_;
    if (hwnd_) SetPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (owner && wasActive) ::SetActiveWindow(owner);
    if (hwnd_) ::DestroyWindow(hwnd_);
    return result;
}

void CClusterListDlg::RunModalLoop()
{
    MSG msg{};
    while (!ended_ && hwnd_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) { // the program ends: leave the quit message to the main loop
            ::PostQuitMessage(int(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (PreTranslateMessage(msg)) continue;
        escapeKeyMessage_ = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
        if (!::IsDialogMessageW(hwnd_, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        escapeKeyMessage_ = false;
    }
}

void CClusterListDlg::EndModal(INT_PTR result)
{
    result_ = result;
    ended_ = true;
}

bool CClusterListDlg::OnInitDialog()
{
    CLinkCtrl(GetItem(IDC_CLUSTER_CREDIT)).SetMarkup(kCreditMarkup);
    nodeList_.Attach(GetItem(IDC_CLUSTER_LIST));
    countries_.Attach(GetItem(IDC_CLUSTER_COUNTRY));
    AcceptRecords(WM_APP_NODE_LIST_UPDATED);
    AcceptRecords(WM_APP_CONNECTION_TEST_RESULT);
    nodeList_.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    const int dpi = GetWindowDpi(hwnd_);
    SetUpBadges(dpi);
    SetUpColumns(dpi);
    if (!iniPath_.empty()) {
        const long long rbnOnly = CIniFile(iniPath_).ReadInteger(u"General", u"ClusterListRbnOnly").value_or(0);
        ::CheckDlgButton(hwnd_, IDC_CLUSTER_RBN_ONLY, rbnOnly != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    if (!LoadList()) {
        const std::u16string text = FormatText(LoadText(436), cfgFolder_ + kLegacyFileName);
        ::MessageBoxW(hwnd_, W(text), W(LoadText(57344)), MB_OK | MB_ICONWARNING);
        EndModal(IDCANCEL);
        return false;
    }
    RegisterNodeListWindow(hwnd_);
    CWindow(GetItem(IDC_CLUSTER_UPDATE)).Enable(!cfgFolder_.empty());
    FillCountries();
    RefreshList();
    nodeList_.SetFocus();
    return false; // the focus is set
}

void CClusterListDlg::SetUpBadges(int dpi)
{
    if (!CreateBadgeIcon(images_, dpi)) return;
    nodeList_.SetImageList(images_, LVSIL_SMALL); // shared (template style): the dialog owns the badges
    const int legendIds[2] = {IDC_CLUSTER_LEGEND_BOTH, IDC_CLUSTER_LEGEND_RBN};
    for (int i = 0; i < 2; ++i) {
        legendIcons_[i] = images_.GetIcon(i + 1);
        CWindow(GetItem(legendIds[i])).SendMessage(STM_SETICON, WPARAM(legendIcons_[i]));
    }
}

void CClusterListDlg::SetUpColumns(int dpi)
{
    const RECT client = nodeList_.ClientRect();
    const int width = (client.right - client.left) - GetSystemMetricForDpi(SM_CXVSCROLL, dpi);
    const int nameWidth = width * 38 / 100;
    const int hostWidth = width * 47 / 100;
    nodeList_.InsertColumn(0, LoadText(429), nameWidth);
    nodeList_.InsertColumn(1, LoadText(430), hostWidth);
    nodeList_.InsertColumn(2, LoadText(431), width - nameWidth - hostWidth, LVCFMT_RIGHT);
}

void CClusterListDlg::OnDestroy()
{
    UnregisterNodeListWindow(hwnd_);
    ReleaseLinkFonts(hwnd_);
    ::KillTimer(hwnd_, kSearchPauseTimer);
    for (HICON& icon : legendIcons_) {
        if (icon) ::DestroyIcon(icon);
        icon = nullptr;
    }
}

bool CClusterListDlg::LoadList()
{
    ClusterNodeList fresh;
    std::u16string fileName = kNodeListFileName;
    if (!fresh.Load(cfgFolder_ + fileName) || fresh.Nodes.empty()) {
        fileName = kLegacyFileName;
        fresh = ClusterNodeList();
        if (!fresh.Load(cfgFolder_ + fileName)) return false; // a cluster.dat without nodes stands
    }
    list_ = std::move(fresh);
    listFileName_ = fileName;
    return true;
}

void CClusterListDlg::FillCountries()
{
    countries_.ResetContent();
    countries_.SetItemData(countries_.AddString(LoadText(446)), 0);
    countries_.Enable(list_.IsCsv);
    CWindow(GetItem(IDC_CLUSTER_COUNTRY_LABEL)).Enable(list_.IsCsv);
    countries_.SetCurSel(0);
    if (!list_.IsCsv) return;
    for (const DxccEntityItem& country : CountriesOfNodes(ParseDxccEntityList(EmbeddedEntityListText()), list_.Nodes))
        countries_.SetItemData(countries_.AddString(country.Text), country.Adif);
}

int32_t CClusterListDlg::ChosenAdif() const
{
    const int selection = countries_.GetCurSel();
    return selection <= 0 ? 0 : int32_t(countries_.GetItemData(selection));
}

bool CClusterListDlg::RbnOnlyTicked() const
{
    return ::IsDlgButtonChecked(hwnd_, IDC_CLUSTER_RBN_ONLY) == BST_CHECKED;
}

void CClusterListDlg::RefreshList()
{
    shown_ = SelectShownNodes(list_.Nodes, NodeFilter{ChosenAdif(), RbnOnlyTicked(), search_.Text()}, sort_);
    nodeList_.SendMessage(WM_SETREDRAW, FALSE);
    nodeList_.DeleteAllItems();
    for (size_t row = 0; row < shown_.size(); ++row) {
        const ClusterNode& node = list_.Nodes[shown_[row]];
        const int image = node.RbnMode != RbnNone ? node.RbnMode : -1;
        const int index = nodeList_.InsertItem(int(row), Utf8ToCString(node.Name), image);
        nodeList_.SetItemText(index, 1, Utf8ToCString(node.Address));
        nodeList_.SetItemText(index, 2, AsciiToU16(FormatInteger(node.Port)));
    }
    if (!shown_.empty()) SelectRow(0);
    nodeList_.SendMessage(WM_SETREDRAW, TRUE);
    nodeList_.Invalidate();
    UpdateStatusTexts();
    ShowDetails();
}

void CClusterListDlg::SelectRow(int row)
{
    nodeList_.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    nodeList_.EnsureVisible(row, false);
}

int CClusterListDlg::SelectedRow() const
{
    const int row = nodeList_.GetNextItem(-1, LVNI_SELECTED);
    return row >= 0 && size_t(row) < shown_.size() ? row : -1;
}

const ClusterNode* CClusterListDlg::SelectedNode() const
{
    const int row = SelectedRow();
    return row < 0 ? nullptr : &list_.Nodes[shown_[size_t(row)]];
}

void CClusterListDlg::UpdateStatusTexts()
{
    const int32_t adif = ChosenAdif();
    const std::u16string country = adif != 0 ? countries_.GetLBText(countries_.GetCurSel()) : std::u16string();
    SetItemText(IDC_CLUSTER_SEARCH_STATUS, FormatSearchStatus(search_.Text(), shown_.size(), RbnOnlyTicked(), country));
    SetItemText(IDC_CLUSTER_COUNTS,
                FormatListCounts(listFileName_, Utf8ToCString(list_.Release), list_.Nodes.size(), shown_.size()));
    CWindow(GetItem(IDC_CLUSTER_CREDIT)).Show(list_.IsCsv ? SW_SHOW : SW_HIDE);
}

void CClusterListDlg::ShowDetails()
{
    ++testRequestId_; // a probe in flight no longer counts
    SetItemText(IDC_CLUSTER_TEST_RESULT, u"");
    const ClusterNode* node = SelectedNode();
    CWindow(GetItem(IDC_CLUSTER_TEST)).Enable(node != nullptr);
    SetItemText(IDC_CLUSTER_LOCATION, node ? FormatNodeLocation(*node) : std::u16string());
    CLinkCtrl(GetItem(IDC_CLUSTER_PEOPLE)).SetMarkup(node ? FormatNodePeople(*node) : std::u16string());
    CLinkCtrl(GetItem(IDC_CLUSTER_SOFTWARE)).SetMarkup(node ? FormatNodeSoftware(*node) : std::u16string());
}

bool CClusterListDlg::FocusInCountryCombo() const
{
    HWND focus = ::GetFocus();
    return focus == countries_.Handle() || ::IsChild(countries_, focus) || countries_.GetDroppedState();
}

bool CClusterListDlg::PreTranslateMessage(const MSG& msg)
{
    if (msg.message != WM_CHAR && msg.message != WM_KEYDOWN) return false;
    if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
    if (FocusInCountryCombo()) return msg.message == WM_CHAR && OnCountryChar(char16_t(msg.wParam));
    bool changed = false;
    if (msg.message == WM_CHAR) {
        if (!CTypeToSearch::IsSearchable(char16_t(msg.wParam))) return false;
        changed = search_.OnChar(char16_t(msg.wParam));
    } else if (msg.wParam == VK_BACK) {
        changed = search_.OnBackspace();
    } else {
        return false;
    }
    if (changed) {
        RefreshList();
        SetTimer(kSearchPauseTimer, CTypeToSearch::kPauseMs);
    }
    return true;
}

bool CClusterListDlg::OnCountryChar(char16_t c)
{
    if (!CTypeToSearch::IsSearchable(c)) return false;
    const std::u16string& prefix = countryTypeAhead_.OnChar(c, ::GetTickCount64());
    std::vector<std::u16string> texts;
    for (int i = 0, n = countries_.GetCount(); i < n; ++i) texts.push_back(countries_.GetLBText(i));
    const int found = FindFirstWithPrefix(texts, prefix);
    if (found >= 0 && found != countries_.GetCurSel()) {
        countries_.SetCurSel(found);
        if (!countries_.GetDroppedState()) RefreshList(); // else its close-up refreshes
    }
    return true;
}

void CClusterListDlg::OnTimer(UINT_PTR id)
{
    if (id != kSearchPauseTimer) return;
    KillTimer(kSearchPauseTimer);
    search_.OnPause();
}

bool CClusterListDlg::OnCommand(int id, int code, HWND)
{
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    case IDC_CLUSTER_RBN_ONLY:
        if (code != BN_CLICKED) return false;
        RefreshList();
        nodeList_.SetFocus();
        return true;
    case IDC_CLUSTER_UPDATE:
        if (code == BN_CLICKED) OnCheckForUpdates();
        return code == BN_CLICKED;
    case IDC_CLUSTER_TEST:
        if (code == BN_CLICKED) OnTest();
        return code == BN_CLICKED;
    case IDC_CLUSTER_COUNTRY:
        if (code != CBN_SELCHANGE && code != CBN_CLOSEUP) return false;
        RefreshList();
        return true;
    default:
        return false;
    }
}

bool CClusterListDlg::OnNotify(NMHDR& header, LRESULT& result)
{
    if (header.idFrom == IDC_CLUSTER_LIST) {
        if (header.code == LVN_COLUMNCLICK) {
            sort_.OnColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
            RefreshList();
        } else if (header.code == NM_DBLCLK) {
            if (reinterpret_cast<NMITEMACTIVATE&>(header).iItem >= 0) OnOK();
        } else if (header.code == LVN_ITEMCHANGED) {
            const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
            const bool selectionChanged = (change.uOldState ^ change.uNewState) & LVIS_SELECTED;
            if ((change.uChanged & LVIF_STATE) && selectionChanged) ShowDetails();
        }
        return false;
    }
    const bool link = header.idFrom == IDC_CLUSTER_PEOPLE || header.idFrom == IDC_CLUSTER_SOFTWARE ||
                      header.idFrom == IDC_CLUSTER_CREDIT;
    if (!link || (header.code != NM_CLICK && header.code != NM_RETURN)) return false;
    OpenLink(hwnd_, U16(reinterpret_cast<NMLINK&>(header).item.szUrl), LinkKinds::WebOrMail);
    return true;
}

LRESULT CClusterListDlg::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP_NODE_LIST_UPDATED) {
        OnListUpdated(lParam);
        return 0;
    }
    if (msg == WM_APP_CONNECTION_TEST_RESULT) {
        OnTestResult(lParam);
        return 0;
    }
    return CDialogBase::WndProc(msg, wParam, lParam);
}

void CClusterListDlg::OnOK()
{
    const ClusterNode* node = SelectedNode();
    if (!node) return;
    SelectedName = Utf8ToCString(node->Name);
    SelectedHost = Utf8ToCString(node->Address);
    SelectedPort = node->Port;
    SaveRbnOnly();
    EndModal(IDOK);
}

void CClusterListDlg::OnCancel()
{
    const bool escape = escapeKeyMessage_ || ::GetKeyState(VK_ESCAPE) < 0;
    if (!search_.Text().empty() && escape) {
        search_.Clear();
        RefreshList();
        return;
    }
    SaveRbnOnly();
    EndModal(IDCANCEL);
}

void CClusterListDlg::SaveRbnOnly()
{
    if (!iniPath_.empty()) CIniFile(iniPath_).WriteInteger(u"General", u"ClusterListRbnOnly", RbnOnlyTicked() ? 1 : 0);
}

void CClusterListDlg::OnCheckForUpdates()
{
    nodeList_.SetFocus();
    CWindow(GetItem(IDC_CLUSTER_UPDATE)).Enable(false);
    SetItemText(IDC_CLUSTER_UPDATE_STATUS, LoadText(454));
    updateManual_ = true;
    // When one runs already, its result is ours too; when none could start, no result will come.
    if (TryStartNodeListUpdate(cfgFolder_) != NodeListStart::Failed) return;
    updateManual_ = false;
    SetItemText(IDC_CLUSTER_UPDATE_STATUS, FormatUpdateOutcome(2, LoadText(4124)));
    CWindow(GetItem(IDC_CLUSTER_UPDATE)).Enable(true);
}

void CClusterListDlg::OnListUpdated(LPARAM record)
{
    const auto result = TakeRecord<NodeListUpdateResult>(record);
    if (result->Status == 1) ReloadList();
    if (!updateManual_) return; // the view's daily download changes no text here
    updateManual_ = false;
    SetItemText(IDC_CLUSTER_UPDATE_STATUS, FormatUpdateOutcome(result->Status, result->Error));
    CWindow(GetItem(IDC_CLUSTER_UPDATE)).Enable(true);
}

void CClusterListDlg::ReloadList()
{
    const int32_t adif = ChosenAdif();
    const ClusterNode* selected = SelectedNode();
    const bool hadSelection = selected != nullptr;
    const std::string name = hadSelection ? selected->Name : std::string();
    const std::string address = hadSelection ? selected->Address : std::string();
    if (!LoadList()) return; // the current list stays
    FillCountries();
    for (int i = 0, n = countries_.GetCount(); i < n; ++i) {
        if (int32_t(countries_.GetItemData(i)) != adif) continue;
        countries_.SetCurSel(i);
        break;
    }
    RefreshList();
    if (!hadSelection) return;
    for (size_t row = 0; row < shown_.size(); ++row) {
        const ClusterNode& node = list_.Nodes[shown_[row]];
        if (node.Name != name || node.Address != address) continue;
        SelectRow(int(row));
        break;
    }
}

void CClusterListDlg::OnTest()
{
    nodeList_.SetFocus();
    const ClusterNode* node = SelectedNode();
    if (!node) return;
    auto request = std::make_unique<ConnectionTestRequest>();
    request->Window = hwnd_;
    request->RequestId = ++testRequestId_;
    request->Host = Utf8ToCString(node->Address);
    request->Port = node->Port;
    SetItemText(IDC_CLUSTER_TEST_RESULT, DescribeConnectionTestStart(request->Host, request->Port));
    if (!StartConnectionTest(std::move(request))) SetItemText(IDC_CLUSTER_TEST_RESULT, u"");
}

void CClusterListDlg::OnTestResult(LPARAM record)
{
    const auto result = TakeRecord<ConnectionTestResult>(record);
    if (result->RequestId != testRequestId_) return; // overtaken by another probe or a new selection
    SetItemText(IDC_CLUSTER_TEST_RESULT, DescribeConnectionTest(*result));
}

} // namespace kv
