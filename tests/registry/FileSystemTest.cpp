#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/FileSystem.h"
#include "tests/support/Links.h"

namespace wm::test {
namespace {

namespace fs = std::filesystem;

TEST(FileSystem, OnlyALinkToAFolderIsALinkedDirectory) {
    const fs::path root =
        fs::temp_directory_path() / ("wm-links-" + std::to_string(std::random_device{}()));
    fs::create_directories(root / "folder");
    std::ofstream(root / "file") << "x";
    EXPECT_FALSE(platform::IsLinkedDirectory((root / "folder").u16string()));
    EXPECT_FALSE(platform::IsLinkedDirectory((root / "file").u16string()));
    EXPECT_FALSE(platform::IsLinkedDirectory((root / "missing").u16string()));

    std::error_code linking, ignored;
    linking = MakeFolderLink(root / "folder", root / "to-folder");
    if (!linking) {
        EXPECT_TRUE(platform::IsLinkedDirectory((root / "to-folder").u16string()));
    }
    fs::remove_all(root, ignored);
    if (linking) GTEST_SKIP() << "no links here: " << linking.message();
}

}  // namespace
}  // namespace wm::test
