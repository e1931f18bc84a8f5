#include "app/CViewRemoteHost.h"

#include "app/CChildView.h"
#include "app/CKestrivaneApp.h"
#include "connections/CConnectionPage.h"
#include "connections/ConnectionList.h"
#include "win/IniFile.h"
#include "win/Win32.h"

namespace kv {

const GeneralSettings& CViewRemoteHost::General() const { return TheApp().Settings; }

int CViewRemoteHost::ConnectionCount() const { return view_.ConnectionTabCount(); }

CConnectionController* CViewRemoteHost::ConnectionAt(int index) const { return view_.PageAt(index); }

int CViewRemoteHost::ActiveTab() const
{
    const int active = view_.TabStrip().GetActiveTab();
    return view_.PageAt(active) ? active : -1;
}

void CViewRemoteHost::ActivateTab(int index)
{
    if (view_.PageAt(index)) view_.TabStrip().SetActiveTab(index);
}

std::vector<int> CViewRemoteHost::ClosedIds() const { return view_.ClosedIds(); }

std::u16string CViewRemoteHost::ClosedDisplayName(int id) const
{
    return GetConnectionDisplayName(CIniFile(TheApp().IniPath), id);
}

bool CViewRemoteHost::LoadClosedSettings(int id, CConnectionSettings& settings) const
{
    return settings.Load(CIniFile(TheApp().IniPath), id);
}

void CViewRemoteHost::ReopenConnection(int id) { view_.ReopenConnection(id); }

void CViewRemoteHost::PostCloseConnection(int id) { view_.PostMessage(WM_APP_CLOSE_CONNECTION, WPARAM(id)); }

void CViewRemoteHost::PostCloseProgram()
{
    if (HWND main = ::GetAncestor(view_.Handle(), GA_ROOT)) ::PostMessageW(main, WM_CLOSE, 0, 0);
}

void CViewRemoteHost::Log(bool isError, const std::u16string& connectionName, const std::u16string& text)
{
    view_.Log(isError, connectionName, text);
}

void CViewRemoteHost::ReportNetworkStatus(const std::u16string& error) { view_.OnNetworkStatus(error); }

bool CViewRemoteHost::SendGab(const std::u16string& station, const std::u16string& message, std::u16string& error)
{
    return TheApp().Network.SendGab(station, message, error);
}

} // namespace kv
