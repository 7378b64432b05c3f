// The host's path shortening (the TruncPathStr standard function).
#pragma once

#include "core/String.h"

namespace farhost {

// `text` shortened to exactly `maxLength` characters: the root ("X:" plus a slash, or
// "\\server\share\"), "...", and the end of the path. Without a root, or when the root leaves
// fewer than two characters of the path, "..." and the end of the path; at most three characters
// wanted, the beginning of the text. Unchanged when it fits or `maxLength` is not positive.
wm::String TruncPath(wm::StringView text, int maxLength);

}  // namespace farhost
