#pragma once
// Results handed from a worker thread (or another window) to a window as a heap record in lParam.
// The receiver takes ownership with TakeRecord; PostRecord frees the record itself when the post fails;
// a CWindowBase frees records still queued for it when it is destroyed (see AcceptRecords).
#include <memory>

#include "win/Win32.h"

namespace kv {

struct CPostedRecord {
    virtual ~CPostedRecord() = default;
};

inline bool PostRecord(HWND hwnd, UINT message, WPARAM wParam, std::unique_ptr<CPostedRecord> record)
{
    if (!hwnd || !::PostMessageW(hwnd, message, wParam, reinterpret_cast<LPARAM>(record.get()))) return false;
    record.release(); // now the receiver's
    return true;
}

template <typename T> std::unique_ptr<T> TakeRecord(LPARAM lParam)
{
    return std::unique_ptr<T>(static_cast<T*>(reinterpret_cast<CPostedRecord*>(lParam)));
}

} // namespace kv
