#pragma once
// The decisions of the view's commands that need no window: which page states the commands act on, the
// wrap of Next and Previous, what a change of settings asks or restarts, and the items of the "+" menu.
#include <string>
#include <vector>

#include "connections/CConnectionSettings.h"
#include "connections/GeneralSettings.h"

namespace kv {

// Page states: 0 disconnected, 1 connecting, 2 connected, 3 error, 4 waiting to reconnect (in both classes).
constexpr bool IsConnectableState(int state) { return state == 0 || state == 3 || state == 4; }
constexpr bool IsActiveState(int state) { return state == 1 || state == 2 || state == 4; }

// The tab that Next (+1) or Previous (-1) makes active among count connection tabs; the order wraps. An
// active index outside the tabs counts as 0.
int StepTabIndex(int count, int active, int step);

// The changed items that only a new connection uses ("host, port, login, password, commands"); none when
// the type changed or is DX Summit, which never asks to reconnect.
std::u16string ListReconnectChanges(const CConnectionSettings& before, const CConnectionSettings& after);

// What new general settings change.
struct GeneralSettingsChanges {
    bool font = false;
    bool network = false;              // the logger network must restart
    std::u16string nextConnectionItems; // used at the next connection of a Telnet cluster
};
GeneralSettingsChanges CompareGeneralSettings(const GeneralSettings& before, const GeneralSettings& after);

// A closed connection as the "+" menu lists it.
struct ClosedConnectionItem {
    std::u16string name;
    int id = 0;
};
// By name without regard to case; equal names keep their order.
void SortByName(std::vector<ClosedConnectionItem>& items);
// A name as a menu item shows it: every "&" doubled, so that none underlines the next letter.
std::u16string EscapeMenuText(const std::u16string& text);

} // namespace kv
