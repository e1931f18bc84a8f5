#pragma once
// Which link addresses the program hands to the shell. They come from the settings file, a downloaded node
// list or a cluster's announcement, so only a web page is opened (and a mail address where a link offers
// one): never a program, a file or another protocol's handler.
#include <string_view>

namespace kv {

enum class LinkKinds {
    Web,       // http:// and https://
    WebOrMail, // and mailto:
};

// The scheme (any case) followed by an address without blanks (any Unicode white space), control characters
// or double quotes, so that nothing can be added to the command line of the program that opens it, and
// without characters that show nothing or a blank, nor lone surrogates, so that it opens what it reads as.
bool IsOpenableLink(std::u16string_view address, LinkKinds kinds);

} // namespace kv
