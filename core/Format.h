// Delphi-style formatting: %s, %d, %u, %x, index specifiers (%0:s), '-' alignment, widths and
// precisions (also '*' taken from the arguments) and %%. A malformed format, a missing argument
// or an argument of the wrong kind raises EConvertError.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <variant>

#include "core/String.h"

namespace wm {

// One argument of Format: an integer (remembering whether its source type was 32 or 64 bits wide,
// which decides how %u and %x show negative values) or a text.
class FormatArg {
public:
    FormatArg(int value) : value_(int64_t{value}), bits_(32) {}
    FormatArg(unsigned value) : value_(int64_t{value}), bits_(32) {}
    FormatArg(long value) : value_(int64_t{value}), bits_(sizeof(long) * 8) {}
    FormatArg(long long value) : value_(int64_t{value}) {}
    FormatArg(unsigned long value)
        : value_(static_cast<int64_t>(value)), bits_(sizeof(unsigned long) * 8) {}
    FormatArg(unsigned long long value) : value_(static_cast<int64_t>(value)) {}
    FormatArg(String value) : value_(std::move(value)) {}
    FormatArg(StringView value) : value_(String(value)) {}
    FormatArg(const char16_t* value) : value_(String(value ? value : u"")) {}

    bool IsInteger() const { return std::holds_alternative<int64_t>(value_); }
    int64_t Integer() const { return std::get<int64_t>(value_); }
    // 32 or 64: the width of the integer's source type.
    int IntegerBits() const { return bits_; }
    const String& Text() const { return std::get<String>(value_); }

private:
    std::variant<int64_t, String> value_;
    int bits_ = 64;
};

String Format(StringView format, std::initializer_list<FormatArg> args);

}  // namespace wm
