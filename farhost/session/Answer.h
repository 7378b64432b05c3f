// A person's answer to a message or a menu asked at the prompt: a number, a hot letter (the
// letter after "&" in a caption) or a cancel.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace farhost {

// The hot letter of a caption, lower-cased (ASCII); 0 when it has none. "&&" is a plain "&".
char HotLetter(std::string_view caption);

// -1 for a cancel (an empty line or Esc), the choice for a number from 0 to count - 1 or a hot
// letter of one of `captions`; nullopt for anything else. A number wins over a hot digit.
std::optional<int> ParseAnswer(std::string_view text, const std::vector<std::string>& captions);

// What to type, said before the question: "0-2 or y/n, Esc or an empty line to cancel".
std::string AnswerHint(const std::vector<std::string>& captions);

}  // namespace farhost
