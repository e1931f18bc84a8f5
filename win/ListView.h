#pragma once
// The list-view control: the HWND with the list-view messages as inline calls.
#include "win/Window.h"

#include <commctrl.h>

namespace kv {

class CListViewCtrl : public CWindow {
public:
    using CWindow::CWindow;

    DWORD SetExtendedStyle(DWORD style)
    {
        return DWORD(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style));
    }
    HIMAGELIST SetImageList(HIMAGELIST list, int kind)
    {
        return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, kind, LPARAM(list)));
    }
    int InsertColumn(int index, const std::u16string& text, int width, int format = LVCFMT_LEFT)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = format;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(W(text));
        column.iSubItem = index;
        return int(SendMessage(LVM_INSERTCOLUMNW, index, LPARAM(&column)));
    }
    int GetColumnWidth(int index) const { return int(SendMessage(LVM_GETCOLUMNWIDTH, index)); }
    // The new row's index, -1 on failure; image -1 gives a row without an image.
    int InsertItem(int index, const std::u16string& text, int image = -1)
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
        item.iItem = index;
        item.iImage = image;
        item.pszText = const_cast<wchar_t*>(W(text));
        return int(SendMessage(LVM_INSERTITEMW, 0, LPARAM(&item)));
    }
    bool SetItemText(int index, int subItem, const std::u16string& text)
    {
        LVITEMW item{};
        item.iSubItem = subItem;
        item.pszText = const_cast<wchar_t*>(W(text));
        return SendMessage(LVM_SETITEMTEXTW, index, LPARAM(&item)) != 0;
    }
    std::u16string GetItemText(int index, int subItem) const
    {
        wchar_t buffer[512] = {};
        LVITEMW item{};
        item.iSubItem = subItem;
        item.pszText = buffer;
        item.cchTextMax = 512;
        const auto n = size_t(SendMessage(LVM_GETITEMTEXTW, index, LPARAM(&item)));
        return U16(buffer, n);
    }
    int GetItemImage(int index) const
    {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = index;
        return SendMessage(LVM_GETITEMW, 0, LPARAM(&item)) ? item.iImage : -1;
    }
    int GetItemCount() const { return int(SendMessage(LVM_GETITEMCOUNT)); }
    bool DeleteAllItems() { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    bool SetItemState(int index, UINT state, UINT mask)
    {
        LVITEMW item{};
        item.state = state;
        item.stateMask = mask;
        return SendMessage(LVM_SETITEMSTATE, index, LPARAM(&item)) != 0;
    }
    // The first row at or after start (-1: from the top) with the flags (LVNI_SELECTED, say), or -1.
    int GetNextItem(int start, UINT flags) const { return int(SendMessage(LVM_GETNEXTITEM, start, flags)); }
    bool EnsureVisible(int index, bool partialOk) { return SendMessage(LVM_ENSUREVISIBLE, index, partialOk) != 0; }
    bool GetItemRect(int index, RECT& rect, int code) const
    {
        rect.left = code;
        return SendMessage(LVM_GETITEMRECT, index, LPARAM(&rect)) != 0;
    }
};

} // namespace kv
