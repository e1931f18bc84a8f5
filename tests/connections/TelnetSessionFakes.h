#pragma once
// Fakes of the platform side of a Telnet session, and a listener that writes down every call in order.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/Platform.h"
#include "base/Utf.h"
#include "connections/CTelnetSession.h"

namespace kv::test {

class CFakeTelnetSocket : public ITelnetSocket {
public:
    bool OpenWindow() override { return windowOk; }
    bool StartResolve(unsigned attempt, const std::u16string& host) override
    {
        resolvedAttempt = attempt;
        resolvedHost = host;
        return resolverStarts;
    }
    bool HasSocket() const override { return open; }
    int Send(std::string_view bytes, int& error) override
    {
        if (failSends > 0 && --failSends == 0) {
            error = kWsaConnectionReset;
            return -1;
        }
        if (wouldBlock || room == 0) {
            error = kWsaWouldBlock;
            return -1;
        }
        const size_t n = std::min({maxSend, room, bytes.size()});
        room -= room == size_t(-1) ? 0 : n;
        sent.append(bytes.substr(0, n));
        return int(n);
    }
    void Close() override
    {
        if (open) ++closes;
        open = false;
    }

    bool windowOk = true;
    bool resolverStarts = true;
    bool open = false;
    bool wouldBlock = false;
    int failSends = 0; // the n-th send from now fails with a reset
    size_t maxSend = size_t(-1);
    size_t room = size_t(-1); // bytes it takes before it would block (unlimited at -1)
    unsigned resolvedAttempt = 0;
    std::u16string resolvedHost;
    std::string sent;
    int closes = 0;
};

class CFakeTimers : public ITimerHost {
public:
    bool StartTimer(unsigned id, unsigned periodMs) override
    {
        running[id] = periodMs;
        return true;
    }
    void StopTimer(unsigned id) override { running.erase(id); }
    bool Running(unsigned id) const { return running.count(id) != 0; }
    unsigned Period(unsigned id) const { return Running(id) ? running.at(id) : 0; }

    std::map<unsigned, unsigned> running;
};

class CFakeClock : public IClock {
public:
    uint64_t TickCount() const override { return now; }
    UtcTime NowUtc() const override { return {}; }
    uint64_t now = 1000;
};

// Every call as one line, e.g. "state 2", "raw abc", "text abc", "log E 345 Connection lost: ...".
class CRecordingListener : public ITransportListener {
public:
    void OnStateChanged(int state) override { calls.push_back("state " + std::to_string(state)); }
    void OnTextReceived(const std::u16string& t) override
    {
        text += t;
        calls.push_back("text " + Utf16ToUtf8(t));
    }
    void OnRawDataReceived(const std::string& bytes) override
    {
        raw += bytes;
        calls.push_back("raw " + bytes);
    }
    void OnInvalidLine(const std::u16string&, const std::u16string&) override { calls.push_back("invalid"); }
    void OnLineSent(const std::u16string& line) override { calls.push_back("sent " + Utf16ToUtf8(line)); }
    void OnLogMessage(bool isError, unsigned id, const std::u16string& t) override
    {
        calls.push_back(std::string("log ") + (isError ? "E " : "I ") + std::to_string(id) + " " + Utf16ToUtf8(t));
        logIds.push_back(id);
    }
    void OnLoggedIn() override { calls.push_back("loggedin"); }
    void OnLinesTakenAgain() override { ++takenAgain; }
    void OnTraffic(unsigned in, unsigned out) override
    {
        bytesIn += in;
        bytesOut += out;
    }

    std::vector<std::string> calls;
    std::vector<unsigned> logIds;
    std::string raw;
    std::u16string text;
    unsigned bytesIn = 0, bytesOut = 0;
    int takenAgain = 0;
};

using Calls = std::vector<std::string>;

// The calls from index `from` on.
inline Calls CallsFrom(const CRecordingListener& l, size_t from)
{
    return Calls(l.calls.begin() + long(from), l.calls.end());
}

// Lines for a node that does not read, one of them beginning with "fill", until only `room` bytes may still wait.
inline void FillLeaving(CTelnetSession& session, size_t room)
{
    const size_t fill = CTelnetSession::kMaxSendBuffer - session.PendingSendBytes() - room;
    session.SendLine(u"fill" + std::u16string(fill - 6, u'x')); // with its CR LF
}

// The lines a node read, those beginning with "fill" left out.
inline std::vector<std::string> NodeLines(const std::string& read)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < read.size();) {
        const size_t end = std::min(read.find('\n', at), read.size() - 1) + 1;
        if (read.compare(at, 4, "fill") != 0) lines.push_back(read.substr(at, end - at));
        at = end;
    }
    return lines;
}

// A session wired to the fakes; Connected() runs it through resolution and connection.
class CSessionRig {
public:
    CSessionRig() : session(&listener, socket, timers, clock) {}

    void Connect(const CConnectionSettings& settings, int delayMs = 500, std::vector<std::u16string> global = {})
    {
        session.Connect(settings, delayMs, global);
        socket.open = true;
        session.OnConnectDone(0);
    }
    static CConnectionSettings Endpoint(std::u16string login = u"N0CALL", std::u16string password = {},
                                        std::vector<std::u16string> commands = {})
    {
        CConnectionSettings e;
        e.Host = u"cluster.example";
        e.Port = 7300;
        e.Login = std::move(login);
        e.Password = std::move(password);
        e.LineEnding = LineEndingCrLf;
        e.Commands = std::move(commands);
        return e;
    }
    void Receive(std::string_view bytes) { session.OnReceived(bytes); }
    // The bytes sent since the last call.
    std::string TakeSent()
    {
        std::string s;
        s.swap(socket.sent);
        return s;
    }
    void Fire(unsigned timer)
    {
        if (timers.Running(timer)) session.OnTimer(timer);
    }
    void FillSendBufferLeaving(size_t room) { FillLeaving(session, room); }

    CRecordingListener listener;
    CFakeTelnetSocket socket;
    CFakeTimers timers;
    CFakeClock clock;
    CTelnetSession session;
};

} // namespace kv::test
