#include "app/CReceiveTextControl.h"

#include "app/LineStyle.h"
#include "win/WineDetection.h"

namespace kv {
namespace {

CHARFORMAT2W FormatOf(int style)
{
    const LineLook look = LookOfLineStyle(style);
    CHARFORMAT2W format{};
    format.dwMask = CFM_COLOR | CFM_ITALIC | CFM_STRIKEOUT;
    format.dwEffects = (look.italic ? CFE_ITALIC : 0) | (look.strikeOut ? CFE_STRIKEOUT : 0);
    format.crTextColor = look.systemColour ? ::GetSysColor(look.systemColourIndex) : RGB(look.red, look.green, look.blue);
    return format;
}

// Wine's rich edit, measured: text inserted while the undo limit is above 0 makes each later insertion into a
// full pane cost more (tenfold after some thousands of updates, whatever the text), while text deleted with a
// limit of 0 loses some hundreds of bytes. So text goes in with the limit at 0 and leaves with it at 1.
constexpr int kInsertUndoLimit = 0;
int DeleteUndoLimit() { return RunningUnderWine() ? 1 : 0; }

} // namespace

void CReceiveTextControl::BeginUpdate()
{
    edit_.SetRedraw(false);
    edit_.SetReadOnly(false);
}

void CReceiveTextControl::EndUpdate()
{
    edit_.SetReadOnly(true);
    edit_.SetRedraw(true);
    edit_.Invalidate();
}

void CReceiveTextControl::Insert(long position, const std::u16string& text, int style)
{
    edit_.SetUndoLimit(kInsertUndoLimit);
    edit_.SetSel(position, position);
    CHARFORMAT2W format = FormatOf(style);
    edit_.SetSelectionCharFormat(format);
    edit_.ReplaceSel(text);
}

void CReceiveTextControl::RemoveTop(long chars)
{
    edit_.SetUndoLimit(DeleteUndoLimit());
    edit_.SetSel(0, chars);
    edit_.ReplaceSel(u"");
}

IReceiveTextControl::Scroll CReceiveTextControl::ScrollPosition() const
{
    const POINT at = edit_.ScrollPosition();
    return Scroll{at.x, at.y};
}

void CReceiveTextControl::GetSelection(long& start, long& end) const
{
    const CHARRANGE range = edit_.GetSel();
    start = range.cpMin;
    end = range.cpMax;
}

} // namespace kv
