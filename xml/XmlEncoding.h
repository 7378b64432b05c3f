// Character encodings of XML files: detection from the first bytes and decoding to UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/String.h"

namespace wm {

enum class TXmlEncoding : uint8_t {
    Utf8,
    Utf16LE,
    Utf16BE,
    Ucs4LE,
    EightBit,     // ASCII-compatible: UTF-8 or the code page the declaration names
    Unsupported,  // UCS-4 big-endian, UCS-4 in the orders 2143 and 3412, EBCDIC
};

struct TXmlEncodingGuess {
    TXmlEncoding encoding = TXmlEncoding::EightBit;
    size_t markLength = 0;  // bytes of the byte-order mark, which are not part of the text
};

// The byte-order marks and the "<?" / "<" patterns of the XML recommendation's appendix on
// autodetecting character encodings; anything else is 8-bit text.
TXmlEncodingGuess DetectXmlEncoding(std::string_view bytes);

// A trailing incomplete unit becomes U+FFFD; unpaired surrogates are kept.
String DecodeUtf16(std::string_view bytes, bool bigEndian);
// Values above U+10FFFF, surrogates and a trailing incomplete unit become U+FFFD.
String DecodeUcs4LE(std::string_view bytes);

String DecodeWindows1252(std::string_view bytes);
// By the encoding name (compared without regard to case): windows-1251, iso-8859-1, and
// Windows-1252 for every other name, us-ascii and windows-1252 among them (bytes above 0x7F in
// an ASCII file are read the Windows-1252 way rather than lost).
String DecodeEightBit(std::string_view bytes, std::string_view encodingName);

// ASCII case-insensitive comparison, for names in markup.
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace wm
