#include "plugin/uInfo.h"

#include "plugin/uFunctions.h"

namespace wm {

String TWaymarkInfo::NormalizeName(StringView text) {
    return ResolvePath(u"", text);
}

}  // namespace wm
