#pragma once
// Field-level rules of the node lists: trimming, the CSV line grammar, the host and port checks, and the
// conversion of the list's UTF-8 text for the windows. All on bytes exactly as read from the file.
#include <string>
#include <vector>

namespace kv {

// Without leading blanks and tabs and without trailing blanks, tabs and carriage returns; a leading carriage
// return stays.
std::string TrimNodeField(const std::string& text);

// The fields of one line: commas separate, double quotes enclose (a doubled quote stands for one), every
// field is trimmed. Always at least one field.
std::vector<std::string> SplitCsvLine(const std::string& line);

// A dotted IPv4 address or a host name of labels of letters, digits and hyphens.
bool IsValidHost(const std::string& host);

// Empty gives 23; otherwise up to 5 ASCII digits with a value in 1..65535. port receives the value read even
// when it is out of range.
bool ParseNodePort(const std::string& text, int& port);

// The bytes as UTF-8; malformed sequences become U+FFFD rather than failing.
std::u16string Utf8ToCString(const std::string& bytes);

} // namespace kv
