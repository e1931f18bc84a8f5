// Lines from logger stations reach the dialect rewriting unchecked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "connections/CommandDialect.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    const ShowCommand command = ParseShowCommand(line);
    if (command.Kind == ShowNotRecognised && !(command == ShowCommand{})) abort();

    for (int dialect = NoDialect; dialect <= DialectGoCluster + 1; ++dialect) {
        std::string out;
        const bool adapted = AdaptShowCommand(line, CommandDialect(dialect), out);
        if (adapted != !out.empty()) abort();
        if (adapted && NormalizeCommand(out) == NormalizeCommand(line)) abort();
        if (adapted && out.find_first_of("\r\n") != std::string::npos) abort();
    }
    // The DXSpider forms read back as the same command.
    const std::string spider = FormatShowCommand(command, DialectDXSpider);
    if (!spider.empty() && !(ParseShowCommand(spider) == command)) abort();
    return 0;
}
