#pragma once
// The link (SysLink) control: the HWND with the link messages as inline calls.
#include "win/Window.h"

#include <commctrl.h>

#include "base/LinkMarkup.h"

namespace kv {

class CLinkCtrl : public CWindow {
public:
    using CWindow::CWindow;

    // Sets markup such as "Website: <a href="x">y</a>": the text with bare <a> tags, then each link's
    // address, which works whatever the control's font (see LinkMarkup.h).
    void SetMarkup(const std::u16string& markup) { SetMarkup(SplitLinkMarkup(markup)); }
    void SetMarkup(const LinkMarkup& parts)
    {
        SetText(parts.Text);
        for (size_t i = 0; i < parts.Urls.size(); ++i) SetItemUrl(int(i), parts.Urls[i]);
    }
    bool SetItemUrl(int index, const std::u16string& url)
    {
        LITEM item{};
        item.mask = LIF_ITEMINDEX | LIF_URL;
        item.iLink = index;
        url.copy(reinterpret_cast<char16_t*>(item.szUrl), L_MAX_URL_LENGTH - 1);
        return SendMessage(LM_SETITEM, 0, LPARAM(&item)) != FALSE;
    }
    // The address of a link, empty when there is no such link.
    std::u16string GetItemUrl(int index) const
    {
        LITEM item{};
        item.mask = LIF_ITEMINDEX | LIF_URL;
        item.iLink = index;
        if (!SendMessage(LM_GETITEM, 0, LPARAM(&item))) return {};
        return U16(item.szUrl);
    }
};

} // namespace kv
