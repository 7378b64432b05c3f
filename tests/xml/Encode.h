// Test documents in UTF-16 or UCS-4 (text of the basic plane), without a byte-order mark.
#pragma once

#include <string>
#include <string_view>

namespace wm::test {

inline std::string Encode(std::u16string_view text, size_t width, bool bigEndian) {
    std::string out;
    for (char16_t unit : text) {
        std::string bytes(width, '\0');
        bytes[bigEndian ? width - 1 : 0] = static_cast<char>(unit & 0xFF);
        bytes[bigEndian ? width - 2 : 1] = static_cast<char>(unit >> 8);
        out += bytes;
    }
    return out;
}

}  // namespace wm::test
