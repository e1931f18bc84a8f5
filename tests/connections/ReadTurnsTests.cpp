#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "connections/CReadTurns.h"
#include "tests/connections/TelnetSessionFakes.h"

using namespace kv;
using namespace kv::test;

namespace {

// The host's calls as letters: W for WantSlice, R for Rest.
class CRecordingHost : public IReadTurnsHost {
public:
    void WantSlice() override { calls += 'W'; }
    void Rest() override { calls += 'R'; }
    std::string calls;
};

// A source with a number of portions waiting; each read takes some milliseconds of the clock and writes its
// name down. What it does besides, during a read, is up to the test.
class CCountedSource : public IReadSource {
public:
    CCountedSource(char name, int portions, std::string& reads, CFakeClock& clock, uint64_t msEach = 1)
        : name_(name), portions_(portions), reads_(reads), clock_(clock), msEach_(msEach)
    {
    }
    bool ReadPortion() override
    {
        reads_ += name_;
        clock_.now += msEach_;
        if (portions_ > 0) --portions_;
        if (duringRead) duringRead();
        return portions_ > 0;
    }
    std::function<void()> duringRead;

private:
    char name_;
    int portions_;
    std::string& reads_;
    CFakeClock& clock_;
    uint64_t msEach_;
};

struct TurnsRig {
    CRecordingHost host;
    CFakeClock clock;
    CReadTurns turns{host, clock};
    std::string reads;
};

} // namespace

// Marked sources read a portion each, round and round; a slice ends when its time is up, and the host is asked
// for another while some have more; once none has, it rests.
TEST(ReadTurns, MarkedSourcesTakeTurnsInSlicesOfBoundedTime)
{
    TurnsRig rig;
    CCountedSource a('a', 30, rig.reads, rig.clock, 2), b('b', 2, rig.reads, rig.clock, 2), c('c', 1, rig.reads, rig.clock, 2);
    rig.turns.MarkReadable(a);
    rig.turns.MarkReadable(b);
    rig.turns.MarkReadable(a); // marked again before its turn: keeps its place
    rig.turns.MarkReadable(c);
    EXPECT_EQ(rig.host.calls, "W") << "asked once, when the first was marked";
    EXPECT_TRUE(rig.turns.IsMarked(b));

    rig.turns.RunSlice();
    EXPECT_EQ(rig.reads, "abcab") << "10 ms of 2 ms reads";
    EXPECT_EQ(rig.host.calls, "WW");
    EXPECT_FALSE(rig.turns.IsMarked(b));
    EXPECT_FALSE(rig.turns.IsMarked(c));

    rig.reads.clear();
    while (rig.turns.AnyMarked()) rig.turns.RunSlice();
    EXPECT_EQ(rig.reads, std::string(28, 'a'));
    EXPECT_EQ(rig.host.calls.back(), 'R');
    EXPECT_EQ(rig.host.calls, "WW" + std::string(5, 'W') + "R") << "the last slice ends with nothing left";
}

// A slice reads one portion even when that alone takes longer than the slice.
TEST(ReadTurns, ASliceReadsAtLeastOnePortion)
{
    TurnsRig rig;
    CCountedSource slow('s', 3, rig.reads, rig.clock, 50), quick('q', 3, rig.reads, rig.clock, 0);
    rig.turns.MarkReadable(slow);
    rig.turns.MarkReadable(quick);
    rig.turns.RunSlice();
    EXPECT_EQ(rig.reads, "s");
    rig.turns.RunSlice();
    EXPECT_EQ(rig.reads, "sqs") << "in turn";
}

// What a read does to the turns (a page closes its connection, a modal loop runs the socket's notifications and
// the timer's slices) leaves them sound: a source closed meanwhile is not read again, one marked again while it
// reads its last portion is read once more, and a slice asked for inside a read does nothing.
TEST(ReadTurns, ReadsThatCloseMarkOrRunSlicesLeaveTheTurnsSound)
{
    TurnsRig rig;
    CCountedSource closing('x', 5, rig.reads, rig.clock), other('o', 5, rig.reads, rig.clock),
        last('l', 1, rig.reads, rig.clock);
    closing.duringRead = [&] {
        rig.turns.Forget(closing);
        rig.turns.Forget(other); // a page that closes two connections at once
    };
    bool markedAgain = false;
    last.duringRead = [&] {
        if (markedAgain) return;
        markedAgain = true;
        rig.turns.MarkReadable(last);
        rig.turns.RunSlice();
    };
    rig.turns.MarkReadable(closing);
    rig.turns.MarkReadable(other);
    rig.turns.MarkReadable(last);
    rig.turns.RunSlice();
    EXPECT_EQ(rig.reads, "xll");
    EXPECT_FALSE(rig.turns.AnyMarked());
    EXPECT_EQ(rig.host.calls, "WR");

    // Forgetting the last marked source outside a slice lets the host rest.
    rig.turns.MarkReadable(other);
    rig.turns.Forget(other);
    EXPECT_EQ(rig.host.calls, "WRWR");
}
