// GUID values and their 38-character braced text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <cstdint>
#include <optional>

#include "core/String.h"

namespace wm {

// The same 16 bytes as the host's GUID record.
struct Guid {
    uint32_t Data1;
    uint16_t Data2, Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(Guid) == 16);

constexpr Guid NullGuid{};

bool operator==(const Guid& a, const Guid& b);
bool IsNullGuid(const Guid& guid);

// Upper-case hexadecimal digits, braces included.
String GuidToString(const Guid& guid);

// Accepts hexadecimal digits of either case; anything but the exact 38-character form raises
// EConvertError "'<text>' is not a valid GUID value".
Guid StringToGuid(StringView text);
// The same without raising: nothing for text that is not the exact form.
std::optional<Guid> TryStringToGuid(StringView text);

}  // namespace wm
