#pragma once
// Memory that the probe and the program both see: a section mapped into each of them. The program's rich edit
// copies the text asked of it there (EM_GETTEXTRANGE) and answers only with its count, so that no answer to the
// probe carries text: under Wine, the answer to another process's WM_GETTEXT travels through the wine server, and
// one of tens of kilobytes can end the program ("wine client error: partial write").
#include <windows.h>
#include <richedit.h>

#include <cstddef>

namespace kvprobe {

class CSharedTextBuffer {
public:
    // Characters it holds, the terminating zero included: more than a pane keeps at its largest.
    static constexpr size_t kChars = size_t(16) << 20;

    CSharedTextBuffer() = default;
    CSharedTextBuffer(const CSharedTextBuffer&) = delete;
    CSharedTextBuffer& operator=(const CSharedTextBuffer&) = delete;
    // The program keeps its view: an answer that came too late may still be written there.
    ~CSharedTextBuffer();

    // Mapped into the process of the window (once for each process); false when that failed.
    bool MapInto(HWND window);
    // What the window is given with EM_GETTEXTRANGE (at most kChars - 1 characters): the range, in the
    // program's view, whose text lands in the buffer.
    LPARAM RangeForProgram(LONG from, LONG to);
    // The text as the program copied it.
    const wchar_t* Text() const;

private:
    struct Layout {
        TEXTRANGEW range;
        wchar_t text[1];
    };

    HANDLE section_ = nullptr;
    Layout* local_ = nullptr;
    Layout* program_ = nullptr; // the same memory, at the program's address
    DWORD process_ = 0;
};

} // namespace kvprobe
