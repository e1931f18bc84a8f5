// The cluster chooser in a real window under Wine, driven by messages from inside its own modal loop: a node
// list in a temporary folder, typing, the country and RBN filters, sorting by a column, the details of the
// selected node, choosing with Enter or a double-click, a new list arriving, and the failures.
#include <gtest/gtest.h>

#include "connections/LinkTable.h"
#include "directory/CClusterListDlg.h"
#include "directory/NodeListUpdate.h"
#include "base/Format.h"
#include "base/Text.h"
#include "resources/resource.h"
#include "tests/support/WinModalScript.h"
#include "tests/support/WinTestSupport.h"
#include "win/GdiPlus.h"
#include "win/IniFile.h"
#include "win/LinkCtrl.h"

using namespace kv;
using namespace kv::test;

namespace {

const char kHeader[] = "Node,Address,Port,Active,ADIF,Skimmer,City,State,Grid,Sysop,Name,Email,Publish,Software,"
                       "Version,URL\r\n";
const char kRows[] =
    "K1TTT-2,k1ttt.example.net,7300,yes,291,also,Peru,MA,FN32,K1TTT,Dave,dave@example.net,yes,ARC,6.0,"
    "www.example.net/k1ttt/\r\n"
    "W3LPL,dx.w3lpl.example.net,7373,yes,291,only,Glenwood,MD,FM19,W3LPL,Frank,,yes,DXSpider,1.57,\r\n"
    "DB0SUE-7,db0sue.example.de,8000,yes,230,,Saarbruecken,,JN39,DL8XX,Hans,hans@example.de,no,CC Cluster,4.0,"
    "https://db0sue.example.de\r\n"
    "VE7CC-1,dxc.ve7cc.example.ca,23,yes,1,also,Vancouver,BC,CN89,VE7CC,Lee,,yes,OTHER,CCUser,\r\n"
    "K1ABC-9,k1abc.example.com,7300,yes,291,,Boston,MA,,K1ABC,Ann,,yes,OTHER,2.1,\r\n"
    "OFF1,off.example.net,23,no,291,,,,,,,,,,,\r\n";

std::string CsvList(const std::string& release, const std::string& rows) { return release + "\r\n" + kHeader + rows; }

class ClusterChooserDialog : public ::testing::Test {
protected:
    void WriteCsv(const std::string& text) { ASSERT_TRUE(WriteFileBytes(dir.File(u"DXCLUSTER_NODES.CSV"), text)); }
    void WriteLegacy(const std::string& text) { ASSERT_TRUE(WriteFileBytes(dir.File(u"cluster.dat"), text)); }
    std::u16string IniPath() const { return dir.File(u"Kestrivane.ini"); }

    HWND Dialog() const { return dialog ? dialog->Handle() : nullptr; }
    HWND Item(int id) const { return ::GetDlgItem(Dialog(), id); }
    CListViewCtrl List() const { return CListViewCtrl(Item(IDC_CLUSTER_LIST)); }
    CComboBox Countries() const { return CComboBox(Item(IDC_CLUSTER_COUNTRY)); }
    std::u16string Text(int id) const { return CWindow(Item(id)).GetText(); }
    bool Visible() const { return Dialog() && ::IsWindowVisible(Dialog()); }

    std::vector<std::u16string> Rows(int column = 0) const
    {
        std::vector<std::u16string> rows;
        for (int i = 0, n = List().GetItemCount(); i < n; ++i) rows.push_back(List().GetItemText(i, column));
        return rows;
    }
    int SelectedRow() const { return List().GetNextItem(-1, LVNI_SELECTED); }
    void Post(int id, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        ::PostMessageW(Item(id), msg, wParam, lParam);
    }
    void Type(int id, const std::u16string& text) const
    {
        for (char16_t c : text) Post(id, WM_CHAR, c, 1);
    }
    void KeyDown(int id, UINT key) const { Post(id, WM_KEYDOWN, key, 1); }
    void ChooseCountry(const std::u16string& prefix) const
    {
        CComboBox combo = Countries();
        for (int i = 0; i < combo.GetCount(); ++i) {
            if (combo.GetLBText(i).rfind(prefix, 0) != 0) continue;
            combo.SetCurSel(i);
            const WPARAM command = MAKEWPARAM(IDC_CLUSTER_COUNTRY, CBN_SELCHANGE);
            ::SendMessageW(Dialog(), WM_COMMAND, command, LPARAM(combo.Handle()));
            return;
        }
        ADD_FAILURE() << "no such country";
    }
    void SelectRow(int row) const
    {
        List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    // A click in the middle of a column's header, as the mouse gives it.
    void ClickHeader(int column) const
    {
        HWND header = reinterpret_cast<HWND>(List().SendMessage(LVM_GETHEADER));
        RECT r{};
        ::SendMessageW(header, HDM_GETITEMRECT, column, LPARAM(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(header, WM_LBUTTONUP, 0, at);
    }
    void DoubleClickRow(int row) const
    {
        RECT r{};
        List().GetItemRect(row, r, LVIR_LABEL);
        const LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
        Post(IDC_CLUSTER_LIST, WM_LBUTTONDOWN, MK_LBUTTON, at);
        Post(IDC_CLUSTER_LIST, WM_LBUTTONUP, 0, at);
        Post(IDC_CLUSTER_LIST, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        Post(IDC_CLUSTER_LIST, WM_LBUTTONUP, 0, at);
    }

    INT_PTR Run(CModalScript& script)
    {
        const INT_PTR result = script.Run([this] { return dialog->DoModal(); });
        EXPECT_TRUE(script.Completed()) << script.Failure();
        return result;
    }
    void Open() { dialog = std::make_unique<CClusterListDlg>(nullptr, dir.Path() + u"\\", IniPath()); }
    CModalScript Script() { return CModalScript([this] { return Dialog(); }); }
    // The dialog made on the node list kRows; the script begins by waiting until it is shown.
    void OpenShown(CModalScript& script)
    {
        WriteCsv(CsvList("7", kRows));
        Open();
        script.WaitUntil([this] { return Visible(); }, "the dialog shown");
    }
    // A local web server of the node list, which [Links] NodeListUrl names.
    void ServeNodeList(const std::string& params)
    {
        server = std::make_unique<CTestPeer>("nodelist", "serve", params);
        ASSERT_TRUE(server->Ok()) << server->Error();
        SetLink(u"NodeListUrl", FormatText(u"http://127.0.0.1:%d/nodes/DXCLUSTER_NODES.CSV", int(server->Port())));
    }
    void ClickUpdate() const { ::SendMessageW(Item(IDC_CLUSTER_UPDATE), BM_CLICK, 0, 0); }
    bool UpdateDone() const { return ::IsWindowEnabled(Item(IDC_CLUSTER_UPDATE)) != FALSE; }
    void TearDown() override { ClearLinkTable(); }

    CGdiPlusSession gdiplus;
    CTempDir dir;
    std::unique_ptr<CClusterListDlg> dialog;
    std::unique_ptr<CTestPeer> server;
};

using Texts = std::vector<std::u16string>;

} // namespace

TEST_F(ClusterChooserDialog, FiltersNarrowTheListAndEnterGivesTheChosenNode)
{
    WriteCsv(CsvList("2025-01-31", kRows));
    Open();
    CModalScript script = Script();
    script.WaitUntil([&] { return Visible(); }, "the dialog shown");
    script.Do([&] {
        EXPECT_EQ(Rows(), (Texts{u"DB0SUE-7", u"K1ABC-9", u"K1TTT-2", u"VE7CC-1", u"W3LPL"}));
        EXPECT_EQ(Rows(2), (Texts{u"8000", u"7300", u"7300", u"23", u"7373"}));
        EXPECT_EQ(List().GetItemImage(2), 1); // K1TTT-2: human and RBN
        EXPECT_EQ(SelectedRow(), 0);
        EXPECT_EQ(::GetFocus(), Item(IDC_CLUSTER_LIST));
        EXPECT_EQ(Text(IDC_CLUSTER_COUNTS), u"DXCLUSTER_NODES.CSV, release 2025-01-31: 5 nodes, 5 shown");
        EXPECT_EQ(Text(IDC_CLUSTER_SEARCH_STATUS), u"Type a part of a name or of a host to search");
        EXPECT_EQ(Countries().GetCount(), 4); // Any and the three entities of the list
        EXPECT_EQ(Countries().GetLBText(2), u"K - United States");
        EXPECT_TRUE(::IsWindowVisible(Item(IDC_CLUSTER_CREDIT)));
        // The first row's details: the sysop hides his name and mail, the website stays.
        EXPECT_EQ(Text(IDC_CLUSTER_LOCATION), u"Saarbruecken (JN39)");
        EXPECT_EQ(Text(IDC_CLUSTER_PEOPLE), u"Website: <a>db0sue.example.de</a>");
        EXPECT_EQ(CLinkCtrl(Item(IDC_CLUSTER_PEOPLE)).GetItemUrl(0), u"https://db0sue.example.de");
        EXPECT_EQ(CLinkCtrl(Item(IDC_CLUSTER_CREDIT)).GetItemUrl(1), u"https://kestrivane.example.org/");
        EXPECT_EQ(Text(IDC_CLUSTER_SOFTWARE), u"CC Cluster 4.0");
        EXPECT_FALSE(SaveScreenshot(Dialog(), u"cluster-chooser").empty());
        Type(IDC_CLUSTER_LIST, u"K1");
    });
    script.WaitUntil([&] { return Rows().size() == 2; }, "the search k1");
    script.Do([&] {
        EXPECT_EQ(Text(IDC_CLUSTER_SEARCH_STATUS), u"Search: K1   (Backspace: delete, Escape: clear)");
        ChooseCountry(u"K ");
        ::SendMessageW(Item(IDC_CLUSTER_RBN_ONLY), BM_CLICK, 0, 0);
        EXPECT_EQ(Rows(), (Texts{u"K1TTT-2"}));
        EXPECT_EQ(::GetFocus(), Item(IDC_CLUSTER_LIST));
        Type(IDC_CLUSTER_LIST, u"x");
    });
    script.WaitUntil([&] { return Rows().empty(); }, "the search k1x");
    script.Do([&] {
        EXPECT_EQ(Text(IDC_CLUSTER_SEARCH_STATUS),
                  u"No node matches \"K1x\" (RBN nodes only, K - United States)   (Backspace: delete, Escape: clear)");
        EXPECT_EQ(Text(IDC_CLUSTER_COUNTS), u"DXCLUSTER_NODES.CSV, release 2025-01-31: 5 nodes, 0 shown");
        EXPECT_FALSE(::IsWindowEnabled(Item(IDC_CLUSTER_TEST)));
        EXPECT_EQ(Text(IDC_CLUSTER_LOCATION), u"");
        EXPECT_FALSE(SaveScreenshot(Dialog(), u"cluster-chooser-no-match").empty());
        KeyDown(IDC_CLUSTER_LIST, VK_RETURN); // OK without a row: the dialog stays
        KeyDown(IDC_CLUSTER_LIST, VK_BACK);
    });
    script.WaitUntil([&] { return Rows().size() == 1; }, "backspace");
    script.Do([&] { KeyDown(IDC_CLUSTER_LIST, VK_ESCAPE); });
    script.WaitUntil([&] { return Rows().size() == 2; }, "escape clears the search");
    script.Do([&] {
        EXPECT_TRUE(Visible());
        EXPECT_EQ(Text(IDC_CLUSTER_SEARCH_STATUS), u"Type a part of a name or of a host to search");
        SelectRow(1);
        EXPECT_EQ(Text(IDC_CLUSTER_LOCATION), u"Glenwood, MD (FM19)");
        EXPECT_EQ(Text(IDC_CLUSTER_PEOPLE), u"Frank W3LPL");
        EXPECT_EQ(Text(IDC_CLUSTER_SOFTWARE), u"DXSpider 1.57");
        EXPECT_TRUE(::IsWindowEnabled(Item(IDC_CLUSTER_TEST)));
        KeyDown(IDC_CLUSTER_LIST, VK_RETURN);
    });
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(dialog->SelectedName, u"W3LPL");
    EXPECT_EQ(dialog->SelectedHost, u"dx.w3lpl.example.net");
    EXPECT_EQ(dialog->SelectedPort, 7373);
    EXPECT_EQ(CIniFile(IniPath()).ReadInteger(u"General", u"ClusterListRbnOnly"), 1);
}

TEST_F(ClusterChooserDialog, HeaderClicksSortAndADoubleClickChooses)
{
    WriteCsv(CsvList("7", kRows));
    CIniFile(IniPath()).WriteInteger(u"General", u"ClusterListRbnOnly", 0);
    Open();
    CModalScript script = Script();
    script.WaitUntil([&] { return Visible(); }, "the dialog shown");
    script.Do([&] { ClickHeader(2); });
    script.WaitUntil([&] { return Rows(0).front() == u"VE7CC-1"; }, "sorted by port");
    script.Do([&] {
        EXPECT_EQ(Rows(), (Texts{u"VE7CC-1", u"K1ABC-9", u"K1TTT-2", u"W3LPL", u"DB0SUE-7"}));
        ClickHeader(2);
    });
    script.WaitUntil([&] { return Rows(0).front() == u"DB0SUE-7"; }, "sorted by port, descending");
    script.Do([&] {
        // Equal ports: the names go the same way.
        EXPECT_EQ(Rows(), (Texts{u"DB0SUE-7", u"W3LPL", u"K1TTT-2", u"K1ABC-9", u"VE7CC-1"}));
        ClickHeader(1);
    });
    script.WaitUntil([&] { return Rows(1).front() == u"db0sue.example.de"; }, "sorted by host");
    script.Do([&] {
        EXPECT_FALSE(SaveScreenshot(Dialog(), u"cluster-chooser-by-host").empty());
        DoubleClickRow(2);
    });
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(dialog->SelectedName, u"VE7CC-1");
    EXPECT_EQ(dialog->SelectedHost, u"dxc.ve7cc.example.ca");
    EXPECT_EQ(dialog->SelectedPort, 23);
}

TEST_F(ClusterChooserDialog, APauseStartsANewSearchAndTheCountryListTakesItsOwnTyping)
{
    CModalScript script = Script();
    OpenShown(script);
    script.Do([&] { Type(IDC_CLUSTER_LIST, u"k1"); });
    script.WaitUntil([&] { return Rows().size() == 2; }, "the search k1");
    script.Wait(1800);
    script.Do([&] { Type(IDC_CLUSTER_LIST, u"w"); });
    script.WaitUntil([&] { return Rows().size() == 1; }, "a new search w");
    script.Do([&] {
        EXPECT_EQ(Text(IDC_CLUSTER_SEARCH_STATUS), u"Search: w   (Backspace: delete, Escape: clear)");
        KeyDown(IDC_CLUSTER_LIST, VK_BACK);
    });
    script.WaitUntil([&] { return Rows().size() == 5; }, "the search emptied");
    script.Do([&] {
        KeyDown(IDC_CLUSTER_LIST, VK_BACK); // nothing left to delete: nothing happens
        ::SetFocus(Item(IDC_CLUSTER_COUNTRY));
        Type(IDC_CLUSTER_COUNTRY, u"ve");
    });
    script.WaitUntil([&] { return Rows().size() == 1; }, "the country typed");
    script.Do([&] {
        EXPECT_EQ(Countries().GetLBText(Countries().GetCurSel()), u"VE - Canada");
        EXPECT_EQ(Rows(), (Texts{u"VE7CC-1"}));
        EXPECT_EQ(Text(IDC_CLUSTER_SEARCH_STATUS), u"Type a part of a name or of a host to search");
        ::SetFocus(Item(IDC_CLUSTER_LIST));
        KeyDown(IDC_CLUSTER_LIST, VK_ESCAPE); // no search: Escape closes
    });
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_EQ(CIniFile(IniPath()).ReadInteger(u"General", u"ClusterListRbnOnly"), 0);
}

TEST_F(ClusterChooserDialog, ANewListArrivingIsReloadedKeepingCountryAndSelection)
{
    CModalScript script = Script();
    OpenShown(script);
    script.Do([&] {
        ChooseCountry(u"K ");
        SelectRow(2);
        EXPECT_EQ(List().GetItemText(SelectedRow(), 0), u"W3LPL");
        WriteCsv(CsvList("8", std::string(kRows) + "AA1AA,aa1aa.example.net,23,yes,291,,,,,,,,,,,\r\n"));
        auto result = std::make_unique<NodeListUpdateResult>();
        result->Status = 1;
        EXPECT_TRUE(PostRecord(Dialog(), WM_APP_NODE_LIST_UPDATED, 0, std::move(result)));
    });
    script.WaitUntil([&] { return Rows().size() == 4; }, "the new list");
    script.Do([&] {
        EXPECT_EQ(Countries().GetLBText(Countries().GetCurSel()), u"K - United States");
        EXPECT_EQ(List().GetItemText(SelectedRow(), 0), u"W3LPL");
        EXPECT_EQ(Text(IDC_CLUSTER_COUNTS), u"DXCLUSTER_NODES.CSV, release 8: 6 nodes, 4 shown");
        EXPECT_EQ(Text(IDC_CLUSTER_UPDATE_STATUS), u""); // not asked for here: no text
        // A list that cannot be read keeps the one on screen.
        WriteCsv("8\r\nNode,Port\r\n"); // no Address column
        auto result = std::make_unique<NodeListUpdateResult>();
        result->Status = 1;
        PostRecord(Dialog(), WM_APP_NODE_LIST_UPDATED, 0, std::move(result));
    });
    script.Wait(200);
    script.Do([&] {
        EXPECT_EQ(Rows().size(), 4u);
        KeyDown(IDC_CLUSTER_LIST, VK_ESCAPE);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_FALSE(IsNodeListWindowRegistered(dialog->Handle()));
}

TEST_F(ClusterChooserDialog, AnOlderLineListHasNoCountriesAndNoCredit)
{
    WriteCsv("7\r\n" + std::string(kHeader)); // a CSV without nodes gives way to cluster.dat
    WriteLegacy("# Release 12\r\nGB7DJK,gb7djk.example.uk,7300\r\nOH2AQ (+RBN),oh2aq.example.fi\r\nbad,no host,\r\n");
    Open();
    CModalScript script = Script();
    script.WaitUntil([&] { return Visible(); }, "the dialog shown");
    script.Do([&] {
        EXPECT_EQ(Rows(), (Texts{u"GB7DJK", u"OH2AQ"}));
        EXPECT_EQ(Text(IDC_CLUSTER_COUNTS), u"cluster.dat, release 12: 2 nodes, 2 shown");
        EXPECT_EQ(Countries().GetCount(), 1);
        EXPECT_FALSE(::IsWindowEnabled(Item(IDC_CLUSTER_COUNTRY)));
        EXPECT_FALSE(::IsWindowEnabled(Item(IDC_CLUSTER_COUNTRY_LABEL)));
        EXPECT_FALSE(::IsWindowVisible(Item(IDC_CLUSTER_CREDIT)));
        EXPECT_TRUE(IsNodeListWindowRegistered(Dialog()));
        EXPECT_FALSE(SaveScreenshot(Dialog(), u"cluster-chooser-legacy").empty());
        KeyDown(IDC_CLUSTER_LIST, VK_RETURN);
    });
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(dialog->SelectedName, u"GB7DJK");
    EXPECT_EQ(dialog->SelectedPort, 7300);
}

// A web site that reads as one address and opens another (a right-to-left override in it) is shown as no
// link; the row's mail address, which opens as it reads, stays one.
TEST_F(ClusterChooserDialog, ARowWithAnInvisibleCharacterInItsAddressShowsNoLink)
{
    WriteCsv(CsvList("7", "K1RLO,k1rlo.example.net,7300,yes,291,,,,,K1RLO,Ed,ed@example.net,yes,,,"
                          "https://www.example.net/\xE2\x80\xAE" "exe.gnp\r\n"));
    Open();
    CModalScript script = Script();
    script.WaitUntil([&] { return Visible(); }, "the dialog shown");
    script.Do([&] {
        EXPECT_EQ(Text(IDC_CLUSTER_PEOPLE), u"Ed K1RLO <a>ed@example.net</a>");
        EXPECT_EQ(CLinkCtrl(Item(IDC_CLUSTER_PEOPLE)).GetItemUrl(0), u"mailto:ed@example.net");
        EXPECT_EQ(CLinkCtrl(Item(IDC_CLUSTER_PEOPLE)).GetItemUrl(1), u"");
        EXPECT_FALSE(SaveScreenshot(Dialog(), u"cluster-chooser-invisible-in-address").empty());
        KeyDown(IDC_CLUSTER_LIST, VK_ESCAPE);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
}

TEST_F(ClusterChooserDialog, WithoutAReadableListItSaysSoAndCancels)
{
    WriteCsv("7\r\n" + std::string(kHeader));
    Open();
    std::u16string message;
    CModalScript script = Script();
    script.WaitUntil(
        [&] {
            HWND box = ::FindWindowW(L"#32770", L"Kestrivane");
            if (!box || box == Dialog()) return false;
            message = CWindow(::GetDlgItem(box, 0xFFFF)).GetText();
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            return true;
        },
        "the message box");
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_EQ(message, u"The list of the clusters cannot be read:\n" + dir.Path() + u"\\cluster.dat");
}

TEST_F(ClusterChooserDialog, TestReportsWhatTheNodeAnswersUnlessTheSelectionMovedOn)
{
    CTestPeer banner("probe", "banner");
    CTestPeer refusing("cluster", "refused");
    ASSERT_TRUE(banner.Ok()) << banner.Error();
    ASSERT_TRUE(refusing.Ok()) << refusing.Error();
    const char row[] = "%s,127.0.0.1,%d,yes,291,,,,,,,,,,,\r\n";
    WriteCsv(CsvList("7", FormatText(row, "A1TST", int(banner.Port())) + FormatText(row, "B1TST", int(refusing.Port()))));
    const std::u16string testing = FormatText(u"Testing 127.0.0.1:%d...", int(banner.Port()));
    Open();
    CModalScript script = Script();
    script.WaitUntil([&] { return Visible(); }, "the dialog shown");
    script.Do([&] {
        ::SendMessageW(Item(IDC_CLUSTER_TEST), BM_CLICK, 0, 0);
        EXPECT_EQ(Text(IDC_CLUSTER_TEST_RESULT), testing);
    });
    script.WaitUntil([&] { return Text(IDC_CLUSTER_TEST_RESULT) != testing; }, "the probe's result");
    script.Do([&] {
        const std::u16string result = Text(IDC_CLUSTER_TEST_RESULT);
        EXPECT_EQ(result.rfind(u"Answers in ", 0), 0u) << U16ToAscii(result);
        EXPECT_NE(result.find(u" ms - CC Cluster"), std::u16string::npos) << U16ToAscii(result);
        EXPECT_EQ(::GetFocus(), Item(IDC_CLUSTER_LIST));
        EXPECT_FALSE(SaveScreenshot(Dialog(), u"cluster-chooser-test").empty());
        // A probe overtaken by a new selection is never shown.
        SelectRow(1);
        ::SendMessageW(Item(IDC_CLUSTER_TEST), BM_CLICK, 0, 0);
        SelectRow(0);
        EXPECT_EQ(Text(IDC_CLUSTER_TEST_RESULT), u"");
    });
    script.Wait(600);
    script.Do([&] {
        EXPECT_EQ(Text(IDC_CLUSTER_TEST_RESULT), u"");
        SelectRow(1);
        ::SendMessageW(Item(IDC_CLUSTER_TEST), BM_CLICK, 0, 0);
    });
    script.WaitUntil([&] { return Text(IDC_CLUSTER_TEST_RESULT) == u"Connection refused"; }, "refused");
    script.Do([&] { KeyDown(IDC_CLUSTER_LIST, VK_ESCAPE); });
    EXPECT_EQ(Run(script), IDCANCEL);
}

TEST_F(ClusterChooserDialog, CheckForUpdatesInstallsANewListAndTellsTheOutcome)
{
    ServeNodeList("body=csv nodes=7 release=2026-12-01");
    CModalScript script = Script();
    OpenShown(script);
    script.Do([&] {
        ClickUpdate();
        EXPECT_EQ(Text(IDC_CLUSTER_UPDATE_STATUS), u"Checking...");
        EXPECT_FALSE(UpdateDone());
    });
    script.WaitUntil([&] { return UpdateDone(); }, "the download's result");
    script.Do([&] {
        EXPECT_EQ(Text(IDC_CLUSTER_UPDATE_STATUS), u"New list downloaded");
        EXPECT_EQ(Text(IDC_CLUSTER_COUNTS), u"DXCLUSTER_NODES.CSV, release 2026-12-01: 7 nodes, 7 shown");
        EXPECT_FALSE(SaveScreenshot(Dialog(), u"cluster-chooser-updated").empty());
        ClickUpdate();
    });
    script.WaitUntil([&] { return UpdateDone(); }, "the second result");
    script.Do([&] {
        EXPECT_EQ(Text(IDC_CLUSTER_UPDATE_STATUS), u"The list is up to date");
        KeyDown(IDC_CLUSTER_LIST, VK_ESCAPE);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
}

TEST_F(ClusterChooserDialog, AFailedUpdateKeepsTheListAndSaysWhy)
{
    ServeNodeList("status=404");
    CModalScript script = Script();
    OpenShown(script);
    script.Do([&] { ClickUpdate(); });
    script.WaitUntil([&] { return UpdateDone(); }, "the download's result");
    script.Do([&] {
        EXPECT_EQ(Text(IDC_CLUSTER_UPDATE_STATUS), u"Failed: HTTP 404");
        EXPECT_EQ(Rows().size(), 5u);
        KeyDown(IDC_CLUSTER_LIST, VK_ESCAPE);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
}

TEST_F(ClusterChooserDialog, ADownloadAlreadyRunningIsTheOneAwaited)
{
    ServeNodeList("body=csv nodes=3 delay=800");
    CModalScript script = Script();
    OpenShown(script);
    script.Do([&] {
        ASSERT_TRUE(StartNodeListUpdate(dir.Path() + u"\\")); // the view's daily download, say
        ClickUpdate();
        EXPECT_EQ(Text(IDC_CLUSTER_UPDATE_STATUS), u"Checking...");
    });
    script.WaitUntil([&] { return UpdateDone(); }, "the running download's result");
    script.Do([&] {
        EXPECT_EQ(Text(IDC_CLUSTER_UPDATE_STATUS), u"New list downloaded");
        EXPECT_EQ(Rows().size(), 3u);
        KeyDown(IDC_CLUSTER_LIST, VK_ESCAPE);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
}

TEST_F(ClusterChooserDialog, OpensWithTheSavedRbnBoxAndLeavesItsOwnerActiveAgain)
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"Kestrivane owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 500,
                                   400, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    ::SetForegroundWindow(owner);
    WriteCsv(CsvList("7", kRows));
    CIniFile(IniPath()).WriteInteger(u"General", u"ClusterListRbnOnly", 1);
    dialog = std::make_unique<CClusterListDlg>(owner, dir.Path() + u"\\", IniPath());
    CModalScript script = Script();
    script.WaitUntil([&] { return Visible(); }, "the dialog shown");
    script.Do([&] {
        EXPECT_FALSE(::IsWindowEnabled(owner));
        EXPECT_EQ(::GetWindow(Dialog(), GW_OWNER), owner);
        EXPECT_EQ(::IsDlgButtonChecked(Dialog(), IDC_CLUSTER_RBN_ONLY), BST_CHECKED);
        EXPECT_EQ(Rows(), (Texts{u"K1TTT-2", u"VE7CC-1", u"W3LPL"}));
        ::PostMessageW(Dialog(), WM_CLOSE, 0, 0); // the title bar's close box
    });
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    EXPECT_EQ(::GetActiveWindow(), owner);
    EXPECT_FALSE(::IsWindow(dialog->Handle()));
    ::DestroyWindow(owner);
}
