#pragma once
// What a receive pane shows of a text: line ends as LF (CR and NUL dropped), every line broken into display
// lines of at most kMaxLineLength characters, and what no source sends shown as U+FFFD: control characters,
// lone surrogates, noncharacters, line and paragraph separators, and a combining mark of a shaped script
// (Arabic, Hebrew, Indic, ...) that does not follow a letter of its script in the same run. Text shaping
// looks before such a mark for its letter (Wine's reads outside the text and crashes), and a line without
// bounds makes every later append cost its whole length. Display only: what is forwarded is not touched.
#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

class CShownTextConverter {
public:
    static constexpr size_t kMaxLineLength = 2048;

    struct Block {
        std::u16string text;
        int newLines = 0; // line ends in the text, the display lines' breaks among them
    };

    // Converts the next piece of the pane's text; a change of style starts a new run of the control.
    Block Convert(std::u16string_view text, int style);
    // Characters of the last display line so far (0: the text ends with a line end).
    size_t LineLength() const { return lineLength_; }

private:
    void Put(Block& block, char32_t c);
    void PutCodeUnits(Block& block, char32_t c);
    void BreakLine(Block& block, bool isMark);
    void EndLine(Block& block);

    size_t lineLength_ = 0;
    int style_ = -1;
    int baseScript_ = 0;                         // shaped script of the last letter of the run, 0 for none
    size_t clusterStart_ = std::u16string::npos; // that letter's place in the block being built
};

} // namespace kv
