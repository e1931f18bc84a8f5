#include "app/ShownTextConverter.h"

#include <algorithm>
#include <cstdint>

namespace kv {
namespace {

struct ScriptBlock {
    char32_t first;
    char32_t last;
    int script;
};

struct CodeRange {
    char32_t first;
    char32_t last;
};

#include "app/ScriptMarksTable.inc"

// Combining marks that belong to no script: they take the script of the letter before them.
constexpr CodeRange kSharedMarks[] = {
    {0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F},
};

constexpr char32_t kReplacement = 0xFFFD;

template <typename Range, size_t N>
const Range* FindRange(const Range (&ranges)[N], char32_t c)
{
    auto after = std::upper_bound(std::begin(ranges), std::end(ranges), c,
                                  [](char32_t value, const Range& r) { return value < r.first; });
    if (after == std::begin(ranges)) return nullptr;
    const Range* range = std::prev(after);
    return c <= range->last ? range : nullptr;
}

// No mark and no shaped script stands below the first combining marks: most text is decided at once.
constexpr char32_t kFirstMark = 0x0300;

int ShapedScriptOf(char32_t c)
{
    const ScriptBlock* block = c < kFirstMark ? nullptr : FindRange(kScriptBlocks, c);
    return block ? block->script : 0;
}

bool IsScriptMark(char32_t c) { return c >= kFirstMark && FindRange(kScriptMarks, c) != nullptr; }

bool IsSharedMark(char32_t c) { return c >= kFirstMark && FindRange(kSharedMarks, c) != nullptr; }

// Zero-width joiners sit between a letter and its marks in some scripts.
bool IsJoiner(char32_t c) { return c == 0x200C || c == 0x200D; }

bool IsNeverSent(char32_t c)
{
    if (c < 0x20) return c != u'\t';
    if (c >= 0x7F && c <= 0x9F) return true;
    if (c == 0x2028 || c == 0x2029) return true; // the control would break the line where no LF is
    if (c >= 0xFDD0 && c <= 0xFDEF) return true;
    return (c & 0xFFFE) == 0xFFFE;
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

} // namespace

CShownTextConverter::Block CShownTextConverter::Convert(std::u16string_view text, int style)
{
    Block block;
    block.text.reserve(text.size() + text.size() / kMaxLineLength + 1);
    if (style != style_) baseScript_ = 0; // the control starts a run of its own
    style_ = style;
    clusterStart_ = std::u16string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c == u'\r' || c == 0) continue;
        if (c == u'\n') {
            EndLine(block);
            continue;
        }
        Put(block, IsSurrogate(c) || IsNeverSent(c) ? kReplacement : c);
    }
    return block;
}

void CShownTextConverter::Put(Block& block, char32_t c)
{
    const bool scriptMark = IsScriptMark(c);
    const bool isMark = scriptMark || IsSharedMark(c);
    const size_t units = c > 0xFFFF ? 2 : 1;
    if (lineLength_ + units > kMaxLineLength) BreakLine(block, isMark);
    if (scriptMark && ShapedScriptOf(c) != baseScript_) {
        c = kReplacement;
        baseScript_ = 0;
        clusterStart_ = block.text.size();
    } else if (!isMark && !IsJoiner(c)) {
        baseScript_ = ShapedScriptOf(c);
        clusterStart_ = block.text.size();
    }
    PutCodeUnits(block, c);
}

void CShownTextConverter::PutCodeUnits(Block& block, char32_t c)
{
    if (c > 0xFFFF) {
        block.text.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
        block.text.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        lineLength_ += 2;
    } else {
        block.text.push_back(char16_t(c));
        ++lineLength_;
    }
}

// A full display line. A mark stays with its letter: the break goes before the letter when that letter is in
// this block and does not begin the line.
void CShownTextConverter::BreakLine(Block& block, bool isMark)
{
    const bool clusterInBlock = clusterStart_ != std::u16string::npos;
    if (isMark && clusterInBlock && block.text.size() - clusterStart_ < lineLength_) {
        block.text.insert(block.text.begin() + ptrdiff_t(clusterStart_), u'\n');
        ++block.newLines;
        ++clusterStart_;
        lineLength_ = block.text.size() - clusterStart_;
        return;
    }
    EndLine(block);
}

void CShownTextConverter::EndLine(Block& block)
{
    block.text.push_back(u'\n');
    ++block.newLines;
    lineLength_ = 0;
    baseScript_ = 0;
    clusterStart_ = std::u16string::npos;
}

} // namespace kv
