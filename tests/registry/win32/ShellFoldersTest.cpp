// The known folders are the shell's own paths.
#include <gtest/gtest.h>

#include "platform/CharCase.h"
#include "platform/Environment.h"
#include "platform/KnownFolders.h"

namespace wm::platform {
namespace {

TEST(ShellFolders, AreThePathsTheShellGivesItsOwnPrograms) {
    const struct {
        int folder;
        const char16_t* variable;
    } cases[] = {{40, u"USERPROFILE"}, {26, u"APPDATA"}, {28, u"LOCALAPPDATA"}, {36, u"windir"}};
    for (const auto& c : cases) {
        const String expected = EnvironmentValue(c.variable);
        ASSERT_FALSE(expected.empty()) << ToUtf8(c.variable);
        EXPECT_EQ(UpperCaseText(KnownFolderPath(c.folder)), UpperCaseText(expected))
            << ToUtf8(c.variable);
    }
}

}  // namespace
}  // namespace wm::platform
