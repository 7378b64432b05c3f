#include "tests/support/Links.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace wm::test {

std::error_code MakeFolderLink(const std::filesystem::path& target,
                               const std::filesystem::path& link) {
    std::error_code error;
#ifdef _WIN32
    if (!CreateSymbolicLinkW(
            link.c_str(), target.c_str(),
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        error.assign(static_cast<int>(GetLastError()), std::system_category());
    } else if (GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // Some systems answer success and make nothing.
        error.assign(ERROR_NOT_SUPPORTED, std::system_category());
    }
#else
    std::filesystem::create_directory_symlink(target, link, error);
#endif
    return error;
}

}  // namespace wm::test
