#pragma once
// The connection view of the view's tests, in a top-level window of its own, on a temporary settings file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CKestrivaneApp.h"
#include "app/CMainFrame.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"
#include "win/WindowBase.h"

namespace kv::test {

class CViewHostWindow : public CWindowBase {
public:
    bool Create()
    {
        CreateArgs args;
        args.className = u"Kestrivane.Test.ViewHost";
        args.title = u"View";
        args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
        args.x = 20;
        args.y = 20;
        args.cx = 760;
        args.cy = 560;
        return CWindowBase::Create(args);
    }
};

template <class TView> class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.IniPath = dir.File(u"contest.ini");
        app.IsDefaultIni = false;
        app.Settings.Disabled = true; // no logger network in these tests
    }
    void TearDown() override
    {
        if (view.Handle()) view.Destroy();
        if (host.Handle()) host.Destroy();
    }

    void WriteSettings(const std::string& text) { ASSERT_TRUE(WriteFileBytes(app.IniPath, text)); }
    void CreateView()
    {
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(view.Create(host, IDC_FRAME_VIEW));
        const RECT client = host.ClientRect();
        view.Move(0, 0, client.right, client.bottom);
        PumpFor(50);
    }
    std::vector<std::u16string> TabLabels()
    {
        std::vector<std::u16string> labels;
        for (int i = 0; i < view.TabStrip().GetTabsNum(); ++i) labels.push_back(view.TabStrip().GetTabLabel(i));
        return labels;
    }
    std::u16string LogText()
    {
        CReadOnlyRichEdit& edit = view.LogPane().Edit();
        return edit.GetTextRange(0, edit.GetTextLength());
    }
    std::u16string Key(const std::u16string& section, const std::u16string& key)
    {
        return CIniFile(app.IniPath).ReadString(section, key, u"<missing>");
    }

    CTempDir dir;
    CKestrivaneApp app;
    CViewHostWindow host;
    TView view;
};

// The program's main frame with its view, on a temporary settings file; created by the test.
class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.IniPath = dir.File(u"contest.ini");
        app.Settings.Disabled = true; // no logger network in these tests
    }
    void TearDown() override
    {
        if (frame.Handle()) frame.Destroy();
        MSG msg;
        ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE); // the frame's end of the loop
    }

    CTempDir dir;
    CKestrivaneApp app;
    CMainFrame frame;
};

} // namespace kv::test
