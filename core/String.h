// The program's string type (UTF-16) and its one place of conversion to and from UTF-8 and
// UTF-32.
#pragma once

#include <string>
#include <string_view>

namespace wm {

using String = std::u16string;
using StringView = std::u16string_view;

// UTF-8 to UTF-16. Invalid byte sequences become U+FFFD, one per maximal invalid subpart.
String FromUtf8(std::string_view text);
// The same into `out`, whose storage is reused.
void FromUtf8(std::string_view text, String& out);

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string ToUtf8(StringView text);

// UTF-16 to UTF-32 (the host texts of 4-byte wchar_t systems). An unpaired surrogate becomes
// U+FFFD.
std::u32string ToUtf32(StringView text);
// UTF-32 to UTF-16; a surrogate or a value above U+10FFFF becomes U+FFFD, so that no unpaired
// surrogate comes in.
String FromUtf32(std::u32string_view text);

// Appends one code point: a surrogate pair above U+FFFF; U+FFFD for a surrogate or a value
// above U+10FFFF.
void AppendCodePoint(String& out, char32_t codePoint);

// Strict check: true when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view text);

// Convenience for literals and tests: u"..." is preferred in code.
inline String Str(std::string_view utf8) {
    return FromUtf8(utf8);
}

}  // namespace wm
