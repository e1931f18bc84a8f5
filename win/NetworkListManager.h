#pragma once
// The Network List Manager's view of the internet.
namespace kv {

// True only when the system answers that the computer is not connected to the internet; a manager that
// cannot be asked counts as "connected".
bool IsInternetKnownUnreachable();

} // namespace kv
