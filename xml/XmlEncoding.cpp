#include "xml/XmlEncoding.h"

#include <algorithm>
#include <array>

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

// Bytes 0x80 to 0xBF of Windows-1251; 0xC0 to 0xFF are U+0410 to U+044F.
constexpr std::array<char16_t, 64> kWindows1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char16_t Windows1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte};
}

char16_t Windows1251(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte < 0xC0) return kWindows1251High[byte - 0x80];
    return static_cast<char16_t>(0x0410 + (byte - 0xC0));
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
        const uint32_t cp = Byte(bytes, i) | Byte(bytes, i + 1) << 8 | Byte(bytes, i + 2) << 16 |
                            uint32_t{Byte(bytes, i + 3)} << 24;
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(kReplacement);
        } else if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    if (i < bytes.size()) out.push_back(kReplacement);
    return out;
}

String DecodeWindows1252(std::string_view bytes) {
    return DecodeBytes(bytes, Windows1252);
}

String DecodeEightBit(std::string_view bytes, std::string_view encodingName) {
    if (EqualsIgnoreAsciiCase(encodingName, "windows-1251")) {
        return DecodeBytes(bytes, Windows1251);
    }
    if (EqualsIgnoreAsciiCase(encodingName, "iso-8859-1")) return DecodeBytes(bytes, Latin1);
    return DecodeWindows1252(bytes);
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace wm
