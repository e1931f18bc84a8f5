#include "app/PaneUpdateBudget.h"

#include <algorithm>

namespace kv {
namespace {

constexpr int kMinSampleLines = 4; // fewer lines measure the update's fixed costs more than the lines
constexpr double kWeightOfNewSample = 0.3;

double Blend(double estimate, double sample) { return estimate + kWeightOfNewSample * (sample - estimate); }

} // namespace

int CPaneUpdateBudget::LinesPerUpdate(int room, int maxLines) const
{
    double lines = kBudgetMs / insertMsPerLine_;
    if (lines > room) lines = (kBudgetMs + room * trimMsPerLine_) / (insertMsPerLine_ + trimMsPerLine_);
    // Leave room for the notice of skipped lines and the end of a partial line.
    const int most = std::min(std::max(kMinLines, maxLines - 2), MostLines());
    return std::clamp(int(std::min(lines, double(most))), kMinLines, std::max(kMinLines, most));
}

int CPaneUpdateBudget::LinesWithin(double ms) const
{
    return std::clamp(int(std::min(ms / insertMsPerLine_, double(MostLines()))), kMinLines, MostLines());
}

void CPaneUpdateBudget::RecordTrim(int lines, double ms)
{
    trimMsOfUpdate_ = ms;
    lastTrimmed_ = lines;
    if (lines >= kMinSampleLines) trimMsPerLine_ = std::max(Blend(trimMsPerLine_, ms / lines), 1e-4);
}

// What is not trimming counts for the lines inserted: the update's fixed costs grow with them too.
void CPaneUpdateBudget::RecordUpdate(int linesInserted, double ms, double otherMs)
{
    lastInserted_ = linesInserted;
    lastUpdateMs_ = ms;
    const double insertMs = std::max(0.0, ms - trimMsOfUpdate_ - otherMs);
    trimMsOfUpdate_ = 0;
    if (linesInserted >= kMinSampleLines)
        insertMsPerLine_ = std::max(Blend(insertMsPerLine_, insertMs / linesInserted), 1e-4);
}

} // namespace kv
