// Upper-casing of UTF-16 text, one code unit at a time (the simple Unicode case mapping).
#pragma once

#include "core/String.h"

namespace wm::platform {

// Windows: CharUpperW on a single character. Elsewhere: the simple upper-case mapping.
char16_t UpperCaseChar(char16_t c);
// Windows: CharUpperBuffW, the user's locale. Elsewhere: UpperCaseChar on every code unit.
String UpperCaseText(StringView text);

// Text compared as the registry compares names: code unit by code unit, upper-cased.
inline bool SameTextIgnoringCase(StringView a, StringView b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && UpperCaseChar(a[i]) != UpperCaseChar(b[i])) return false;
    }
    return true;
}
inline bool StartsWithIgnoringCase(StringView text, StringView prefix) {
    return text.size() >= prefix.size() &&
           SameTextIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace wm::platform
