#pragma once
// How many lines one update of a receive pane may show so that it holds the message loop for about
// kBudgetMs: learnt from what inserting and trimming lines cost in the last updates. Costs differ by far
// between systems (a rich edit may walk every following paragraph for each line trimmed from the top) and
// between texts (scripts that are shaped cost more), so they are measured, not assumed.
#include <algorithm>

namespace kv {

class CPaneUpdateBudget {
public:
    // An update's fixed costs (asking where the view stands, the insertion itself, scrolling) reach 15-25 ms in
    // a full pane that has run for a while under Wine, and a line taken from the top 2-3 ms: a smaller budget
    // leaves room for only a few lines an update, and the fixed costs are paid over and over.
    static constexpr double kBudgetMs = 80;
    static constexpr int kMinLines = 4;
    static constexpr int kFirstLines = 64; // an update after a quiet one shows at most this many
    static constexpr int kFirstTrimLines = 16; // and takes at most this many from the top beyond those
    // So the pane takes at most half of the loop, and other work waits at most one update: only the shown page's
    // pane updates (a hidden one holds its lines back).
    static constexpr double kRestPerUpdateMs = 1;

    // Lines the next update may show into a control of at most maxLines lines, which takes room more
    // before each new line trims an old one.
    int LinesPerUpdate(int room, int maxLines) const;
    // Lines that go in within the given time, however little is left of an update.
    int LinesWithin(double ms) const;
    // Lines an update may take from the top of a full control beyond those it shows (after the limit was
    // lowered, or a hidden page's lines waited): what fits in the time left, and a few in any case.
    int LinesToTrim(double msLeft = kBudgetMs) const
    {
        return std::min(kMinLines + int(std::max(0.0, msLeft) / trimMsPerLine_), std::max(kFirstTrimLines, 2 * lastTrimmed_));
    }

    // The lines trimmed in an update, then the whole update (trimming, scrolling and the rest included), of
    // which otherMs went to other work than these lines.
    void RecordTrim(int lines, double ms);
    void RecordUpdate(int linesInserted, double ms, double otherMs = 0);
    // What taking lines from the top, or putting them in, costs as measured so far.
    double MsToTrim(int lines) const { return lines * trimMsPerLine_; }
    double MsToInsert(int lines) const { return lines * insertMsPerLine_; }
    // How long the pane should leave the loop to others after its last update.
    double RestAfterUpdateMs() const { return kRestPerUpdateMs * lastUpdateMs_; }

private:
    // A first guess that is wrong costs at most one doubling.
    int MostLines() const { return std::max(kFirstLines, 2 * lastInserted_); }

    double insertMsPerLine_ = 0.05;
    double trimMsPerLine_ = 0.5;
    int lastInserted_ = 0;
    int lastTrimmed_ = 0;
    double trimMsOfUpdate_ = 0;
    double lastUpdateMs_ = 0;
};

} // namespace kv
