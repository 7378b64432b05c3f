// GUID values and their 38-character braced text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include "framework/String.h"
#include "host/Types.h"

namespace wm {

using Guid = far::GUID;

constexpr Guid NullGuid{};

bool operator==(const Guid& a, const Guid& b);
bool IsNullGuid(const Guid& guid);

// Upper-case hexadecimal digits, braces included.
String GuidToString(const Guid& guid);

// Accepts hexadecimal digits of either case; anything but the exact 38-character form raises
// EConvertError "'<text>' is not a valid GUID value".
Guid StringToGuid(StringView text);

}  // namespace wm

// Guid is the host's type: make the comparison visible to argument-dependent lookup as well, so
// it also works outside namespace wm (GoogleTest's EXPECT_EQ, standard algorithms).
namespace far {
using wm::operator==;
}  // namespace far
