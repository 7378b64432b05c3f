// How this system writes directory paths.
#pragma once

#include <algorithm>

#include "core/String.h"

namespace wm::platform {

#ifdef _WIN32
constexpr char16_t DirectorySeparator = u'\\';
// Where a path can be cut to reach its parent: after a separator (Windows takes "/" as well
// as "\") or a drive colon.
constexpr StringView ParentCutCharacters = u"\\/:";
#else
constexpr char16_t DirectorySeparator = u'/';
constexpr StringView ParentCutCharacters = u"/";
#endif

// A path typed with either separator, in this system's separators.
inline String NativeSeparators(StringView path) {
    String result(path);
    if (DirectorySeparator == u'/') std::replace(result.begin(), result.end(), u'\\', u'/');
    return result;
}

}  // namespace wm::platform
