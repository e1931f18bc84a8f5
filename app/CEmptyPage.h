#pragma once
// The page behind the "+" tab: a short hint centred in the pane. It cannot be closed and deletes itself
// when its window is destroyed, so it is always made with new.
#include "win/WindowBase.h"

namespace kv {

class CEmptyPage : public CWindowBase {
public:
    bool Create(HWND parent, int id);
    // The font of the hint (not owned); none gives the system font.
    void SetTextFont(HFONT font) { textFont_ = font; }

protected:
    bool OnPaint() override;
    bool OnClose() override { return true; }
    void OnFinalMessage() override { delete this; }

private:
    HFONT textFont_ = nullptr;
};

} // namespace kv
