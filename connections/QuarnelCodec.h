#pragma once
// The wire format of the Quarnel logger network: packet texts of quoted and bare fields, the escaping of
// quoted fields, the framing into 7-bit bytes ended by a checksum byte with bit 7 set, and the reverse.
// Everything works on 8-bit strings and holds no state.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr size_t kQuarnelDatagramSize = 255;   // bytes of a framed packet per datagram sent
inline constexpr size_t kQuarnelMaxFields = 31;       // fields kept of a received packet
inline constexpr size_t kReceivedSpotTextLimit = 200; // bytes of lines gathered into one "RCVDPKT:" packet
inline constexpr size_t kGabMessageLimit = 80;        // bytes of a "GAB:" message

// The content of a quoted field, without its quotes: bytes of 0x7F and above as "\ooo" octal escapes, a digit
// right after such an escape escaped too, '"' and '\' behind a backslash, NUL dropped.
std::string EscapeField(std::string_view bytes);
// Decodes a quoted field from just after its opening quote; pos ends past the closing quote. False for a
// backslash as the packet's last byte. A field that runs to the end without its closing quote is accepted.
bool UnescapeField(std::string_view packet, size_t& pos, std::string& out);
// The fields of an un-framed packet, the keyword with its colon first; empty when a quoted field is malformed.
std::vector<std::string> SplitPacketFields(std::string_view packet);

// Bytes of 0x7F..0xFE become 0x7F and the byte's low seven bits; 0xFF is dropped; then the checksum byte.
std::string FramePacket(std::string_view text);
// The packet text of a framed packet whose checksum byte holds; false when it does not.
bool UnframePacket(std::string_view framed, std::string& text);
// Checksum test, un-framing and split in one: the fields, or none when the packet is to be dropped.
std::vector<std::string> DecodePacket(std::string_view framed);
// The framed bytes cut into datagrams of at most 255 bytes, in order.
std::vector<std::string_view> CutIntoDatagrams(std::string_view framed);

// Window strings and the network's 8-bit texts: a unit above 0xFF becomes '?'.
std::string WideToLatin1(std::u16string_view text);
std::u16string Latin1ToWide(std::string_view bytes);

// The packets this program sends. The application id is already escaped; the other texts are raw bytes.
std::string MakeReceivedSpotPacket(std::string_view escapedAppId, std::string_view lines);
std::string MakeGabPacket(std::string_view escapedAppId, std::string_view station, std::string_view message);
std::string MakeSkimmerClientPacket(std::string_view escapedAppId, std::string_view station, int radioIndex);

// Whole lines gathered into texts of at most 200 bytes each; a longer line stands alone. A final piece
// without its line end counts as a line.
std::vector<std::string> GroupLinesForPackets(std::string_view lines);

// A number field of a received packet: blanks, an optional sign, then digits up to the first other byte.
// A negative value, one beyond the range of int or one without a digit is 0.
int ReadPacketNumber(std::string_view field);
// The same read as a signed number; none when the value does not fit an int.
std::optional<int> ReadSignedPacketNumber(std::string_view field);

} // namespace kv
