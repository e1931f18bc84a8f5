#include "directory/ClusterNodeList.h"

#include <algorithm>

#include "base/Ascii.h"
#include "base/DecimalDottedQuad.h"

namespace kv {
namespace {

constexpr char kRbnSuffix[] = "(+rbn)";
constexpr size_t kRbnSuffixLength = sizeof kRbnSuffix - 1;
constexpr char kReleaseWord[] = "release ";
constexpr size_t kReleaseWordLength = sizeof kReleaseWord - 1;

bool IsComment(const std::string& line) { return !line.empty() && line.front() == '#'; }

// What a CSV row's optional columns mean; -1 for a column the header lacks.
struct CsvColumns {
    int node, address, port, active, adif, skimmer, city, state, grid, sysop, name, email, publish, software,
        version, url;

    explicit CsvColumns(const std::vector<std::string>& header)
        : node(FindColumn(header, "Node")), address(FindColumn(header, "Address")),
          port(FindColumn(header, "Port")), active(FindColumn(header, "Active")),
          adif(FindColumn(header, "ADIF")), skimmer(FindColumn(header, "Skimmer")),
          city(FindColumn(header, "City")), state(FindColumn(header, "State")), grid(FindColumn(header, "Grid")),
          sysop(FindColumn(header, "Sysop")), name(FindColumn(header, "Name")),
          email(FindColumn(header, "Email")), publish(FindColumn(header, "Publish")),
          software(FindColumn(header, "Software")), version(FindColumn(header, "Version")),
          url(FindColumn(header, "URL"))
    {
    }
};

int32_t ReadRbnMode(const std::string& value)
{
    const std::string lower = ToLowerAscii(value);
    if (lower == "also") return RbnAlso;
    if (lower == "only") return RbnOnly;
    return RbnNone;
}

int32_t ReadAdif(const std::string& value)
{
    if (value.empty() || value.size() > 4) return 0;
    int32_t number = 0;
    for (char c : value) {
        if (!IsAsciiDigit(c)) return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

bool IsAcceptedNode(ClusterNode& node, const std::string& portText)
{
    if (node.Name.empty() || !IsValidHost(node.Address) || !ParseNodePort(portText, node.Port)) return false;
    node.Address = DecimalDottedQuad(node.Address); // what the chooser shows, probes and hands on
    return true;
}

// One data row under the header; false when it is skipped (inactive) or refused.
bool ReadCsvRow(std::vector<std::string> row, const CsvColumns& columns, ClusterNode& node)
{
    if (columns.active >= 0 && ToLowerAscii(FieldAt(row, columns.active)) != "yes") return false;
    node.Name = FieldAt(row, columns.node);
    node.Address = FieldAt(row, columns.address);
    node.RbnMode = ReadRbnMode(FieldAt(row, columns.skimmer));
    node.City = FieldAt(row, columns.city);
    node.State = FieldAt(row, columns.state);
    node.Grid = FieldAt(row, columns.grid);
    node.Sysop = FieldAt(row, columns.sysop);
    node.SysopName = FieldAt(row, columns.name);
    node.Email = FieldAt(row, columns.email);
    node.Software = FieldAt(row, columns.software);
    node.Version = FieldAt(row, columns.version);
    node.Url = FieldAt(row, columns.url);
    node.Publish = ToLowerAscii(FieldAt(row, columns.publish)) != "no";
    node.Adif = ReadAdif(FieldAt(row, columns.adif));
    const bool accepted = IsAcceptedNode(node, FieldAt(row, columns.port));
    node.Fields = std::move(row);
    return accepted;
}

// A stable sort by name that moves each node once: nodes are large, their names short.
void SortByName(std::vector<ClusterNode>& nodes)
{
    std::vector<size_t> order(nodes.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return CompareNodeNames(nodes[a], nodes[b]); });
    std::vector<ClusterNode> sorted;
    sorted.reserve(nodes.size());
    for (size_t i : order) sorted.push_back(std::move(nodes[i]));
    nodes = std::move(sorted);
}

bool LooksLikeCsv(const std::vector<std::string>& dataLines)
{
    if (dataLines.size() < 2) return false;
    const std::string& release = dataLines[0];
    if (release.find_first_of(",\"") != std::string::npos || !IsAsciiDigit(release.front())) return false;
    return ToLowerAscii(dataLines[1]).find("node") != std::string::npos;
}

} // namespace

bool ParseLegacyNodeLine(const std::vector<std::string>& fields, ClusterNode& node)
{
    if (fields.size() < 2) return false;
    node.Name = fields[0];
    node.Address = fields[1];
    node.Fields = fields;
    const size_t length = node.Name.size();
    if (length > kRbnSuffixLength && ToLowerAscii(node.Name.substr(length - kRbnSuffixLength)) == kRbnSuffix) {
        node.Name = TrimNodeField(node.Name.substr(0, length - kRbnSuffixLength));
        node.RbnMode = RbnAlso;
    }
    return IsAcceptedNode(node, fields.size() > 2 ? fields[2] : std::string());
}

bool CompareNodeNames(const ClusterNode& a, const ClusterNode& b)
{
    const size_t n = std::min(a.Name.size(), b.Name.size());
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(AsciiToLower(a.Name[i]));
        const auto y = static_cast<unsigned char>(AsciiToLower(b.Name[i]));
        if (x != y) return x < y;
    }
    return a.Name.size() < b.Name.size();
}

int FindColumn(const std::vector<std::string>& header, const std::string& name)
{
    for (size_t i = 0; i < header.size(); ++i)
        if (EqualsIgnoreCaseAscii(header[i], name)) return int(i);
    return -1;
}

std::string FieldAt(const std::vector<std::string>& fields, int index)
{
    return index >= 0 && size_t(index) < fields.size() ? fields[size_t(index)] : std::string();
}

bool ClusterNodeList::ParseCsv(const std::vector<std::string>& lines)
{
    if (lines.size() < 2) return false;
    Release = TrimNodeField(lines[0]);
    const CsvColumns columns(SplitCsvLine(lines[1]));
    if (columns.node < 0 || columns.address < 0) return false;
    IsCsv = true;
    Nodes.reserve(lines.size() - 2);
    for (size_t i = 2; i < lines.size(); ++i) {
        ClusterNode node;
        if (ReadCsvRow(SplitCsvLine(lines[i]), columns, node)) Nodes.push_back(std::move(node));
    }
    return true;
}

void ClusterNodeList::ParseLegacy(const std::vector<std::string>& lines)
{
    Nodes.reserve(lines.size());
    for (const std::string& line : lines) {
        if (IsComment(line)) {
            const std::string comment = TrimNodeField(line.substr(1));
            if (comment.size() >= kReleaseWordLength &&
                ToLowerAscii(comment.substr(0, kReleaseWordLength)) == kReleaseWord)
                Release = TrimNodeField(comment.substr(kReleaseWordLength));
            continue;
        }
        ClusterNode node;
        if (ParseLegacyNodeLine(SplitCsvLine(line), node)) Nodes.push_back(std::move(node));
    }
}

bool ClusterNodeList::Parse(const std::string& text)
{
    Clear();
    std::vector<std::string> lines, dataLines;
    // A file saved by a Windows editor may begin with the UTF-8 byte order mark; it is no part of the release.
    size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = TrimNodeField(text.substr(start, end - start));
        if (!line.empty()) {
            if (!IsComment(line)) dataLines.push_back(line);
            lines.push_back(std::move(line));
        }
        start = end + 1;
    }
    if (LooksLikeCsv(dataLines)) {
        if (!ParseCsv(dataLines)) {
            Clear();
            return false;
        }
    } else {
        ParseLegacy(lines);
    }
    SortByName(Nodes);
    return true;
}

void ClusterNodeList::Clear()
{
    Nodes.clear();
    IsCsv = false;
    Release.clear();
}

} // namespace kv
