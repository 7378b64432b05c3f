// The file system as the plugin sees it.
#pragma once

#include "core/String.h"

namespace wm::platform {

// True only when the path is a local absolute one and the system says that nothing exists there
// (the path or one of its parents is missing). Relative and network paths, and paths the
// system cannot answer for (no access, a bad device), are not known to be missing.
[[nodiscard]] bool IsMissingPath(StringView path);

}  // namespace wm::platform
