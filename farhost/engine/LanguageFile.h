// The host's language files (.lng) and the header of its help files (.hlf).
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/String.h"

namespace farhost {

class LanguageFile {
public:
    // The byte-order mark decides the encoding (UTF-8, UTF-16LE, UTF-16BE); without one the
    // bytes are read as Latin-1, our stand-in for the console's OEM code page.
    static LanguageFile Parse(std::string_view bytes);
    // Reads and parses a file; throws wm::Exception when it cannot be read.
    static LanguageFile Load(const std::filesystem::path& file);

    // From the header ".Language=Name,Description"; empty when the file has none.
    const wm::String& Language() const { return language_; }
    const wm::String& Description() const { return description_; }
    // Message N is Messages()[N].
    const std::vector<wm::String>& Messages() const { return messages_; }

    // The file with `extension` in the module's folder whose language is `language`, else the
    // English one; std::nullopt when there is neither. Languages compare without regard to case.
    static std::optional<std::filesystem::path> FindForModule(const std::filesystem::path& module,
                                                              wm::StringView language,
                                                              std::string_view extension = ".lng");
    // The module's parsed .lng file chosen as above.
    static std::optional<LanguageFile> ForModule(const std::filesystem::path& module,
                                                 wm::StringView language);

private:
    wm::String language_;
    wm::String description_;
    std::vector<wm::String> messages_;
};

}  // namespace farhost
