#pragma once
// The connection view as the handling of logger stations and slash commands sees it.
#include "connections/IRemoteCommandsHost.h"

namespace kv {

class CChildView;

class CViewRemoteHost : public IRemoteCommandsHost {
public:
    explicit CViewRemoteHost(CChildView& view) : view_(view) {}

    const GeneralSettings& General() const override;
    int ConnectionCount() const override;
    CConnectionController* ConnectionAt(int index) const override;
    int ActiveTab() const override;
    void ActivateTab(int index) override;
    std::vector<int> ClosedIds() const override;
    std::u16string ClosedDisplayName(int id) const override;
    bool LoadClosedSettings(int id, CConnectionSettings& settings) const override;
    void ReopenConnection(int id) override;
    void PostCloseConnection(int id) override;
    void PostCloseProgram() override;
    void Log(bool isError, const std::u16string& connectionName, const std::u16string& text) override;
    void ReportNetworkStatus(const std::u16string& error) override;
    bool SendGab(const std::u16string& station, const std::u16string& message, std::u16string& error) override;

private:
    CChildView& view_;
};

} // namespace kv
