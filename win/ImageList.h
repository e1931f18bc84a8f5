#pragma once
// A common-controls image list handle that destroys its list; nothing more.
#include "win/Win32.h"

#include <commctrl.h>

namespace kv {

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { Destroy(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST Handle() const { return list_; }
    operator HIMAGELIST() const { return list_; }
    bool Create(int cx, int cy, UINT flags, int initial, int grow)
    {
        Destroy();
        list_ = ::ImageList_Create(cx, cy, flags, initial, grow);
        return list_ != nullptr;
    }
    bool Destroy()
    {
        HIMAGELIST l = list_;
        list_ = nullptr;
        return l && ::ImageList_Destroy(l);
    }
    // The index of the new image, -1 on failure.
    int AddIcon(HICON icon) { return ::ImageList_ReplaceIcon(list_, -1, icon); }
    int Count() const { return list_ ? ::ImageList_GetImageCount(list_) : 0; }
    // A copy of one image as an icon; the caller destroys it.
    HICON GetIcon(int index, UINT flags = ILD_NORMAL) const { return ::ImageList_GetIcon(list_, index, flags); }
    bool GetIconSize(int& cx, int& cy) const { return ::ImageList_GetIconSize(list_, &cx, &cy) != FALSE; }
    bool Draw(int index, HDC dc, int x, int y, UINT style) const
    {
        return ::ImageList_Draw(list_, index, dc, x, y, style) != FALSE;
    }

private:
    HIMAGELIST list_ = nullptr;
};

} // namespace kv
