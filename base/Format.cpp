#include "base/Format.h"

#include <cmath>
#include <cstdio>

#include "base/Numbers.h"
#include "base/Utf.h"

namespace kv {

int64_t FormatArg::AsSigned() const
{
    switch (kind_) {
    case Kind::Signed: return signed_;
    case Kind::Unsigned: return static_cast<int64_t>(unsigned_);
    case Kind::Double:
        return std::isfinite(double_) && std::fabs(double_) < 9.2e18 ? static_cast<int64_t>(double_) : 0;
    default: return 0;
    }
}

uint64_t FormatArg::AsUnsigned() const
{
    switch (kind_) {
    case Kind::Signed: return static_cast<uint64_t>(signed_);
    case Kind::Unsigned: return unsigned_;
    case Kind::Double:
        return std::isfinite(double_) && double_ >= 0 && double_ < 1.8e19 ? static_cast<uint64_t>(double_) : 0;
    default: return 0;
    }
}

double FormatArg::AsDouble() const
{
    switch (kind_) {
    case Kind::Signed: return double(signed_);
    case Kind::Unsigned: return double(unsigned_);
    case Kind::Double: return double_;
    default: return 0;
    }
}

std::u16string FormatArg::AsWide() const
{
    switch (kind_) {
    case Kind::Wide: return std::u16string(wide_);
    case Kind::Narrow: return Utf8ToUtf16(narrow_);
    default: return Utf8ToUtf16(AsNarrow());
    }
}

std::string FormatArg::AsNarrow() const
{
    switch (kind_) {
    case Kind::Narrow: return std::string(narrow_);
    case Kind::Wide: return Utf16ToUtf8(wide_);
    case Kind::Signed: return FormatInteger(signed_);
    case Kind::Unsigned: return FormatInteger(unsigned_);
    case Kind::Double: return FormatFixed(double_, 6);
    }
    return {};
}

namespace {

struct Directive {
    bool left = false, zero = false, plus = false, space = false;
    int width = 0;
    int precision = -1;
    char conversion = 0;
};

std::string ToBase(uint64_t v, unsigned base, bool upper)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string s;
    do {
        s.insert(s.begin(), digits[v % base]);
        v /= base;
    } while (v);
    return s;
}

// The body of one numeric conversion as ASCII, before padding; sign kept apart for zero padding.
void FormatNumber(const Directive& directive, const FormatArg& arg, std::string& sign, std::string& body)
{
    switch (directive.conversion) {
    case 'd':
    case 'i': {
        const int64_t v = arg.AsSigned();
        const uint64_t mag = v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
        body = ToBase(mag, 10, false);
        sign = v < 0 ? "-" : directive.plus ? "+" : directive.space ? " " : "";
        break;
    }
    case 'u': body = ToBase(arg.AsUnsigned(), 10, false); break;
    case 'x': body = ToBase(arg.AsUnsigned(), 16, false); break;
    case 'X': body = ToBase(arg.AsUnsigned(), 16, true); break;
    case 'o': body = ToBase(arg.AsUnsigned(), 8, false); break;
    default: { // f e g
        const double v = arg.AsDouble();
        const int precision = directive.precision < 0 ? 6 : directive.precision;
        if (directive.conversion == 'f' || !std::isfinite(v)) {
            body = FormatFixed(std::fabs(v), precision);
        } else {
            char buf[64];
            char fmt[8] = {'%', '.', '*', directive.conversion, 0};
            std::snprintf(buf, sizeof buf, fmt, precision, std::fabs(v));
            body = buf;
        }
        sign = std::signbit(v) && !std::isnan(v) ? "-" : directive.plus ? "+" : directive.space ? " " : "";
        return;
    }
    }
    // An integer precision is a minimum number of digits.
    if (directive.precision > 0 && int(body.size()) < directive.precision) body.insert(0, size_t(directive.precision) - body.size(), '0');
}

bool IsIntegerConversion(char c) { return std::string_view("diuxXo").find(c) != std::string_view::npos; }

template <typename C> void Pad(std::basic_string<C>& out, const Directive& directive, const std::basic_string<C>& sign,
                               const std::basic_string<C>& body, bool numeric)
{
    const size_t len = sign.size() + body.size();
    const size_t fill = directive.width > 0 && size_t(directive.width) > len ? size_t(directive.width) - len : 0;
    if (directive.left) {
        out += sign;
        out += body;
        out.append(fill, C(' '));
    } else if (directive.zero && numeric && !(directive.precision >= 0 && IsIntegerConversion(directive.conversion))) {
        out += sign;
        out.append(fill, C('0'));
        out += body;
    } else {
        out.append(fill, C(' '));
        out += sign;
        out += body;
    }
}

template <typename C> std::basic_string<C> Widen(const std::string& ascii)
{
    return std::basic_string<C>(ascii.begin(), ascii.end());
}

template <typename C> std::basic_string<C> StringArg(const FormatArg& arg);
template <> std::basic_string<char16_t> StringArg<char16_t>(const FormatArg& arg) { return arg.AsWide(); }
template <> std::basic_string<char> StringArg<char>(const FormatArg& arg) { return arg.AsNarrow(); }

template <typename C> std::basic_string<C> FormatImpl(std::basic_string_view<C> format, std::initializer_list<FormatArg> args)
{
    std::basic_string<C> out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    size_t i = 0;
    while (i < format.size()) {
        const C c = format[i++];
        if (c != C('%')) {
            out.push_back(c);
            continue;
        }
        if (i < format.size() && format[i] == C('%')) {
            out.push_back(C('%'));
            ++i;
            continue;
        }
        Directive directive;
        for (; i < format.size(); ++i) {
            const C f = format[i];
            if (f == C('-')) directive.left = true;
            else if (f == C('0')) directive.zero = true;
            else if (f == C('+')) directive.plus = true;
            else if (f == C(' ')) directive.space = true;
            else if (f == C('#')) {}
            else break;
        }
        while (i < format.size() && format[i] >= C('0') && format[i] <= C('9') && directive.width < 10000)
            directive.width = directive.width * 10 + int(format[i++] - C('0'));
        if (i < format.size() && format[i] == C('.')) {
            ++i;
            directive.precision = 0;
            while (i < format.size() && format[i] >= C('0') && format[i] <= C('9') && directive.precision < 10000)
                directive.precision = directive.precision * 10 + int(format[i++] - C('0'));
        }
        while (i < format.size() && (format[i] == C('l') || format[i] == C('h') || format[i] == C('z') ||
                                     format[i] == C('j') || format[i] == C('L')))
            ++i;
        if (i >= format.size()) break;
        directive.conversion = char(format[i++]);
        const bool known = std::string_view("diuxXofegcs").find(directive.conversion) != std::string_view::npos;
        if (!known) continue;
        if (next == args.end()) continue; // a missing argument formats as nothing
        const FormatArg& arg = *next++;
        if (directive.conversion == 's' || (arg.kind() == FormatArg::Kind::Narrow || arg.kind() == FormatArg::Kind::Wide)) {
            std::basic_string<C> s = StringArg<C>(arg);
            if (directive.conversion == 's' && directive.precision >= 0 && s.size() > size_t(directive.precision))
                s.resize(size_t(directive.precision));
            Pad<C>(out, directive, {}, s, false);
        } else if (directive.conversion == 'c') {
            Pad<C>(out, directive, {}, std::basic_string<C>(1, C(arg.AsUnsigned())), false);
        } else {
            std::string sign, body;
            FormatNumber(directive, arg, sign, body);
            Pad<C>(out, directive, Widen<C>(sign), Widen<C>(body), true);
        }
    }
    return out;
}

} // namespace

std::u16string FormatTextV(std::u16string_view format, std::initializer_list<FormatArg> args)
{
    return FormatImpl<char16_t>(format, args);
}

std::string FormatTextV(std::string_view format, std::initializer_list<FormatArg> args)
{
    return FormatImpl<char>(format, args);
}

} // namespace kv
