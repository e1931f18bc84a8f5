#pragma once
// Settings of the first version ([Profiles], [General Settings], [DxCluster Settings], [Network Settings])
// turned into the current layout once, at start-up, after a backup copy of the file. Windows only.
#include <string>
#include <vector>

#include "connections/IniSectionMap.h"

namespace kv {

// The number of connections imported, or -1 when [Profiles] is missing or empty (nothing done). The texts
// for the log land in messages.
int MigrateV1Settings(const std::u16string& iniPath, std::vector<std::u16string>& messages);

IniSectionMap ReadIniSection(const std::u16string& iniPath, const std::u16string& section);

// The copy made before anything changes: the settings file's path followed by ".v1.bak".
std::u16string GetV1BackupPath(const std::u16string& iniPath);
// What the view logs after an import, naming the real backup file.
std::u16string FormatV1ImportNotice(int imported, const std::u16string& iniPath);

} // namespace kv
