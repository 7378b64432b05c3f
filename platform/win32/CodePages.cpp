#include <windows.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "platform/CodePages.h"

namespace wm::platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::string Lower(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

bool Number(std::string_view digits, UINT& value) {
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return !digits.empty() && error == std::errc() && end == digits.data() + digits.size();
}

bool StripPrefix(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix) return false;
    text.remove_prefix(prefix.size());
    return true;
}

// The code page a name stands for; 0 for none.
UINT CodePageOf(std::string_view name) {
    struct Named {
        std::string_view name;
        UINT codePage;
    };
    static constexpr Named kNamed[] = {
        {"koi8-r", 20866},  {"koi8-u", 21866}, {"us-ascii", 20127}, {"ascii", 20127},
        {"utf-8", CP_UTF8}, {"utf8", CP_UTF8}, {"latin1", 28591},   {"iso-latin-1", 28591},
    };
    for (const Named& named : kNamed) {
        if (name == named.name) return named.codePage;
    }
    UINT number = 0;
    std::string_view rest = name;
    if (StripPrefix(rest, "iso-8859-") || StripPrefix(rest, "iso8859-")) {
        return Number(rest, number) && number >= 1 && number <= 15 ? 28590 + number : 0;
    }
    if (StripPrefix(rest, "windows-") || StripPrefix(rest, "cp") || StripPrefix(rest, "ibm")) {
        return Number(rest, number) ? number : 0;
    }
    return 0;
}

// The UTF-16 and UTF-32 names, which MultiByteToWideChar does not take: the width of a unit
// and whether it is big-endian. Without "le" or "be" a byte-order mark decides, else little.
bool UnicodeForm(std::string_view name, std::string_view& bytes, size_t& width, bool& bigEndian) {
    std::string_view rest = name;
    if (StripPrefix(rest, "utf-16") || StripPrefix(rest, "utf16") || StripPrefix(rest, "ucs-2") ||
        StripPrefix(rest, "ucs2") || rest == "unicode") {
        width = 2;
    } else if (StripPrefix(rest, "utf-32") || StripPrefix(rest, "utf32") ||
               StripPrefix(rest, "ucs-4") || StripPrefix(rest, "ucs4")) {
        width = 4;
    } else {
        return false;
    }
    if (rest == "be" || rest == "le") {
        bigEndian = rest == "be";
        return true;
    }
    if (!rest.empty() && rest != "unicode") return false;
    const std::string_view bigMark = width == 2 ? "\xFE\xFF" : std::string_view("\0\0\xFE\xFF", 4);
    const std::string_view littleMark =
        width == 2 ? "\xFF\xFE" : std::string_view("\xFF\xFE\0\0", 4);
    bigEndian = bytes.substr(0, width) == bigMark;
    if (bigEndian || bytes.substr(0, width) == littleMark) bytes.remove_prefix(width);
    return true;
}

String DecodeUnicode(std::string_view bytes, size_t width, bool bigEndian) {
    String out;
    out.reserve(bytes.size() / width + 1);
    size_t i = 0;
    for (; i + width <= bytes.size(); i += width) {
        uint32_t value = 0;
        for (size_t k = 0; k < width; ++k) {
            const auto byte =
                static_cast<unsigned char>(bytes[i + (bigEndian ? k : width - 1 - k)]);
            value = value << 8 | byte;
        }
        if (width == 2) {
            out.push_back(static_cast<char16_t>(value));
        } else {
            AppendCodePoint(out, value);
        }
    }
    if (i < bytes.size()) out.push_back(kReplacement);
    return out;
}

}  // namespace

std::optional<String> DecodeCodePage(std::string_view bytes, std::string_view name) {
    const std::string lower = Lower(name);
    size_t width = 0;
    bool bigEndian = false;
    if (UnicodeForm(lower, bytes, width, bigEndian)) return DecodeUnicode(bytes, width, bigEndian);
    const UINT codePage = CodePageOf(lower);
    if (codePage == 0 || !IsValidCodePage(codePage)) return std::nullopt;
    String out;
    // MultiByteToWideChar takes int lengths: long input goes in pieces that end on an ASCII
    // byte, which no multibyte sequence of these code pages spans.
    constexpr size_t kPiece = 1 << 24;
    while (!bytes.empty()) {
        size_t length = std::min(bytes.size(), kPiece);
        while (length < bytes.size() && length > 1 &&
               static_cast<unsigned char>(bytes[length - 1]) >= 0x80) {
            --length;
        }
        const auto size = static_cast<int>(length);
        // Without MB_ERR_INVALID_CHARS invalid bytes become U+FFFD (or the code page's default).
        const int units = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
        if (units <= 0) return std::nullopt;
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(units));
        MultiByteToWideChar(codePage, 0, bytes.data(), size,
                            reinterpret_cast<wchar_t*>(out.data() + at), units);
        bytes.remove_prefix(length);
    }
    return out;
}

}  // namespace wm::platform
