#pragma once
// What the DX Summit transport asks of its worker thread and what comes back.
#include <cstdint>
#include <string>

namespace kv {

struct DxSummitRequest {
    bool isPost = false;
    std::u16string path;    // with its query
    std::u16string headers; // may be empty
    std::string body;       // may be empty
    std::u16string text;    // shown in the messages of a post
};

struct DxSummitResult {
    unsigned generation = 0; // of the worker that made the request
    bool isPost = false;
    uint32_t error = 0;      // Windows or WinINet error code; 0 = none
    uint32_t status = 0;     // HTTP status; 0 when none was read
    std::string body;
    uint64_t bytesReceived = 0;
    uint64_t bytesSent = 0;
    std::u16string text;     // copied from the request
};

} // namespace kv
