// Character encodings of XML files: detection from the first bytes and decoding to UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
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

// Decodes bytes in the named encoding; nothing when it does not know the name.
using TXmlCodePageDecoder =
    std::function<std::optional<String>(std::string_view bytes, std::string_view encodingName)>;

// How the layer reads an 8-bit document by the encoding its declaration names (compared without
// regard to case).
enum class TXmlEightBitForm : uint8_t {
    Utf8,         // utf-8, and the UTF-16 and UTF-32 names: the bytes are not in those forms
    Windows1252,  // windows-1252 and the ASCII names (bytes above 0x7F are not lost)
    Latin1,       // iso-8859-1
    CodePage,     // any other name: for a code-page decoder
};
TXmlEightBitForm EightBitFormOf(std::string_view encodingName);

// Built-in forms only: Windows1252 or Latin1.
String DecodeEightBit(std::string_view bytes, TXmlEightBitForm form);

// ASCII case-insensitive comparison, for names in markup.
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace wm
