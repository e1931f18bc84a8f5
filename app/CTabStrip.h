#pragma once
// A row of tabs drawn by hand, each showing one page window (a child of the strip) in the area below:
// images from an image list, a close button on the active tab, tabs reordered by dragging, and scroll
// buttons when the tabs do not all fit. Subclasses refine the mouse handling through the virtual handlers.
#include <string>
#include <vector>

#include "app/CTabStripLayout.h"
#include "win/Button.h"
#include "win/WindowBase.h"

#include <commctrl.h>

namespace kv {

class CTabStrip : public CWindowBase {
public:
    // Sent to the parent after the active tab changed; wParam: the new index.
    static UINT ActiveTabChangedMessage();

    bool Create(HWND parent, int id, const RECT& rect);

    // The tab's page becomes a child of the strip; image -1 for none. Returns the index, -1 on failure.
    int AddTab(HWND page, const std::u16string& label, int image = -1);
    int InsertTab(HWND page, const std::u16string& label, int index, int image = -1);
    // Removes the tab and destroys its page window.
    bool RemoveTab(int index);
    bool MoveTab(int from, int to);

    int GetTabsNum() const { return int(tabs_.size()); }
    int GetActiveTab() const { return active_; }
    bool SetActiveTab(int index);
    HWND GetTabWnd(int index) const;
    int FindTab(HWND page) const;
    std::u16string GetTabLabel(int index) const;
    bool SetTabLabel(int index, const std::u16string& label);
    int GetTabIcon(int index) const;
    bool SetTabIcon(int index, int image);
    // Not owned; the images of the tabs.
    void SetImageList(HIMAGELIST images);

    void EnableActiveTabCloseButton(bool enable);
    bool IsActiveTabCloseButtonEnabled() const { return closeEnabled_; }
    // The close button of the active tab, in client coordinates; false when it is not shown.
    bool GetCloseButtonRect(RECT& rect) const;
    // A tab's rectangle in client coordinates; false when the tab is scrolled out of sight.
    bool GetTabRect(int index, RECT& rect) const;
    // The area where the pages are shown.
    RECT GetWndArea() const;
    int GetFirstVisibleTab() const { return layout_.FirstVisible(); }
    bool HasScrollButtons() const { return layout_.HasScrollButtons(); }
    HWND ScrollButton(bool right) const { return right ? scrollRight_ : scrollLeft_; }
    // Measures the tabs again and places the pages, the scroll buttons and the tabs.
    void RecalcLayout();

    virtual int GetTabFromPoint(POINT point) const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    bool OnCommand(int id, int code, HWND control) override;

    virtual void OnLButtonDown(POINT point);
    virtual void OnLButtonDblClk(POINT point) {}
    virtual void OnLButtonUp(POINT point);
    virtual void OnMouseMove(POINT point);
    HFONT LabelFont() const;

private:
    struct Tab {
        HWND page;
        std::u16string label;
        int image;
    };
    struct Metrics {
        int dpi, tabHeight, padding, iconSize, iconGap, closeSize, rowLeft, maxLabel;
    };

    Metrics Measure() const;
    int TabWidth(int index, const Metrics& m, HDC dc) const;
    void PlacePages();
    void PlaceScrollButtons(const Metrics& m);
    void DragTo(POINT point);
    void EndMouseTracking();
    void SetCloseHot(bool hot);
    void DrawTab(HDC dc, int index, const Metrics& m) const;
    void DrawCloseButton(HDC dc, const RECT& rect, const Metrics& m) const;
    void DrawScrollButton(const DRAWITEMSTRUCT& item) const;

    std::vector<Tab> tabs_;
    int active_ = -1;
    HIMAGELIST images_ = nullptr;
    HFONT font_ = nullptr;
    bool closeEnabled_ = false;
    CTabStripLayout layout_;
    CButton scrollLeft_;
    CButton scrollRight_;
    // Mouse state: the close button pressed or under the pointer, the tab being dragged.
    bool closePressed_ = false;
    bool closeHot_ = false;
    int dragTab_ = -1;
    bool dragging_ = false;
    POINT pressPoint_{};
};

} // namespace kv
