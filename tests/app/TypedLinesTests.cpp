// The whole program with real keys: lines typed into a page's send line reach its node whole and in the order
// typed, each line typed in one burst of keys as a fast typist or a keyboard macro sends it, with the node quiet
// and while it streams. Keys that act when they go down (Enter, Up for the last line sent, the shortcuts to select,
// cut and paste) take effect after the characters typed before them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Format.h"
#include "base/Utf.h"
#include "tests/app/EndToEndSupport.h"
#include "tests/app/ProgramTestHost.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;
using namespace kv::test;

namespace {

using Keys = std::vector<std::pair<WORD, bool>>;

Keys Press(WORD key) { return {{key, true}, {key, false}}; }

// The keys of a text of lower-case letters, digits and blanks.
Keys KeysOf(const std::string& text)
{
    Keys keys;
    for (const char c : text) {
        const WORD key = c == ' ' ? VK_SPACE : WORD(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        for (const auto& k : Press(key)) keys.push_back(k);
    }
    return keys;
}

Keys operator+(Keys a, const Keys& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Keys kEnter = Press(VK_RETURN);
Keys Ctrl(WORD key) { return {{VK_CONTROL, true}, {key, true}, {key, false}, {VK_CONTROL, false}}; }

class TypedLinesTest : public ::testing::Test {
protected:
    void Start(const std::string& scenario, const std::string& params)
    {
        node = std::make_unique<CTestPeer>("cluster", scenario, params);
        for (const CTestPeer* peer : {&station, node.get()}) ASSERT_TRUE(peer->Ok()) << peer->Error();
        ASSERT_TRUE(WriteDataFolderSettings(
            dir.Path(), FormatText("[General]\r\nConfigVersion=2\r\nFontFace=Consolas\r\nConnectAllOnStartup=1\r\n"
                                   "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=%d\r\n"
                                   "[Connections]\r\nOrder=1\r\nActive=1\r\nNextId=2\r\n",
                                   int(station.Port())) +
                            TelnetSection(1, "Typed", node->Port(), "")));
        program = std::make_unique<CProgram>(u"-a \"" + dir.Path() + u"\"");
        ASSERT_TRUE(program->Started());
        frame = program->FindWindowOfClass(kFrameClass, 15000);
        ASSERT_NE(frame, nullptr);
        // The login line, then the end of the login (2 quiet seconds): typed lines come after it.
        ASSERT_TRUE(PumpUntil([&] { return !EventsOf(node->Log(), "line").empty(); }, 15000)) << Describe(*node);
        PumpFor(2500);
    }

    HWND SendLine() const { return Child(ShownPage(frame), kSendEditId); }

    // A click into the send line makes it the keyboard's, as a user starts typing.
    void FocusTheSendLine()
    {
        RECT rect{};
        ASSERT_TRUE(::GetWindowRect(SendLine(), &rect));
        ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
        const DWORD thread = ::GetWindowThreadProcessId(frame, nullptr);
        ASSERT_TRUE(PumpUntil(
            [&] {
                GUITHREADINFO info{sizeof info};
                return ::GetGUIThreadInfo(thread, &info) && info.hwndFocus == SendLine();
            },
            5000));
    }

    // Lines typed as a user does who knows what he wants: each in one burst, no waiting between them.
    void TypeTheLines()
    {
        for (const Keys& burst :
             {KeysOf("abc def 1") + kEnter, KeysOf("kv test 22") + kEnter, KeysOf("kv three 3") + kEnter,
              KeysOf("xyz") + kEnter + Press(VK_UP) + kEnter,
              KeysOf("14025 dl1abc") + Ctrl('A') + Ctrl('X') + KeysOf("dx ") + Ctrl('V') + kEnter})
            SendKeys(burst);
    }

    // The lines the node received after the login line, without their line ends.
    std::vector<std::string> TypedLinesReceived() const
    {
        std::vector<std::string> lines;
        const std::vector<PeerEvent> log = node->Log(); // the events point into it
        const auto events = EventsOf(log, "line");
        for (size_t i = 1; i < events.size(); ++i) {
            std::string line = events[i]->data;
            while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    void ExpectEveryLineWholeAndInOrder()
    {
        const std::vector<std::string> expected = {"abc def 1", "kv test 22", "kv three 3", "xyz", "xyz",
                                                   "dx 14025 dl1abc"};
        PumpUntil([&] { return TypedLinesReceived().size() >= expected.size(); }, 15000);
        PumpFor(500); // a line too many would come now
        EXPECT_EQ(TypedLinesReceived(), expected) << Describe(*node);
    }

    CTestPeer station{"station", "listen"};
    std::unique_ptr<CTestPeer> node;
    test::CTempDir dir;
    std::unique_ptr<CProgram> program;
    HWND frame = nullptr;
};

} // namespace

TEST_F(TypedLinesTest, LinesTypedInBurstsReachAQuietNodeWholeAndInOrder)
{
    Start("contest", "");
    FocusTheSendLine();
    TypeTheLines();
    ExpectEveryLineWholeAndInOrder();
    CloseAndExpectCleanExit(*program, frame);
}

// The node streams spots while the lines are typed (the window's loop gives input its turn among the socket
// messages); it reads what it was sent once told to stop.
TEST_F(TypedLinesTest, LinesTypedInBurstsReachAStreamingNodeWholeAndInOrder)
{
    Start("stream", "rate=200 seconds=300");
    ASSERT_TRUE(PumpUntil([&] { return WindowText(Child(Child(ShownPage(frame), kReceivePaneId), kReceiveEditId))
                                           .find(u"CQ TEST") != std::u16string::npos; },
                          10000));
    FocusTheSendLine();
    TypeTheLines();
    PumpFor(3000);
    ASSERT_EQ(node->Tell("stop").substr(0, 2), "OK");
    ExpectEveryLineWholeAndInOrder();
    CloseAndExpectCleanExit(*program, frame);
}
