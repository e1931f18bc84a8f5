#pragma once
// The General Settings dialog driven as a user does: opened by its menu command, a field given a new value, OK
// clicked (real input); timed until the dialog has gone (the program takes the settings right after).
#include <windows.h>

#include <cstdint>
#include <string>

namespace kvprobe {

class CSettingsDialog {
public:
    // field: "maxlines" or "fontsize". "set <ms>": ms from the first click on OK until the dialog had gone (with
    // " clicks <n>" when it took more than one); or "set unknown|alreadyopen|nodialog|nofield|timeout".
    std::string Set(const std::string& field, const std::string& value);

private:
    static HWND WaitForDialog(HWND frame, uint64_t start);
    static bool WaitUntilGone(HWND dialog, uint64_t start);
};

} // namespace kvprobe
