// Host texts in tests: a literal as the host's 16-bit text, and back (null is the empty text).
#pragma once

#include "core/String.h"
#include "host/Types.h"

namespace wm::test {

inline far::HostText H(const char16_t* text) {
    return reinterpret_cast<far::HostText>(text);
}

inline String S(far::HostText text) {
    return text ? String(reinterpret_cast<const char16_t*>(text)) : String();
}

}  // namespace wm::test
