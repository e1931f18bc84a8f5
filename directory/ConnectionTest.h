#pragma once
// The connection probe behind the cluster chooser's "&Test" button: a thread per probe connects to the
// node with a time limit, collects its greeting without sending anything, and posts the result to the
// chooser, which shows DescribeConnectionTest of it unless its request number moved on meanwhile.
#include <cstdint>
#include <memory>
#include <string>

#include "directory/ConnectionTestVerdict.h"
#include "win/PostedRecord.h"
#include "win/Win32.h"

namespace kv {

constexpr UINT WM_APP_CONNECTION_TEST_RESULT = WM_APP + 0x19; // lParam: ConnectionTestResult

struct ConnectionTestRequest {
    HWND Window = nullptr; // receives the result
    int32_t RequestId = 0;
    std::u16string Host;
    int32_t Port = 23;
};

struct ConnectionTestResult : CPostedRecord {
    int32_t RequestId = 0;
    int32_t Status = TestError;
    int32_t ErrorCode = 0;  // the Windows Sockets error behind a failure, 0 when there is none
    uint32_t ElapsedMs = 0; // from the start of the attempt to the connection (answered only)
    std::u16string Greeting; // answered only; may be empty
};

// Starts the probe's thread, which owns the request from then on; false (the request freed) when it
// cannot start.
bool StartConnectionTest(std::unique_ptr<ConnectionTestRequest> request);

// The worker: argument a ConnectionTestRequest* that it deletes. Returns 0.
unsigned __stdcall ConnectionTestThread(void* argument);

// The probe itself, on the calling thread (Winsock started): what the thread posts.
std::unique_ptr<ConnectionTestResult> RunConnectionTest(const ConnectionTestRequest& request);

inline std::u16string DescribeConnectionTest(const ConnectionTestResult& result)
{
    return DescribeConnectionTest(result.Status, result.ErrorCode, result.ElapsedMs, result.Greeting);
}

} // namespace kv
