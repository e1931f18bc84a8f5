#include "connections/CGreetingScan.h"

#include "base/Ascii.h"

namespace kv {

namespace {

constexpr size_t kArClusterLineLimit = 256;
constexpr size_t kArClusterLineKeep = 128;

bool StartsSpotLine(const std::u16string& line)
{
    size_t start = 0;
    while (start < line.size() && IsAsciiSpace(line[start])) ++start;
    static constexpr std::u16string_view kDxDe = u"dx de ";
    if (line.size() - start < kDxDe.size()) return false;
    for (size_t i = 0; i < kDxDe.size(); ++i)
        if (AsciiToLower(line[start + i]) != kDxDe[i]) return false;
    return true;
}

bool IsArClusterFamily(ClusterSoftwareId id) { return id == ARCluster || id == ARCluster4 || id == ARCluster6; }

} // namespace

void CGreetingScan::Restart()
{
    linesLeft_ = kGreetingLines;
    line_.clear();
    refining_ = false;
    arClusterLine_.clear();
}

void CGreetingScan::Stop()
{
    linesLeft_ = 0;
    refining_ = false;
}

std::optional<ClusterSoftwareId> CGreetingScan::ScanGreeting(const std::u16string& text, ClusterSoftwareId current)
{
    for (char16_t c : text) {
        if (linesLeft_ <= 0) return std::nullopt;
        if (c == u'\n') {
            if (auto id = EndLine(current)) return id;
        } else if (line_.size() < kMaxLineLength) {
            line_ += c;
        }
    }
    if (linesLeft_ > 0) {
        // An unfinished line is often the node's prompt, which names the software too.
        const ClusterSoftwareId id = IdentifyClusterSoftware(line_);
        if (id != Unknown) return Found(id, current);
    }
    return std::nullopt;
}

std::optional<ClusterSoftwareId> CGreetingScan::EndLine(ClusterSoftwareId current)
{
    const std::u16string line = std::move(line_);
    line_.clear();
    if (StartsSpotLine(line)) {
        // Spots already flow: the greeting is over.
        linesLeft_ = 0;
        return Unknown;
    }
    const ClusterSoftwareId id = IdentifyClusterSoftware(line);
    if (id != Unknown) return Found(id, current);
    if (--linesLeft_ == 0) return Unknown;
    return std::nullopt;
}

std::optional<ClusterSoftwareId> CGreetingScan::Found(ClusterSoftwareId id, ClusterSoftwareId current)
{
    linesLeft_ = 0;
    line_.clear();
    if (id == ARCluster) {
        refining_ = true;
        arClusterLine_.clear();
        // A reconnection to the same node keeps the version it told before.
        if (IsArClusterFamily(current)) return std::nullopt;
    }
    return id;
}

std::optional<ClusterSoftwareId> CGreetingScan::RefineArCluster(const std::u16string& text)
{
    if (!refining_) return std::nullopt;
    for (char16_t c : text) {
        if (c == u'\n') {
            if (auto id = TryArClusterLine()) return id;
            arClusterLine_.clear();
            continue;
        }
        arClusterLine_ += c;
        if (arClusterLine_.size() > kArClusterLineLimit)
            arClusterLine_.erase(0, arClusterLine_.size() - kArClusterLineKeep);
    }
    return TryArClusterLine();
}

std::optional<ClusterSoftwareId> CGreetingScan::TryArClusterLine()
{
    const ClusterSoftwareId id = RefineArClusterVersion(ARCluster, arClusterLine_);
    if (id == ARCluster) return std::nullopt;
    refining_ = false;
    arClusterLine_.clear();
    return id;
}

} // namespace kv
