#include "xml/XmlEncoding.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>

namespace wm {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Bytes 0x80 to 0x9F of Windows-1252; 0xA0 to 0xFF are Latin-1. The five unassigned bytes map
// to the control character of the same value, as Windows maps them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t Windows1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte};
}

char16_t Latin1(unsigned char byte) {
    return byte;
}

template <class Map>
String DecodeBytes(std::string_view bytes, Map map) {
    String out(bytes.size(), u'\0');
    std::transform(bytes.begin(), bytes.end(), out.begin(),
                   [&](char c) { return map(static_cast<unsigned char>(c)); });
    return out;
}

bool StartsWith(std::string_view bytes, std::string_view pattern) {
    return bytes.substr(0, pattern.size()) == pattern;
}

unsigned Byte(std::string_view bytes, size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

}  // namespace

TXmlEncodingGuess DetectXmlEncoding(std::string_view bytes) {
    using namespace std::string_view_literals;
    struct Pattern {
        std::string_view bytes;
        TXmlEncoding encoding;
        size_t markLength;
    };
    // Longer patterns first: FF FE 00 00 is UCS-4, not UTF-16 with a leading null character.
    static constexpr Pattern kPatterns[] = {
        {"\x00\x00\xFE\xFF"sv, TXmlEncoding::Unsupported, 0},
        {"\xFF\xFE\x00\x00"sv, TXmlEncoding::Ucs4LE, 4},
        {"\x00\x00\xFF\xFE"sv, TXmlEncoding::Unsupported, 0},
        {"\xFE\xFF\x00\x00"sv, TXmlEncoding::Unsupported, 0},
        {"\xEF\xBB\xBF"sv, TXmlEncoding::Utf8, 3},
        {"\xFE\xFF"sv, TXmlEncoding::Utf16BE, 2},
        {"\xFF\xFE"sv, TXmlEncoding::Utf16LE, 2},
        {"\x00\x00\x00\x3C"sv, TXmlEncoding::Unsupported, 0},
        {"\x3C\x00\x00\x00"sv, TXmlEncoding::Ucs4LE, 0},
        {"\x00\x00\x3C\x00"sv, TXmlEncoding::Unsupported, 0},
        {"\x00\x3C\x00\x00"sv, TXmlEncoding::Unsupported, 0},
        {"\x4C\x6F\xA7\x94"sv, TXmlEncoding::Unsupported, 0},
    };
    for (const Pattern& pattern : kPatterns) {
        if (StartsWith(bytes, pattern.bytes)) return {pattern.encoding, pattern.markLength};
    }
    // "<" followed by another ASCII character, in UTF-16 without a mark.
    if (bytes.size() >= 4) {
        if (Byte(bytes, 0) == 0 && Byte(bytes, 1) == 0x3C && Byte(bytes, 2) == 0 &&
            Byte(bytes, 3) != 0) {
            return {TXmlEncoding::Utf16BE, 0};
        }
        if (Byte(bytes, 0) == 0x3C && Byte(bytes, 1) == 0 && Byte(bytes, 2) != 0 &&
            Byte(bytes, 3) == 0) {
            return {TXmlEncoding::Utf16LE, 0};
        }
    }
    return {TXmlEncoding::EightBit, 0};
}

String DecodeUtf16(std::string_view bytes, bool bigEndian) {
    String out;
    out.reserve(bytes.size() / 2 + 1);
    const size_t high = bigEndian ? 0 : 1;
    size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        out.push_back(
            static_cast<char16_t>(Byte(bytes, i + high) << 8 | Byte(bytes, i + 1 - high)));
    }
    if (i < bytes.size()) out.push_back(kReplacement);
    return out;
}

String DecodeUcs4LE(std::string_view bytes) {
    String out;
    out.reserve(bytes.size() / 4 + 1);
    size_t i = 0;
    for (; i + 3 < bytes.size(); i += 4) {
        AppendCodePoint(out, Byte(bytes, i) | Byte(bytes, i + 1) << 8 | Byte(bytes, i + 2) << 16 |
                                 char32_t{Byte(bytes, i + 3)} << 24);
    }
    if (i < bytes.size()) out.push_back(kReplacement);
    return out;
}

String DecodeWindows1252(std::string_view bytes) {
    return DecodeBytes(bytes, Windows1252);
}

String DecodeEightBit(std::string_view bytes, TXmlEightBitForm form) {
    return form == TXmlEightBitForm::Latin1 ? DecodeBytes(bytes, Latin1) : DecodeWindows1252(bytes);
}

TXmlEightBitForm EightBitFormOf(std::string_view encodingName) {
    // Letters and digits only, lower case: "UTF-16LE" and "utf16le" are one name here.
    std::string name;
    for (char c : encodingName) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) name += c;
    }
    const auto oneOf = [&](std::initializer_list<std::string_view> names) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    const std::string_view view = name;
    for (std::string_view unicode :
         {"utf16", "utf32", "ucs2", "ucs4", "iso10646ucs2", "iso10646ucs4"}) {
        if (!view.starts_with(unicode)) continue;
        const std::string_view order = view.substr(unicode.size());
        if (order.empty() || order == "le" || order == "be") return TXmlEightBitForm::Utf8;
    }
    if (oneOf({"utf8", "unicode11utf8"})) return TXmlEightBitForm::Utf8;
    if (oneOf({"windows1252", "cp1252", "usascii", "ascii", "ansix341968"})) {
        return TXmlEightBitForm::Windows1252;
    }
    if (oneOf({"iso88591", "latin1", "l1", "isolatin1", "iso885911987"})) {
        return TXmlEightBitForm::Latin1;
    }
    return TXmlEightBitForm::CodePage;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace wm
