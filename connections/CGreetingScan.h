#pragma once
// Recognition of the cluster software from the first received lines of a connection, and the second stage
// that tells AR-Cluster's version from its later lines.
#include <optional>
#include <string>

#include "connections/ClusterSoftware.h"

namespace kv {

class CGreetingScan {
public:
    static constexpr int kGreetingLines = 100;
    static constexpr size_t kMaxLineLength = 256;

    // A new connection: the first lines are examined again, the AR-Cluster stage stops.
    void Restart();
    // The connection ended: nothing more is examined.
    void Stop();

    // The id to set (Unknown when the scan ended without a match), or nothing when the text decided nothing.
    std::optional<ClusterSoftwareId> ScanGreeting(const std::u16string& text, ClusterSoftwareId current);
    // The AR-Cluster version, once a line tells it.
    std::optional<ClusterSoftwareId> RefineArCluster(const std::u16string& text);

    int LinesLeft() const { return linesLeft_; }
    bool RefiningArCluster() const { return refining_; }

private:
    std::optional<ClusterSoftwareId> EndLine(ClusterSoftwareId current);
    std::optional<ClusterSoftwareId> Found(ClusterSoftwareId id, ClusterSoftwareId current);
    std::optional<ClusterSoftwareId> TryArClusterLine();

    int linesLeft_ = 0;
    std::u16string line_;
    bool refining_ = false;
    std::u16string arClusterLine_;
};

} // namespace kv
