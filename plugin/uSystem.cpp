#include "plugin/uSystem.h"

#include "platform/KnownFolders.h"

namespace wm {

String GetKnownFolderPath(int folder) {
    return platform::KnownFolderPath(folder);
}

}  // namespace wm
