#pragma once
// The running program's windows as the probe finds them from outside: by their classes and control ids.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kvprobe {

// Sent messages wait at most this long for the program's answer.
constexpr UINT kAnswerMs = 10000;

HWND FindFrame();
HWND FindTabStrip();
// Every connection page; the page of the n-th connection (in the tab order the program started with) has the
// control id 1100 + n.
std::vector<HWND> Pages();
HWND PageOf(int number);
HWND ReceiveEditOf(HWND page);
HWND ShownReceiveEdit();

// Sends a message and waits for the program's answer (at most kAnswerMs); false when none came.
bool SendAndWait(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr);

COLORREF ScreenPixel(POINT at);
// A window's client point on the screen.
POINT ScreenPointOf(HWND window, POINT client);

// A click of the left button (or the right one) at a point of the screen, the pointer moved there by the same input.
void ClickAt(POINT at, bool right = false);
// A window's middle on the screen.
POINT MiddleOf(HWND window);
// A key pressed and let go for each character: lower-case letters and digits as their virtual keys, CR as Enter.
void PressKeys(const std::string& text);

uint64_t NowMs();

} // namespace kvprobe
