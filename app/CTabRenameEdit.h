#pragma once
// The box that edits a tab's label in place. Enter commits, Escape cancels, losing the focus commits; the
// end is reported once to the parent (the tab strip) as WM_APP_RENAME_DONE.
#include "win/WindowBase.h"

namespace kv {

constexpr UINT WM_APP_RENAME_DONE = WM_APP + 0x4; // wParam: 1 commit, 0 cancel

class CTabRenameEdit : public CWindowBase {
public:
    static constexpr int kMaxChars = 64;

    bool Create(HWND parent, int id, const RECT& rect);
    bool EditEnded() const { return editEnded_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void End(bool commit);

    bool editEnded_ = false;
};

} // namespace kv
