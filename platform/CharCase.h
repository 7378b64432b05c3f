// Upper-casing of UTF-16 text, one code unit at a time (the simple Unicode case mapping).
#pragma once

#include "core/String.h"

namespace wm::platform {

// Windows: CharUpperW on a single character. Elsewhere: the simple upper-case mapping.
char16_t UpperCaseChar(char16_t c);
// Windows: CharUpperBuffW, the user's locale. Elsewhere: UpperCaseChar on every code unit.
String UpperCaseText(StringView text);

}  // namespace wm::platform
