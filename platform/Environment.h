// Environment variables of this process.
#pragma once

#include "core/String.h"

namespace wm::platform {

// The variable's value; the empty text when it is not set. Names compare without regard to case
// as on Windows: elsewhere the exact name is looked up first, then one differing only in case.
String EnvironmentValue(StringView name);
// False when the name is empty or holds "=" or a null character.
[[nodiscard]] bool SetEnvironmentValue(StringView name, StringView value);
[[nodiscard]] bool UnsetEnvironmentValue(StringView name);

}  // namespace wm::platform
