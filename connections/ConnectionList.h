#pragma once
// The [Connections] section: the open connections in tab order, the active one, the closed ones that can
// be reopened, and the next free id. Each id owns the section "Connection.<id>".
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class CIniFile;

// Ids above this are refused when a list is read, so that the next id always fits.
constexpr int kMaxConnectionId = 1000000000;

std::u16string GetConnectionSection(int id);

// The comma-separated ids of a list: numbers from 1 to kMaxConnectionId, each once, at its first place.
std::vector<int> ParseIdList(std::u16string_view text);
std::u16string FormatIdList(const std::vector<int>& ids);
// The stored next id (1 when missing or out of range), raised above every id in use.
int ResolveNextId(int storedNextId, const std::vector<int>& open, const std::vector<int>& closed);

// Windows only: through the profile functions.
std::vector<int> ReadIdList(const CIniFile& ini, const std::u16string& key);
void WriteIdList(CIniFile& ini, const std::u16string& key, const std::vector<int>& ids);
std::vector<int> LoadConnectionList(const CIniFile& ini, int& active, int& nextId);
// The closed ids whose section still holds keys and that are not open as well.
std::vector<int> LoadClosedConnections(const CIniFile& ini);
void DeleteConnectionSection(CIniFile& ini, int id);
// The trimmed name of the connection, or its host when the name is empty.
std::u16string GetConnectionDisplayName(const CIniFile& ini, int id);

} // namespace kv
