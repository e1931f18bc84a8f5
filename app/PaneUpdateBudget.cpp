#include "app/PaneUpdateBudget.h"

#include <algorithm>

namespace kv {
namespace {

constexpr int kUpdatesOfBacklog = 10;
constexpr int kMinSampleLines = 4; // fewer lines measure the update's fixed costs more than the lines
constexpr double kWeightOfNewSample = 0.3;

double Blend(double estimate, double sample) { return estimate + kWeightOfNewSample * (sample - estimate); }

} // namespace

int CPaneUpdateBudget::AffordableLines(int linesShown, int maxLines) const
{
    const double room = std::max(0, maxLines - linesShown);
    double lines = kBudgetMs / insertMsPerLine_;
    if (lines > room) lines = (kBudgetMs + room * trimMsPerLine_) / (insertMsPerLine_ + trimMsPerLine_);
    // Leave room for the notice of skipped lines and the end of a partial line.
    const int most = std::max(kMinLines, maxLines - 2);
    return std::clamp(int(std::min(lines, double(most))), kMinLines, most);
}

int CPaneUpdateBudget::LinesPerUpdate(int linesShown, int maxLines) const
{
    // A first guess that is wrong costs at most one doubling.
    const int grown = std::max(kFirstLines, 2 * lastInserted_);
    return std::min(AffordableLines(linesShown, maxLines), grown);
}

int CPaneUpdateBudget::LinesToKeepWaiting(int linesShown, int maxLines) const
{
    return std::min(kUpdatesOfBacklog * AffordableLines(linesShown, maxLines), std::max(maxLines, kMinLines));
}

void CPaneUpdateBudget::RecordInsert(int lines, double ms)
{
    lastInserted_ = lines;
    if (lines >= kMinSampleLines) insertMsPerLine_ = std::max(Blend(insertMsPerLine_, ms / lines), 1e-4);
}

void CPaneUpdateBudget::RecordTrim(int lines, double ms)
{
    if (lines >= kMinSampleLines) trimMsPerLine_ = std::max(Blend(trimMsPerLine_, ms / lines), 1e-4);
}

} // namespace kv
