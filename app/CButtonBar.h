#pragma once
// A bar of buttons made from a dialog template. Its buttons post their command ids to the main window,
// exactly as the menu items of the same commands, and are enabled as those are; one control may follow
// the bar's right edge, either widening with it or moving with it.
#include <functional>
#include <optional>

#include "win/DialogBase.h"

namespace kv {

class CButtonBar : public CDialogBase {
public:
    // Whether a command is enabled; nothing when no one handles it (its control is then left enabled).
    using CommandStateQuery = std::function<std::optional<bool>(int commandId)>;

    CButtonBar(int stretchControlId = 0, bool stretchControlWidens = false)
        : stretchControlId_(stretchControlId), stretchControlWidens_(stretchControlWidens)
    {
    }

    // The bar's sizes as created, at BarDpi().
    int BarWidth() const { return barWidth_; }
    int BarHeight() const { return barHeight_; }
    int RightMargin() const { return rightMargin_; }
    int BarDpi() const { return barDpi_; }
    void ScaleToDpi(int dpi);

    // Enables each control as the main window's command routing would enable its command; the main
    // window calls it while idle.
    void UpdateCommandUi(const CommandStateQuery& query);

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;

private:
    HWND MainWindow() const { return ::GetAncestor(hwnd_, GA_ROOT); }
    bool StretchControlRect(RECT& rect) const;

    int stretchControlId_;
    bool stretchControlWidens_;
    int barWidth_ = 0;
    int barHeight_ = 0;
    int rightMargin_ = 0;
    int barDpi_ = 0;
};

} // namespace kv
