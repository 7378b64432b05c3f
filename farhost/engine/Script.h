// Words of a farhost command line, quoted as a shell quotes: blanks separate them, 'single' and
// "double" quotes group them (\" and \\ inside double quotes), a backslash outside quotes keeps a
// blank, a quote or a backslash in the word; ${NAME} is replaced by a session variable or an
// environment variable.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace farhost {

using VariableLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Replaces every ${NAME}; an unknown name raises std::runtime_error.
std::string ExpandVariables(std::string_view text, const VariableLookup& lookup);

// Splits an expanded line into words; an unterminated quote raises std::runtime_error.
std::vector<std::string> SplitWords(std::string_view line);

// "~" and "~/x" below `home`; other paths unchanged.
std::string ExpandHome(const std::string& path, const std::string& home);

// Compares texts as paths and screen lines: "\" and "/" count as the same character.
bool SameText(std::string_view a, std::string_view b);

// Compares command words: ASCII letters without regard to case.
bool SameWord(std::string_view a, std::string_view b);

}  // namespace farhost
