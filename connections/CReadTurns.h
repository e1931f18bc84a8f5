#pragma once
// Sockets with something to read take turns: a socket's notification only marks it readable, and a slice reads
// the marked ones a portion each, round and round, until none has more or the slice's time is up. The platform
// runs the slices on a turn of their own, so that a flooding socket keeps neither input, paint nor timers
// waiting longer than one slice, and every socket gets its share of the rest.
#include <cstdint>
#include <deque>

#include "base/Platform.h"

namespace kv {

class IReadSource {
public:
    virtual ~IReadSource() = default;
    // Reads one portion; false when nothing more waits (the socket is marked again when more comes).
    virtual bool ReadPortion() = 0;
};

// The platform side of the turns.
class IReadTurnsHost {
public:
    virtual ~IReadTurnsHost() = default;
    // Sources wait: a slice should run soon, after what the user and the windows wait for.
    virtual void WantSlice() = 0;
    // No source waits any more.
    virtual void Rest() = 0;
};

class CReadTurns {
public:
    static constexpr uint64_t kSliceMs = 10;

    CReadTurns(IReadTurnsHost& host, const IClock& clock) : host_(host), clock_(clock) {}
    CReadTurns(const CReadTurns&) = delete;
    CReadTurns& operator=(const CReadTurns&) = delete;

    // A source marked again before its turn keeps its place.
    void MarkReadable(IReadSource& source);
    // A source that closes or goes away: it is not read again until marked again.
    void Forget(IReadSource& source);
    bool IsMarked(const IReadSource& source) const;
    bool AnyMarked() const { return !marked_.empty() || reading_; }

    // Reads the marked sources in turn until none is left or the slice's time is up; at least one portion.
    // A slice asked for while one runs (from a modal loop inside a read) does nothing.
    void RunSlice();

private:
    void ReadOne(IReadSource& source);

    IReadTurnsHost& host_;
    const IClock& clock_;
    std::deque<IReadSource*> marked_; // in the order of their turns
    IReadSource* reading_ = nullptr;  // the source whose portion is being read
    bool readingMarked_ = false;      // marked again meanwhile
    bool readingForgotten_ = false;   // closed or gone meanwhile
    bool inSlice_ = false;
};

} // namespace kv
