#pragma once
// How many lines one update of a receive pane may show so that it holds the message loop for about
// kBudgetMs: learnt from what inserting and trimming lines cost in the last updates. Costs differ by far
// between systems (a rich edit may walk every following paragraph for each line trimmed from the top) and
// between texts (scripts that are shaped cost more), so they are measured, not assumed.
namespace kv {

class CPaneUpdateBudget {
public:
    static constexpr double kBudgetMs = 40;
    static constexpr int kMinLines = 4;
    static constexpr int kFirstLines = 64; // an update after a quiet one shows at most this many

    // Lines the next update may show into a control holding linesShown of at most maxLines.
    int LinesPerUpdate(int linesShown, int maxLines) const;
    // Lines that may wait for later updates: about a second's worth, at most a full pane.
    int LinesToKeepWaiting(int linesShown, int maxLines) const;

    void RecordInsert(int lines, double ms);
    void RecordTrim(int lines, double ms);

private:
    int AffordableLines(int linesShown, int maxLines) const;

    double insertMsPerLine_ = 0.05;
    double trimMsPerLine_ = 0.5;
    int lastInserted_ = 0;
};

} // namespace kv
