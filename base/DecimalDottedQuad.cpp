#include "base/DecimalDottedQuad.h"

#include "base/Ascii.h"

namespace kv {
namespace {

constexpr int kParts = 4;
constexpr unsigned kMaxPart = 255;

template <typename C> std::basic_string<C> Rewrite(std::basic_string_view<C> host)
{
    std::basic_string<C> decimal;
    size_t i = 0;
    for (int part = 0; part < kParts; ++part) {
        if (part > 0) {
            if (i == host.size() || host[i] != C('.')) return std::basic_string<C>(host);
            decimal += C('.');
            ++i;
        }
        const size_t start = i;
        unsigned value = 0;
        for (; i < host.size() && IsAsciiDigit(host[i]); ++i) {
            value = value * 10 + unsigned(host[i] - C('0'));
            if (value > kMaxPart) return std::basic_string<C>(host); // checked at every digit: no overflow
        }
        if (i == start) return std::basic_string<C>(host);
        for (const char c : std::to_string(value)) decimal += C(c);
    }
    return i == host.size() ? decimal : std::basic_string<C>(host);
}

} // namespace

std::string DecimalDottedQuad(std::string_view host) { return Rewrite(host); }
std::u16string DecimalDottedQuad(std::u16string_view host) { return Rewrite(host); }

} // namespace kv
