#pragma once
// The cluster directory: the nodes read from the downloaded CSV list ("DXCLUSTER_NODES.CSV") or from the
// older one-node-per-line list ("cluster.dat"). The format is told from the content. Texts stay UTF-8 bytes
// as read; they become window text only at the window side (Utf8ToCString).
#include <cstdint>
#include <string>
#include <vector>

#include "directory/NodeListText.h"

namespace kv {

enum NodeRbnMode : int32_t {
    RbnNone = 0, // human spots only
    RbnAlso = 1, // human and Reverse Beacon Network spots
    RbnOnly = 2,
};

struct ClusterNode {
    std::string Name;
    std::string Address;
    int32_t Port = 23;
    int32_t RbnMode = RbnNone;
    int32_t Adif = 0; // DXCC entity of the node's location, 0 = none
    std::string City;
    std::string State;
    std::string Grid;
    std::string Sysop;     // the sysop's callsign
    std::string SysopName; // the sysop's personal name
    std::string Email;
    bool Publish = true; // false: the sysop's name, callsign and e-mail address are not to be shown
    std::string Software;
    std::string Version;
    std::string Url;
    std::vector<std::string> Fields; // every field of the source row, in order
};

// Fills node from the fields of one legacy line (name, host, optional port); true when the node is accepted.
bool ParseLegacyNodeLine(const std::vector<std::string>& fields, ClusterNode& node);

// Name order without regard to ASCII case, byte by byte; a proper prefix first.
bool CompareNodeNames(const ClusterNode& a, const ClusterNode& b);

// The first header field equal to the name without regard to ASCII case, or -1.
int FindColumn(const std::vector<std::string>& header, const std::string& name);
// The field at the index, or empty when the index is negative or past the end.
std::string FieldAt(const std::vector<std::string>& fields, int index);

class ClusterNodeList {
public:
    std::vector<ClusterNode> Nodes; // sorted by CompareNodeNames
    bool IsCsv = false;
    std::string Release; // the edition of the list as the file states it

    // The data lines of a CSV text: release, header, rows. False without the two first lines or without the
    // Node or Address column.
    bool ParseCsv(const std::vector<std::string>& lines);
    // Replaces the whole content with what the text holds; false when it is a CSV list that cannot be read.
    bool Parse(const std::string& text);
    // Reads the file and parses it; false when it cannot be opened. Windows build only.
    bool Load(const std::u16string& path);

private:
    void Clear();
    void ParseLegacy(const std::vector<std::string>& lines);
};

} // namespace kv
