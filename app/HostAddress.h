#pragma once
// The address forms that users paste into a host field: "telnet host port", "host port", "host:port",
// "telnet://host:port", "https://host/page" and the like, turned into a host and a port.
#include <string>
#include <string_view>

namespace kv {

// The port of a text of 1 to 5 decimal digits when it lies in 1..65535, else 0.
int ParsePortText(std::u16string_view text);

// True when the text is one of the address forms: then text holds the host alone and port is set (or left
// as it was for a web address). False leaves both untouched; a plain host name is no address form.
bool ParseHostAddress(std::u16string& text, int& port);

} // namespace kv
