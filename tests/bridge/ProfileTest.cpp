#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "far2l/Profile.h"

namespace wm::test {
namespace {

// Sets or unsets environment variables for one test and restores them after it.
class ScopedVariables {
public:
    ScopedVariables() {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~ScopedVariables() {
        for (size_t k = 0; k < std::size(kNames); ++k) Set(kNames[k], saved_[k]);
    }
    static void Set(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

private:
    static constexpr const char* kNames[] = {"FARSETTINGS", "XDG_CONFIG_HOME", "HOME"};
    std::vector<std::optional<std::string>> saved_;
};

TEST(Far2lProfile, FarSettingsThenXdgConfigThenHome) {
    const ScopedVariables restore;
    ScopedVariables::Set("FARSETTINGS", "/srv/profile");
    ScopedVariables::Set("XDG_CONFIG_HOME", "/xdg");
    ScopedVariables::Set("HOME", "/home/user");
    EXPECT_EQ(bridge::Far2lProfileFolder(), "/srv/profile/.config");
    EXPECT_EQ(bridge::StoreFile(), "/srv/profile/.config/plugins/waymarks/waymarks.sqlite3");

    // far2l takes FARSETTINGS only as an absolute path.
    ScopedVariables::Set("FARSETTINGS", "relative/profile");
    EXPECT_EQ(bridge::Far2lProfileFolder(), "/xdg/far2l");
    ScopedVariables::Set("FARSETTINGS", "");
    EXPECT_EQ(bridge::Far2lProfileFolder(), "/xdg/far2l");
    EXPECT_EQ(bridge::StoreFile(), "/xdg/far2l/plugins/waymarks/waymarks.sqlite3");

    ScopedVariables::Set("FARSETTINGS", std::nullopt);
    ScopedVariables::Set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(bridge::Far2lProfileFolder(), "/home/user/.config/far2l");
    ScopedVariables::Set("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(bridge::StoreFile(), "/home/user/.config/far2l/plugins/waymarks/waymarks.sqlite3");
}

}  // namespace
}  // namespace wm::test
