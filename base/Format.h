#pragma once
// printf-style formatting of our own for the string-table formats, over std::u16string and std::string.
// Supports flags "-0+ ", a width, a precision, the length modifiers h l ll z j and the conversions
// d i u x X o f e g c s %. A missing argument formats as nothing; a mismatched one is formatted as what it is.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace kv {

class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Double, Narrow, Wide };

    template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T>, int> = 0>
    FormatArg(T v) : kind_(Kind::Signed), signed_(v) {}
    template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T>, int> = 0>
    FormatArg(T v) : kind_(Kind::Unsigned), unsigned_(v) {}
    FormatArg(double v) : kind_(Kind::Double), double_(v) {}
    FormatArg(float v) : kind_(Kind::Double), double_(v) {}
    FormatArg(const char* s) : kind_(Kind::Narrow), narrow_(s ? s : "") {}
    FormatArg(const std::string& s) : kind_(Kind::Narrow), narrow_(s) {}
    FormatArg(std::string_view s) : kind_(Kind::Narrow), narrow_(s) {}
    FormatArg(const char16_t* s) : kind_(Kind::Wide), wide_(s ? s : u"") {}
    FormatArg(const std::u16string& s) : kind_(Kind::Wide), wide_(s) {}
    FormatArg(std::u16string_view s) : kind_(Kind::Wide), wide_(s) {}

    Kind kind() const { return kind_; }
    int64_t AsSigned() const;
    uint64_t AsUnsigned() const;
    double AsDouble() const;
    std::u16string AsWide() const;
    std::string AsNarrow() const;

private:
    Kind kind_;
    int64_t signed_ = 0;
    uint64_t unsigned_ = 0;
    double double_ = 0;
    std::string_view narrow_;
    std::u16string_view wide_;
};

std::u16string FormatTextV(std::u16string_view format, std::initializer_list<FormatArg> args);
std::string FormatTextV(std::string_view format, std::initializer_list<FormatArg> args);

template <typename... Args> std::u16string FormatText(std::u16string_view format, const Args&... args)
{
    return FormatTextV(format, {FormatArg(args)...});
}
template <typename... Args> std::string FormatText(std::string_view format, const Args&... args)
{
    return FormatTextV(format, {FormatArg(args)...});
}

} // namespace kv
