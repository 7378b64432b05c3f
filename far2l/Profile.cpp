#include "far2l/Profile.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace wm::bridge {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string HomeFolder() {
    if (std::string home = Variable("HOME"); !home.empty()) return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? std::string(user->pw_dir) : std::string();
}

}  // namespace

std::string Far2lProfileFolder() {
    if (std::string settings = Variable("FARSETTINGS"); settings.starts_with('/')) {
        return settings + "/.config";
    }
    if (std::string config = Variable("XDG_CONFIG_HOME"); !config.empty()) {
        return config + "/far2l";
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config/far2l";
}

std::string StoreFile() {
    const std::string profile = Far2lProfileFolder();
    return profile.empty() ? std::string() : profile + "/plugins/waymarks/waymarks.sqlite3";
}

}  // namespace wm::bridge
