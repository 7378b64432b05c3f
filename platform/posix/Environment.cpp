#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/CharCase.h"
#include "platform/Environment.h"

extern char** environ;

namespace wm::platform {
namespace {

bool IsValidName(StringView name) {
    return !name.empty() && name.find_first_of(StringView(u"=\0", 2)) == StringView::npos;
}

// The first variable whose name differs from `name` at most in case, or null.
const char* FindIgnoringCase(StringView name, std::string* foundName = nullptr) {
    const String folded = UpperCaseText(name);
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (equals == nullptr) continue;
        const std::string_view entryName(*entry, static_cast<size_t>(equals - *entry));
        if (UpperCaseText(FromUtf8(entryName)) == folded) {
            if (foundName != nullptr) *foundName = entryName;
            return equals + 1;
        }
    }
    return nullptr;
}

}  // namespace

String EnvironmentValue(StringView name) {
    if (!IsValidName(name)) return {};
    if (const char* value = std::getenv(ToUtf8(name).c_str())) return FromUtf8(value);
    const char* value = FindIgnoringCase(name);
    return value != nullptr ? FromUtf8(value) : String();
}

bool SetEnvironmentValue(StringView name, StringView value) {
    if (!IsValidName(name) || value.find(u'\0') != StringView::npos) return false;
    return setenv(ToUtf8(name).c_str(), ToUtf8(value).c_str(), 1) == 0;
}

// Removes every spelling of the name, so that no other case of it shows through afterwards.
bool UnsetEnvironmentValue(StringView name) {
    if (!IsValidName(name)) return false;
    if (unsetenv(ToUtf8(name).c_str()) != 0) return false;
    std::string other;
    while (FindIgnoringCase(name, &other) != nullptr) {
        if (unsetenv(other.c_str()) != 0) return false;
    }
    return true;
}

}  // namespace wm::platform
