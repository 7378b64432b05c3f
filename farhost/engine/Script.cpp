#include "farhost/engine/Script.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace farhost {

std::string ExpandVariables(std::string_view text, const VariableLookup& lookup) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "${") == 0) {
            const auto close = text.find('}', i + 2);
            if (close == std::string_view::npos) throw std::runtime_error("unterminated ${");
            const std::string name(text.substr(i + 2, close - i - 2));
            const auto value = lookup(name);
            if (!value) throw std::runtime_error("unknown variable " + name);
            out += *value;
            i = close + 1;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::vector<std::string> SplitWords(std::string_view line) {
    // A backslash escapes only what would otherwise end or quote a word, so Windows paths
    // (HKCU\Software, C:\x) keep their backslashes.
    const auto escapes = [&](size_t i, std::string_view special) {
        return line[i] == '\\' && i + 1 < line.size() &&
               special.find(line[i + 1]) != std::string_view::npos;
    };
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        std::string word;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            const char quote = line[i];
            if (quote == '"' || quote == '\'') {
                for (++i;; ++i) {
                    if (i >= line.size()) throw std::runtime_error("unterminated quote");
                    if (line[i] == quote) break;
                    if (quote == '"' && escapes(i, "\"\\")) ++i;
                    word += line[i];
                }
                ++i;
            } else {
                if (escapes(i, " \t\"'\\")) ++i;
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string ExpandHome(const std::string& path, const std::string& home) {
    if (path == "~") return home;
    if (path.starts_with("~/")) return home + path.substr(1);
    return path;
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool SameText(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c == '\\' ? '/' : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

}  // namespace farhost
