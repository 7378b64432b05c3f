// Text in a named character encoding (the name an XML declaration gives), decoded by the system.
#pragma once

#include <optional>
#include <string_view>

#include "core/String.h"

namespace wm::platform {

// `bytes` in the encoding `name` (compared without regard to ASCII case), as UTF-16. Nothing
// when the system has no converter of that name. Bytes that are not valid in the encoding
// become U+FFFD; the rest of the text is still decoded.
//
// Windows: MultiByteToWideChar with the code page the name stands for (windows-125x, cpNNN,
// ibmNNN, koi8-r, koi8-u, iso-8859-N, us-ascii, utf-8); the UTF-16 and UTF-32 names are decoded
// here. Elsewhere: iconv.
std::optional<String> DecodeCodePage(std::string_view bytes, std::string_view name);

}  // namespace wm::platform
