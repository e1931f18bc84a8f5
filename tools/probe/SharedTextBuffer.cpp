#include "SharedTextBuffer.h"

#include <cstdint>

namespace kvprobe {
namespace {

// MapViewOfFile3 maps a section into another process; it is looked up, as the import libraries lack it.
using MapViewIntoProcess = PVOID(WINAPI*)(HANDLE section, HANDLE process, PVOID base, ULONG64 offset, SIZE_T size,
                                          ULONG allocation, ULONG protection, void* parameters, ULONG count);

void* MapIntoProcess(HANDLE section, DWORD processId, size_t bytes)
{
    static const auto map = reinterpret_cast<MapViewIntoProcess>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernelbase.dll"), "MapViewOfFile3")));
    HANDLE process = map ? ::OpenProcess(PROCESS_VM_OPERATION, FALSE, processId) : nullptr;
    if (!process) return nullptr;
    void* view = map(section, process, nullptr, 0, bytes, 0, PAGE_READWRITE, nullptr, 0);
    ::CloseHandle(process);
    return view;
}

} // namespace

CSharedTextBuffer::~CSharedTextBuffer()
{
    if (local_) ::UnmapViewOfFile(local_);
    if (section_) ::CloseHandle(section_);
}

bool CSharedTextBuffer::MapInto(HWND window)
{
    DWORD process = 0;
    if (!::GetWindowThreadProcessId(window, &process)) return false;
    if (program_ && process == process_) return true;
    const uint64_t bytes = offsetof(Layout, text) + kChars * sizeof(wchar_t);
    if (!section_)
        section_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, DWORD(bytes >> 32),
                                        DWORD(bytes), nullptr);
    if (section_ && !local_) local_ = static_cast<Layout*>(::MapViewOfFile(section_, FILE_MAP_WRITE, 0, 0, bytes));
    if (!local_) return false;
    // A view in another program before stays there: it may still be written to.
    program_ = static_cast<Layout*>(MapIntoProcess(section_, process, size_t(bytes)));
    process_ = program_ ? process : 0;
    return program_ != nullptr;
}

LPARAM CSharedTextBuffer::RangeForProgram(LONG from, LONG to)
{
    // Addresses in the program's view, only handed on.
    local_->range.chrg = CHARRANGE{from, to};
    local_->range.lpstrText = program_->text;
    return reinterpret_cast<LPARAM>(&program_->range);
}

const wchar_t* CSharedTextBuffer::Text() const { return local_->text; }

} // namespace kvprobe
