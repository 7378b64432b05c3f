#include <pwd.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/Environment.h"
#include "platform/KnownFolders.h"

namespace wm::platform {
namespace {

// The shell folder numbers that have a counterpart here.
enum : int {
    Desktop = 0,
    Personal = 5,
    MyMusic = 13,
    MyVideo = 14,
    DesktopDirectory = 16,
    Templates = 21,
    AppData = 26,
    LocalAppData = 28,
    InternetCache = 32,
    MyPictures = 39,
    Profile = 40,
};

String WithoutTrailingSlashes(String path) {
    while (path.size() > 1 && path.back() == u'/') path.pop_back();
    return path;
}

String HomeDirectory() {
    String home = EnvironmentValue(u"HOME");
    if (home.empty()) {
        if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir) {
            home = FromUtf8(entry->pw_dir);
        }
    }
    return WithoutTrailingSlashes(std::move(home));
}

// An XDG base directory: the variable when it holds an absolute path, else the default below
// the home directory.
String BaseDirectory(StringView variable, StringView defaultBelowHome) {
    String value = EnvironmentValue(variable);
    if (!value.empty() && value.front() == u'/') return WithoutTrailingSlashes(std::move(value));
    const String home = HomeDirectory();
    return home.empty() ? String() : home + u"/" + String(defaultBelowHome);
}

// One entry of user-dirs.dirs, written as XDG_<NAME>_DIR="$HOME/path" or "/absolute/path".
// Without the file or the entry, the desktop is ~/Desktop and every other folder the home.
String UserDirectory(std::string_view name) {
    const String home = HomeDirectory();
    const String config = BaseDirectory(u"XDG_CONFIG_HOME", u".config");
    String result = name == "DESKTOP" && !home.empty() ? home + u"/Desktop" : home;
    if (config.empty()) return result;

    std::ifstream file(ToUtf8(config) + "/user-dirs.dirs");
    const std::string key = "XDG_" + std::string(name) + "_DIR=";
    for (std::string line; std::getline(file, line);) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        if (value.size() < 2 || value.front() != '"') continue;
        const size_t close = value.rfind('"');
        if (close == 0) continue;
        std::string unescaped;
        for (size_t i = 1; i < close; ++i) {
            if (value[i] == '\\' && i + 1 < close) ++i;
            unescaped += value[i];
        }
        String path;
        if (unescaped == "$HOME" || unescaped.starts_with("$HOME/")) {
            path = home + FromUtf8(std::string_view(unescaped).substr(5));
        } else if (unescaped.starts_with("/")) {
            path = FromUtf8(unescaped);
        } else {
            continue;  // the file allows only absolute paths or paths below $HOME
        }
        result = WithoutTrailingSlashes(std::move(path));
    }
    return result;
}

}  // namespace

String KnownFolderPath(int folder) {
    switch (folder) {
        case Profile:
            return HomeDirectory();
        case Desktop:
        case DesktopDirectory:
            return UserDirectory("DESKTOP");
        case Personal:
            return UserDirectory("DOCUMENTS");
        case MyMusic:
            return UserDirectory("MUSIC");
        case MyVideo:
            return UserDirectory("VIDEOS");
        case MyPictures:
            return UserDirectory("PICTURES");
        case Templates:
            return UserDirectory("TEMPLATES");
        case AppData:
            return BaseDirectory(u"XDG_CONFIG_HOME", u".config");
        case LocalAppData:
            return BaseDirectory(u"XDG_DATA_HOME", u".local/share");
        case InternetCache:
            return BaseDirectory(u"XDG_CACHE_HOME", u".cache");
        default:
            return {};
    }
}

}  // namespace wm::platform
