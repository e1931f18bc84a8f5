#pragma once
// Received bytes to display text, and typed text to the bytes of a sent line.
#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// True when a byte is 0x80 or above.
bool ContainsNonAscii(std::string_view bytes);

// Valid UTF-8 with at least one byte of 0x80 or above is read as UTF-8, anything else as Latin-1. BEL shows
// as a bullet (U+2022); TAB and LF stay; other control characters (CR included), DEL and 0x80-0x9F are
// dropped.
std::u16string DecodeReceivedBytes(std::string_view bytes);

// The length of an unfinished UTF-8 character at the end of bytes, to keep for the next chunk (0 when the
// bytes end with a whole character or with something that cannot become one).
size_t IncompleteUtf8TailLength(std::string_view bytes);

// Each UTF-16 unit below 256 becomes that byte (255 doubled as Telnet wants it), every other becomes '?';
// then the line ending of the connection settings: LineEndingCr, LineEndingLf, anything else CR LF.
std::string EncodeTelnetLine(std::u16string_view line, int lineEnding);

} // namespace kv
