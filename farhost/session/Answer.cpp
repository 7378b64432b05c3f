#include "farhost/session/Answer.h"

#include <cctype>
#include <charconv>

namespace farhost {
namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string_view Trimmed(std::string_view text) {
    const auto start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

}  // namespace

char HotLetter(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return Lower(caption[i + 1]);
        ++i;
    }
    return 0;
}

std::optional<int> ParseAnswer(std::string_view text, const std::vector<std::string>& captions) {
    text = Trimmed(text);
    if (text.empty() || text == "\x1b") return -1;
    const int count = static_cast<int>(captions.size());
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size()) {
        if (number == -1 || (number >= 0 && number < count)) return number;
        return std::nullopt;
    }
    if (text.size() != 1) return std::nullopt;
    for (int i = 0; i < count; ++i) {
        const char hot = HotLetter(captions[static_cast<size_t>(i)]);
        if (hot != 0 && hot == Lower(text[0])) return i;
    }
    return std::nullopt;
}

std::string AnswerHint(const std::vector<std::string>& captions) {
    std::string hint = captions.size() == 1 ? "0" : "0-" + std::to_string(captions.size() - 1);
    std::string letters;
    for (const auto& caption : captions) {
        if (const char hot = HotLetter(caption))
            letters += (letters.empty() ? "" : "/") + std::string(1, hot);
    }
    if (!letters.empty()) hint += " or " + letters;
    return hint + ", Esc or an empty line to cancel";
}

}  // namespace farhost
