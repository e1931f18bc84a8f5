#pragma once
// What the handling of logger stations and slash commands needs of the connection view: its tabs, its closed
// connections, its log pane and the logger network's "GAB:" messages.
#include <string>
#include <vector>

namespace kv {

class CConnectionController;
class CConnectionSettings;
struct GeneralSettings;

class IRemoteCommandsHost {
public:
    virtual ~IRemoteCommandsHost() = default;

    virtual const GeneralSettings& General() const = 0;

    // The connection tabs in tab order (the add tab is none of them).
    virtual int ConnectionCount() const = 0;
    virtual CConnectionController* ConnectionAt(int index) const = 0;
    // The index of the active tab; outside 0..ConnectionCount()-1 when the add tab (or nothing) is active.
    virtual int ActiveTab() const = 0;
    virtual void ActivateTab(int index) = 0;

    // The closed connections whose settings remain, in the order they were closed.
    virtual std::vector<int> ClosedIds() const = 0;
    virtual std::u16string ClosedDisplayName(int id) const = 0;
    // False when the connection's settings no longer exist.
    virtual bool LoadClosedSettings(int id, CConnectionSettings& settings) const = 0;
    virtual void ReopenConnection(int id) = 0;

    // Both act once the command being run has finished.
    virtual void PostCloseConnection(int id) = 0;
    virtual void PostCloseProgram() = 0;

    // A line of the log pane, under a connection's name or under none (empty name).
    virtual void Log(bool isError, const std::u16string& connectionName, const std::u16string& text) = 0;
    // A failure of the logger network with its error text.
    virtual void ReportNetworkStatus(const std::u16string& error) = 0;
    // False with an error text to report, or with an empty one for a failure already reported.
    virtual bool SendGab(const std::u16string& station, const std::u16string& message, std::u16string& error) = 0;
};

} // namespace kv
