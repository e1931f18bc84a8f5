#include <gtest/gtest.h>

#include "connections/TelnetText.h"
#include "tests/connections/TelnetSessionFakes.h"

using namespace kv;
using namespace kv::test;

namespace {

struct StreamResult {
    std::string raw, replies;
    std::u16string text;
};

// Feeds the stream in the chunks given by the bit mask (bit i set: a chunk ends after byte i).
StreamResult FeedChunked(const std::string& stream, unsigned cuts)
{
    CSessionRig rig;
    rig.Connect(CSessionRig::Endpoint(u""));
    size_t start = 0;
    for (size_t i = 0; i < stream.size(); ++i) {
        if (i + 1 == stream.size() || (cuts >> i) & 1) {
            rig.Receive(std::string_view(stream).substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    rig.session.OnServerClosed();
    return {rig.listener.raw, rig.socket.sent, rig.listener.text};
}

} // namespace

TEST(TelnetSession, AWholeSessionInOrder)
{
    CSessionRig rig;
    rig.session.Connect(CSessionRig::Endpoint(u"N0CALL", u"secret", {u"set/page 0"}), 0, {u"sh/dx"});
    EXPECT_EQ(rig.socket.resolvedHost, u"cluster.example");
    EXPECT_TRUE(rig.timers.Running(CTelnetSession::kConnectTimer));
    EXPECT_EQ(rig.timers.Period(CTelnetSession::kConnectTimer), 20000u);
    EXPECT_TRUE(rig.session.WantsResolverResult(rig.socket.resolvedAttempt));
    rig.socket.open = true;
    rig.session.OnConnectDone(0);
    EXPECT_FALSE(rig.timers.Running(CTelnetSession::kConnectTimer));
    rig.Receive("login: ");
    rig.Receive("Hello N0CALL\r\npassword:\x07");
    rig.Fire(CTelnetLogin::kEndOfLoginTimer);
    EXPECT_EQ(rig.timers.Period(CTelnetLogin::kCommandTimer), 100u); // a delay of 0 paces at 100 ms
    rig.Fire(CTelnetLogin::kCommandTimer);
    rig.Fire(CTelnetLogin::kCommandTimer);
    EXPECT_FALSE(rig.timers.Running(CTelnetLogin::kCommandTimer));
    EXPECT_EQ(rig.session.GetLoginState(), LoginState::Done);
    EXPECT_EQ(rig.listener.calls,
              (Calls{"state 1", "log I 339 Connecting to cluster.example:7300", "state 2",
                     "log I 340 Connected to cluster.example:7300", "raw login: ", "text login: ", "sent N0CALL",
                     "log I 347 Login sent", "raw Hello N0CALL\r\npassword:\x07", "text Hello N0CALL\npassword:\u2022",
                     "sent ********", "log I 348 Password sent", "loggedin", "sent sh/dx", "sent set/page 0"}));
    EXPECT_EQ(rig.TakeSent(), "N0CALL\r\nsecret\r\nsh/dx\r\nset/page 0\r\n");
    EXPECT_EQ(rig.listener.bytesOut, 35u);
    EXPECT_EQ(rig.listener.bytesIn, 31u);
    rig.session.Disconnect();
    EXPECT_EQ(CallsFrom(rig.listener, 15), (Calls{"state 0", "log I 341 Disconnected"}));
}

// Reads split anywhere: the same data bytes, the same answers and, for a stream of one encoding, the same text.
TEST(TelnetSession, EveryChunkingGivesTheSameResult)
{
    const std::string streams[] = {
        "\xFF\xFB\x01\xC3\xA9\xFF\xFA\x01\xFF\xF0\xF0\x9F\x93\xA1\r\n", // UTF-8
        "\xFF\xFD\x18\xE9\xFF\xFF\xFF\xFC\x05\r\n\xFF\xFA\xFF\xF0\x07", // Latin-1
    };
    for (const std::string& stream : streams) {
        const StreamResult whole = FeedChunked(stream, 0);
        EXPECT_FALSE(whole.text.empty());
        for (unsigned cuts = 1; cuts < (1u << (stream.size() - 1)); ++cuts) {
            const StreamResult split = FeedChunked(stream, cuts);
            ASSERT_EQ(split.raw, whole.raw) << "cuts " << cuts;
            ASSERT_EQ(split.replies, whole.replies) << "cuts " << cuts;
            ASSERT_EQ(split.text, whole.text) << "cuts " << cuts;
        }
    }
    EXPECT_EQ(FeedChunked(streams[0], 0).text, u"\u00E9\U0001F4E1\n");
    EXPECT_EQ(FeedChunked(streams[0], 0).replies, "\xFF\xFE\x01");
    EXPECT_EQ(FeedChunked(streams[1], 0).replies, "\xFF\xFC\x18");
    EXPECT_EQ(FeedChunked(streams[1], 0).text, u"\u00E9\u00FF\n\u2022");
}

TEST(TelnetSession, RawBytesComeBeforeTheTextOfTheirChunk)
{
    CSessionRig rig;
    rig.Connect(CSessionRig::Endpoint(u""));
    const size_t before = rig.listener.calls.size();
    rig.Receive("DX de N0TST: \xE2\x82");
    rig.Receive("\xAC\r\n");
    rig.Receive("\xFF\xFB\x03"); // options only: no data, no call
    EXPECT_EQ(CallsFrom(rig.listener, before), (Calls{"raw DX de N0TST: \xE2\x82", "text DX de N0TST: ",
                                                      "raw \xAC\r\n", "text \u20AC\n"}));
    EXPECT_EQ(rig.TakeSent(), "\xFF\xFE\x03");
}

TEST(TelnetSession, AnOrderlyCloseDeliversTheRestFirst)
{
    CSessionRig rig;
    rig.Connect(CSessionRig::Endpoint(u""));
    const size_t before = rig.listener.calls.size();
    rig.Receive("73 de GB7TST \xC3");
    rig.session.OnServerClosed();
    EXPECT_EQ(CallsFrom(rig.listener, before),
              (Calls{"raw 73 de GB7TST \xC3", "text 73 de GB7TST ", "text \u00C3", "state 0",
                     "log I 342 Connection closed by the server"}));
    EXPECT_EQ(rig.socket.closes, 1);
}

TEST(TelnetSession, FailuresAreReportedWithTheirReason)
{
    struct Case {
        int error;
        const char* text;
    } cases[] = {{kWsaConnectionRefused, "log E 344 Unable to connect: connection refused"},
                 {kWsaTimedOut, "log E 344 Unable to connect: timed out"},
                 {kWsaHostUnreachable, "log E 344 Unable to connect: host or network unreachable"},
                 {kWsaNetworkDown, "log E 344 Unable to connect: host or network unreachable"},
                 {kWsaConnectionAborted, "log E 344 Unable to connect: connection reset by the server"},
                 {10040, "log E 344 Unable to connect: network error 10040"}};
    for (const Case& c : cases) {
        CSessionRig rig;
        rig.session.Connect(CSessionRig::Endpoint(), 500, {});
        rig.socket.open = true;
        rig.session.OnConnectDone(c.error);
        EXPECT_EQ(rig.listener.calls.back(), c.text);
        EXPECT_EQ(rig.session.State(), TransportState::Error);
        EXPECT_FALSE(rig.socket.open);
    }
    CSessionRig lost;
    lost.Connect(CSessionRig::Endpoint());
    lost.session.OnReceiveError(kWsaWouldBlock);
    EXPECT_TRUE(lost.session.IsConnected());
    lost.session.OnReceiveError(kWsaConnectionReset);
    EXPECT_EQ(lost.listener.calls.back(), "log E 345 Connection lost: connection reset by the server");
}

TEST(TelnetSession, ResolutionFailuresTimeOutAndStaleResults)
{
    CSessionRig rig;
    rig.session.Connect(CSessionRig::Endpoint(), 500, {});
    const unsigned first = rig.socket.resolvedAttempt;
    rig.session.OnResolveFailed(kWsaHostNotFound);
    EXPECT_EQ(rig.listener.calls.back(), "log E 343 Host name not found: cluster.example");
    EXPECT_FALSE(rig.session.WantsResolverResult(first));
    EXPECT_FALSE(rig.timers.Running(CTelnetSession::kConnectTimer));

    rig.session.Connect(CSessionRig::Endpoint(), 500, {});
    EXPECT_NE(rig.socket.resolvedAttempt, first);
    rig.session.OnResolveFailed(kWsaTryAgain);
    EXPECT_EQ(rig.listener.calls.back(), "log E 362 Host name temporarily not resolved: cluster.example");

    rig.session.Connect(CSessionRig::Endpoint(), 500, {});
    const unsigned third = rig.socket.resolvedAttempt;
    EXPECT_FALSE(rig.session.Connect(CSessionRig::Endpoint(), 500, {})); // already active
    rig.session.OnTimer(CTelnetSession::kConnectTimer);
    EXPECT_EQ(rig.listener.calls.back(), "log E 346 Unable to connect: no answer from the server");
    EXPECT_EQ(rig.session.State(), TransportState::Error);
    EXPECT_FALSE(rig.session.WantsResolverResult(third)); // a late resolver result is dropped

    rig.socket.resolverStarts = false;
    EXPECT_FALSE(rig.session.Connect(CSessionRig::Endpoint(), 500, {}));
    EXPECT_EQ(rig.listener.calls.back(), "log E 344 Unable to connect: network error 10022");
    rig.socket.windowOk = false;
    const size_t calls = rig.listener.calls.size();
    EXPECT_FALSE(rig.session.Connect(CSessionRig::Endpoint(), 500, {}));
    EXPECT_EQ(rig.listener.calls.size(), calls);
}

TEST(TelnetSession, SendingWaitsForTheSocketAndNeedsAConnection)
{
    CSessionRig rig;
    EXPECT_FALSE(rig.session.SendLine(u"sh/dx"));
    rig.Connect(CSessionRig::Endpoint(u""));
    rig.socket.wouldBlock = true;
    EXPECT_TRUE(rig.session.SendLine(u"sh/dx"));
    EXPECT_EQ(rig.TakeSent(), "");
    rig.socket.wouldBlock = false;
    rig.socket.maxSend = 3;
    rig.session.OnWritable();
    EXPECT_EQ(rig.TakeSent(), "sh/dx\r\n");
    EXPECT_EQ(rig.listener.bytesOut, 7u);
    CConnectionSettings changed = CSessionRig::Endpoint(u"other");
    changed.LineEnding = LineEndingCr;
    rig.session.ApplySettings(changed);
    EXPECT_TRUE(rig.session.SendLine(u"\u00FF"));
    EXPECT_EQ(rig.TakeSent(), "\xFF\xFF\r");
}

// A node that repeats its option requests and never reads: each refusal waits to be sent once.
TEST(TelnetSession, RepeatedRequestsOfANodeThatDoesNotReadQueueOneRefusalEach)
{
    CSessionRig rig;
    rig.Connect(CSessionRig::Endpoint(u""));
    rig.socket.wouldBlock = true;
    std::string requests;
    for (int i = 0; i < 1000; ++i) requests += "\xFF\xFD\x18\xFF\xFB\x01";
    for (int i = 0; i < 256; ++i) rig.Receive(requests); // 1.5 MB
    rig.Receive("DX de N0TST: 14025.0 K1ABC\r\n");
    EXPECT_EQ(rig.listener.text, u"DX de N0TST: 14025.0 K1ABC\n");
    EXPECT_TRUE(rig.session.SendLine(u"sh/dx"));

    rig.socket.wouldBlock = false;
    rig.session.OnWritable();
    EXPECT_EQ(rig.TakeSent(), "\xFF\xFC\x18\xFF\xFE\x01" "sh/dx\r\n");
    rig.Receive("\xFF\xFD\x18"); // all went out: a new request is answered again
    EXPECT_EQ(rig.TakeSent(), "\xFF\xFC\x18");
}

// An answer that went out while a line still waits behind it: a repeated request is answered again, after
// that line, never inside it.
TEST(TelnetSession, ARequestIsAnsweredAgainOnceItsAnswerIsOutThoughALineWaits)
{
    CSessionRig rig;
    rig.Connect(CSessionRig::Endpoint(u""));
    rig.socket.wouldBlock = true;
    rig.Receive("\xFF\xFD\x18");
    EXPECT_TRUE(rig.session.SendLine(u"sh/dx 5"));
    rig.socket.wouldBlock = false;
    rig.socket.room = 5;
    rig.session.OnWritable();
    EXPECT_EQ(rig.TakeSent(), "\xFF\xFC\x18" "sh");

    rig.Receive("\xFF\xFD\x18");
    rig.socket.room = size_t(-1);
    rig.session.OnWritable();
    EXPECT_EQ(rig.TakeSent(), "/dx 5\r\n" "\xFF\xFC\x18");
}

// A send that fails inside a handler closes the connection; the handler stops there.
TEST(TelnetSession, NothingHappensOnADeadConnection)
{
    {   // the refusal of an option fails: the chunk's data is not delivered
        CSessionRig rig;
        rig.Connect(CSessionRig::Endpoint());
        const size_t before = rig.listener.calls.size();
        rig.socket.failSends = 1;
        rig.Receive("\xFF\xFD\x01login: ");
        EXPECT_EQ(CallsFrom(rig.listener, before),
                  (Calls{"state 3", "log E 345 Connection lost: connection reset by the server"}));
        EXPECT_EQ(rig.session.GetLoginState(), LoginState::Done);
    }
    {   // the login fails to go out: no echo, no message, no login state revived, no end-of-login timer
        CSessionRig rig;
        rig.Connect(CSessionRig::Endpoint(u"N0CALL"));
        rig.socket.failSends = 1;
        rig.Receive("login: ");
        EXPECT_EQ(rig.listener.calls.back(), "log E 345 Connection lost: connection reset by the server");
        EXPECT_EQ(rig.session.GetLoginState(), LoginState::Done);
        EXPECT_TRUE(rig.timers.running.empty());
    }
    {   // a queued command fails: not echoed, and SendLine says so
        CSessionRig rig;
        rig.Connect(CSessionRig::Endpoint(u"N0CALL", {}, {u"sh/dx", u"sh/wwv"}));
        rig.Receive("login:");
        rig.Fire(CTelnetLogin::kEndOfLoginTimer);
        rig.socket.failSends = 1;
        rig.Fire(CTelnetLogin::kCommandTimer);
        EXPECT_EQ(rig.listener.calls.back(), "log E 345 Connection lost: connection reset by the server");
        EXPECT_FALSE(rig.timers.Running(CTelnetLogin::kCommandTimer));
        rig.Fire(CTelnetLogin::kCommandTimer);
        EXPECT_EQ(rig.listener.calls.back(), "log E 345 Connection lost: connection reset by the server");
    }
    {
        CSessionRig rig;
        rig.Connect(CSessionRig::Endpoint(u""));
        rig.socket.failSends = 1;
        EXPECT_FALSE(rig.session.SendLine(u"bye"));
        EXPECT_EQ(rig.session.State(), TransportState::Error);
    }
}
