#pragma once
// The collapsible pane at the bottom of the view in which the whole system reports what happens: one line
// per report, stamped with the UTC time and the connection's name, errors in red, at most 1000 lines.
// A click on its header asks the parent (ID_VIEW_LOG_PANE) to show or hide the text.
#include <optional>
#include <string>

#include "app/CReadOnlyRichEdit.h"
#include "win/WindowBase.h"

namespace kv {

class CLogPane : public CWindowBase {
public:
    static constexpr int kEditId = 1003;
    static constexpr int kMaxLines = 1000;

    bool Create(HWND parent, int id);

    void AddLine(bool isError, const std::u16string& connectionName, const std::u16string& text);
    bool TrimLines();
    void SetTextFont(HFONT font);
    void SetHeaderFont(HFONT font, int dpi);
    void UpdateFormatRect();
    void SetCollapsed(bool collapsed);

    CReadOnlyRichEdit& Edit() { return edit_; }
    int LineCount() const { return lineCount_; }
    int HeaderHeight() const { return headerHeight_; }
    bool Collapsed() const { return collapsed_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(const CREATESTRUCTW& cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    bool OnPaint() override;

private:
    bool IsAtEnd() const;
    CReadOnlyRichEdit::ReaderPlace ReaderPlace() const;
    bool TextHasHeight() const;
    // The position just after the first line end, or -1 when the text holds none.
    long EndOfFirstLine() const;
    bool InHeader(POINT clientPoint) const;
    void PaintArrow(HDC dc, const RECT& header) const;
    void AppendLine(const std::u16string& line, bool isError);

    CReadOnlyRichEdit edit_;
    HFONT headerFont_ = nullptr;
    int dpi_ = 96;
    int headerHeight_ = 20; // 14 + 6 at 96 DPI until a header font is given
    int textLineHeight_ = 0;
    bool collapsed_ = false;
    int lineCount_ = 0;
    // Folded, the text has no height and its control takes every reader for one at the end: where he was
    // when the text lost its height, held until it has one again. The control is made without height.
    std::optional<CReadOnlyRichEdit::ReaderPlace> foldedPlace_ = CReadOnlyRichEdit::ReaderPlace{};
};

} // namespace kv
