#include <gtest/gtest.h>

#include <thread>

#include "tests/support/WinTestSupport.h"
#include "win/MessageOnlyWindow.h"
#include "win/PostedRecord.h"

using namespace kv;

namespace {

constexpr UINT kResultMessage = WM_APP + 0x40;
int g_alive = 0;

struct CountedRecord : CPostedRecord {
    explicit CountedRecord(int v) : value(v) { ++g_alive; }
    ~CountedRecord() override { --g_alive; }
    int value;
};

} // namespace

TEST(PostedRecord, ReceiverTakesWhatAWorkerThreadPosted)
{
    g_alive = 0;
    int received = 0;
    CMessageOnlyWindow window;
    ASSERT_TRUE(window.Create([&](UINT msg, WPARAM, LPARAM l, LRESULT&) {
        if (msg != kResultMessage) return false;
        received += TakeRecord<CountedRecord>(l)->value;
        return true;
    }));
    window.AcceptRecords(kResultMessage);
    HWND target = window;
    std::thread worker([target] {
        for (int i = 1; i <= 10; ++i) PostRecord(target, kResultMessage, 0, std::make_unique<CountedRecord>(i));
    });
    worker.join();
    EXPECT_TRUE(test::PumpUntil([&] { return received == 55; }, 5000));
    EXPECT_EQ(g_alive, 0);
}

TEST(PostedRecord, AFailedPostFreesTheRecord)
{
    g_alive = 0;
    EXPECT_FALSE(PostRecord(nullptr, kResultMessage, 0, std::make_unique<CountedRecord>(1)));
    CMessageOnlyWindow window;
    ASSERT_TRUE(window.Create(nullptr));
    HWND gone = window;
    window.Destroy();
    EXPECT_FALSE(PostRecord(gone, kResultMessage, 0, std::make_unique<CountedRecord>(2)));
    EXPECT_EQ(g_alive, 0);
}

TEST(PostedRecord, RecordsQueuedForADestroyedWindowAreFreed)
{
    g_alive = 0;
    {
        CMessageOnlyWindow window;
        ASSERT_TRUE(window.Create([](UINT, WPARAM, LPARAM, LRESULT&) { return false; }));
        window.AcceptRecords(kResultMessage);
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(PostRecord(window, kResultMessage, 0, std::make_unique<CountedRecord>(i)));
        EXPECT_EQ(g_alive, 5);
    } // destroyed before any message was dispatched
    EXPECT_EQ(g_alive, 0);
}

TEST(PostedRecord, FreeingQueuedRecordsKeepsTheLoopsQuitMessage)
{
    g_alive = 0;
    {
        CMessageOnlyWindow window;
        ASSERT_TRUE(window.Create([](UINT, WPARAM, LPARAM, LRESULT&) { return false; }));
        window.AcceptRecords(kResultMessage);
        ASSERT_TRUE(PostRecord(window, kResultMessage, 0, std::make_unique<CountedRecord>(1)));
        ::PostQuitMessage(5); // the main window ended the loop, then its children go
    }
    EXPECT_EQ(g_alive, 0);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST(MessageOnlyWindow, TimersArriveAtTheHandler)
{
    int ticks = 0;
    CMessageOnlyWindow window;
    ASSERT_TRUE(window.Create([&](UINT msg, WPARAM id, LPARAM, LRESULT&) {
        if (msg == WM_TIMER && id == 7) ++ticks;
        return msg == WM_TIMER;
    }));
    ASSERT_TRUE(window.SetTimer(7, 10));
    EXPECT_TRUE(test::PumpUntil([&] { return ticks >= 3; }, 3000));
    window.KillTimer(7);
}
