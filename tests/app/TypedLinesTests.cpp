// The whole program with real keys: lines typed into a page's send line reach its node whole and in the order
// typed, each line typed in one burst of keys as a fast typist or a keyboard macro sends it, with the node quiet
// and while it streams. Keys that act when they go down (Enter, Up for the last line sent, the shortcuts to select,
// cut and paste) take effect after the characters typed before them.
#include <gtest/gtest.h>

#include <cstdio>
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

    // The program on a node of the scenario, once its page shows the text; then the keyboard in the send line.
    void StartWhenShown(const std::string& scenario, const std::string& params, const std::u16string& text)
    {
        Start(scenario, params);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(PumpUntil([&] { return ReceivePaneShows(text); }, 10000));
        FocusTheSendLine();
    }

    HWND SendLine() const { return Child(ShownPage(frame), kSendEditId); }

    bool ReceivePaneShows(const std::u16string& text) const
    {
        return WindowText(Child(Child(ShownPage(frame), kReceivePaneId), kReceiveEditId)).find(text) !=
               std::u16string::npos;
    }

    // A click into the send line makes it the keyboard's, as a user starts typing.
    void FocusTheSendLine()
    {
        RECT rect{};
        ASSERT_TRUE(::GetWindowRect(SendLine(), &rect));
        const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        PressAndRelease(middle, middle);
        ASSERT_TRUE(PumpUntil([&] { return KeyboardWindow() == SendLine(); }, 5000));
    }

    HWND KeyboardWindow() const
    {
        GUITHREADINFO info{sizeof info};
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(frame, nullptr), &info) ? info.hwndFocus : nullptr;
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
    StartWhenShown("stream", "rate=200 seconds=300", u"CQ TEST");
    TypeTheLines();
    PumpFor(3000);
    ASSERT_EQ(node->Tell("stop").substr(0, 2), "OK");
    ExpectEveryLineWholeAndInOrder();
    CloseAndExpectCleanExit(*program, frame);
}

namespace {

// Keys typed right after one whose handler posts what decides where the next keys go: a plain message loop takes
// what the handler posted before the next key, and so does the program's, whether the node is quiet or streams.
class KeysAfterAPostedActionTest : public TypedLinesTest {
protected:
    HWND JumpButton() const { return Child(Child(ShownPage(frame), kReceivePaneId), kJumpButtonId); }
    HWND SettingsButton() const { return Child(Child(ShownPage(frame), kPageButtonBarId), kSettingsCommandId); }

    // Enter sends what the send line holds (a quiet node answers it), Page Up takes the reader away from the end,
    // and the lines that come meanwhile bring the button "N new lines - jump to end".
    void ReadFurtherUp()
    {
        SendKeys(kEnter + Press(VK_PRIOR));
        ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(JumpButton()) != FALSE; }, 5000));
    }

    // The jump button takes the keyboard as it does from a user who pressed it, slid off and let go.
    void FocusTheJumpButton()
    {
        RECT rect{};
        ASSERT_TRUE(::GetWindowRect(JumpButton(), &rect));
        const int y = (rect.top + rect.bottom) / 2;
        PressAndRelease(POINT{(rect.left + rect.right) / 2, y}, POINT{rect.left - 40, y});
        ASSERT_TRUE(PumpUntil([&] { return KeyboardWindow() == JumpButton(); }, 5000))
            << "the keyboard is in control " << ::GetDlgCtrlID(KeyboardWindow());
    }

    // Space on the jump button, then "kv", in one burst: the button sends the keyboard back to the send line, so
    // "kv" is typed there. The number of times it was.
    int TimesTypedIntoTheSendLineAfterTheJump(int times)
    {
        int typedThere = 0;
        for (int n = 0; n < times; ++n) {
            ReadFurtherUp();
            FocusTheJumpButton();
            if (HasFatalFailure()) break;
            SendKeys(Press(VK_SPACE) + KeysOf("kv"));
            if (PumpUntil([&] { return WindowText(SendLine()) == u"kv"; }, 2000)) ++typedThere;
            // The keys went elsewhere; the jump's own move brings the keyboard back, else a click does.
            else if (!PumpUntil([&] { return KeyboardWindow() == SendLine(); }, 2000))
                FocusTheSendLine();
        }
        return typedThere;
    }

    // The connection's name as the program saved it.
    std::string SavedName() const
    {
        const std::string ini = ReadFileBytes(dir.Path() + u"\\cfg\\Kestrivane.ini");
        const size_t key = ini.find("\nName=");
        if (key == std::string::npos) return {};
        const size_t start = key + 6;
        return ini.substr(start, ini.find_first_of("\r\n", start) - start);
    }

    // F2, a new name, Enter, then "kv", in one burst: the name is the one typed, without the keys after Enter.
    // The number of times it was.
    int TimesRenamedAsTyped(int times)
    {
        int renamed = 0;
        for (int n = 0; n < times; ++n) {
            const std::string before = SavedName(), name = n % 2 ? "abc" : "xyz";
            SendKeys(Press(VK_F2) + KeysOf(name) + kEnter + KeysOf("kv"));
            PumpUntil([&] { return SavedName() != before; }, 3000);
            PumpFor(300); // the keys after Enter come now
            renamed += SavedName() == name;
        }
        return renamed;
    }

    // A click on the page's "Settings..." button, then "kv": the dialog it opens takes the keys in its first
    // field, where the connection's name is selected. The number of times it did. A click that opens nothing was
    // lost on the way (seen beside other tests under Wine), and is made again.
    int TimesTypedIntoTheDialogOfTheButton(int times)
    {
        const auto keyboardInTheFrame = [&] { return ::GetAncestor(KeyboardWindow(), GA_ROOT) == frame; };
        const auto typedInTheDialog = [&] { return !keyboardInTheFrame() && WindowText(KeyboardWindow()) == u"kv"; };
        int clicks = 0, opened = 0, typedThere = 0;
        for (; opened < times && clicks < 2 * times; ++clicks) {
            RECT rect{};
            ::GetWindowRect(SettingsButton(), &rect);
            const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
            PressAndRelease(middle, middle);
            SendKeys(KeysOf("kv"));
            if (!PumpUntil([&] { return !keyboardInTheFrame(); }, 5000)) continue;
            ++opened;
            typedThere += PumpUntil(typedInTheDialog, 1000);
            SendKeys(Press(VK_ESCAPE));
            if (!PumpUntil(keyboardInTheFrame, 5000)) {
                ADD_FAILURE() << "the dialog stays open";
                break;
            }
        }
        EXPECT_EQ(opened, times) << "dialogs opened";
        if (clicks > opened) std::printf("note: %d click(s) on the button opened nothing\n", clicks - opened);
        return typedThere;
    }
};

} // namespace

TEST_F(KeysAfterAPostedActionTest, KeysTypedAfterTheJumpToTheEndOfAQuietPageReachTheSendLine)
{
    StartWhenShown("stream", "rate=100 seconds=1", u"stream end");
    EXPECT_EQ(TimesTypedIntoTheSendLineAfterTheJump(12), 12);
    CloseAndExpectCleanExit(*program, frame);
}

TEST_F(KeysAfterAPostedActionTest, KeysTypedAfterTheJumpToTheEndOfAStreamingPageReachTheSendLine)
{
    StartWhenShown("stream", "rate=200 seconds=300", u"CQ TEST");
    EXPECT_EQ(TimesTypedIntoTheSendLineAfterTheJump(12), 12);
    CloseAndExpectCleanExit(*program, frame);
}

TEST_F(KeysAfterAPostedActionTest, KeysTypedAfterTheEndOfATabRenameStayOutOfTheName)
{
    Start("contest", "");
    FocusTheSendLine();
    EXPECT_EQ(TimesRenamedAsTyped(6), 6);
    CloseAndExpectCleanExit(*program, frame);
}

TEST_F(KeysAfterAPostedActionTest, KeysTypedAfterAClickOnAButtonOfTheBarGoToTheDialogItOpens)
{
    Start("contest", "");
    FocusTheSendLine();
    EXPECT_EQ(TimesTypedIntoTheDialogOfTheButton(6), 6);
    CloseAndExpectCleanExit(*program, frame);
}
