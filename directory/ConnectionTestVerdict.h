#pragma once
// What the connection probe found, put into words for the cluster chooser's result line, and the parts of
// the probe that need no socket: the Telnet-free greeting and the time limits of collecting it.
#include <cstdint>
#include <string>

namespace kv {

enum ConnectionTestStatus : int32_t {
    TestAnswered = 0,
    TestNoAnswer = 1, // no connection within the time limit
    TestRefused = 2,
    TestHostNotFound = 3,
    TestError = 4,
};

// The limit of the connection attempt, shown in the "no answer" text.
constexpr unsigned kConnectionTestConnectSeconds = 5;

// The greeting without its Telnet commands, decoded as UTF-8 when valid, else as Latin-1.
std::u16string DecodeGreeting(const std::string& bytes);

// The status of a failed connection attempt from its Windows Sockets error code.
ConnectionTestStatus StatusOfConnectError(int code);
// The status of a failed name resolution from the resolver's error code.
ConnectionTestStatus StatusOfResolveError(int code);

// "Testing %s:%d...", shown while the probe runs.
std::u16string DescribeConnectionTestStart(const std::u16string& host, int port);
// The result line: the answer time and the cluster software the greeting names, or why there was no answer.
std::u16string DescribeConnectionTest(int32_t status, int32_t errorCode, uint32_t elapsedMs,
                                      const std::u16string& greeting);

// The time limits of collecting a greeting: 3 s after the connection at the latest, 1 s after the node
// fell silent, or once 4096 bytes have come.
class CGreetingCollector {
public:
    static constexpr uint64_t kTotalMs = 3000;
    static constexpr uint64_t kSilenceMs = 1000;
    static constexpr size_t kMaxBytes = 4096;
    static constexpr size_t kReadPiece = 1024;

    explicit CGreetingCollector(uint64_t connectedAtMs) : deadline_(connectedAtMs + kTotalMs) {}

    // How long to wait for more bytes at this time; 0 when the collection is over.
    uint64_t WaitMs(uint64_t nowMs) const;
    void Add(const char* data, size_t size) { bytes_.append(data, size); }
    const std::string& Bytes() const { return bytes_; }

private:
    uint64_t deadline_;
    std::string bytes_;
};

} // namespace kv
