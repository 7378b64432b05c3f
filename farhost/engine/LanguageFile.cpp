#include "farhost/engine/LanguageFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/Exceptions.h"

namespace farhost {
namespace {

wm::String Decode(std::string_view bytes) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF)
        return wm::FromUtf8(bytes.substr(3));
    const bool little = bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE;
    const bool big = bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF;
    wm::String text;
    if (little || big) {
        // A dangling odd byte at the end is dropped.
        text.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned first = byte(i), second = byte(i + 1);
            text.push_back(
                static_cast<char16_t>(little ? first | second << 8 : first << 8 | second));
        }
        return text;
    }
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) text.push_back(static_cast<char16_t>(byte(i)));
    return text;
}

wm::StringView Trim(wm::StringView line) {
    constexpr wm::StringView kBlanks = u" \t\r";
    const size_t first = line.find_first_not_of(kBlanks);
    if (first == wm::StringView::npos) return {};
    return line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
}

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
}

bool EqualNoCase(wm::StringView a, wm::StringView b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

bool StartsWithNoCase(wm::StringView text, wm::StringView prefix) {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

// The text of a message line after its opening quote. The host drops a closing quote at the end
// of the line first, then reads escapes and "" in what is left.
wm::String MessageText(wm::StringView body) {
    if (!body.empty() && body.back() == u'"') body.remove_suffix(1);
    wm::String text;
    for (size_t i = 0; i < body.size(); ++i) {
        const char16_t c = body[i];
        const bool hasNext = i + 1 < body.size();
        if (c == u'\\' && hasNext) {
            const char16_t next = body[i + 1];
            char16_t escaped = 0;
            switch (next) {
                case u'\\':
                    escaped = u'\\';
                    break;
                case u'"':
                    escaped = u'"';
                    break;
                case u'n':
                    escaped = u'\n';
                    break;
                case u'r':
                    escaped = u'\r';
                    break;
                case u't':
                    escaped = u'\t';
                    break;
                case u'b':
                    escaped = u'\b';
                    break;
                default:
                    break;
            }
            if (escaped) {
                text.push_back(escaped);
                ++i;
                continue;
            }
        } else if (c == u'"' && hasNext && body[i + 1] == u'"') {
            ++i;
        }
        text.push_back(c);
    }
    return text;
}

}  // namespace

LanguageFile LanguageFile::Parse(std::string_view bytes) {
    const wm::String text = Decode(bytes);
    const wm::StringView all = text;
    LanguageFile file;
    bool header = false;
    for (size_t start = 0; start <= all.size();) {
        size_t end = all.find(u'\n', start);
        if (end == wm::StringView::npos) end = all.size();
        const wm::StringView line = Trim(all.substr(start, end - start));
        start = end + 1;

        constexpr wm::StringView kLanguage = u".Language=";
        if (!line.empty() && line.front() == u'"') {
            file.messages_.push_back(MessageText(line.substr(1)));
        } else if (!header && StartsWithNoCase(line, kLanguage)) {
            header = true;
            const wm::StringView value = line.substr(kLanguage.size());
            const size_t comma = value.find(u',');
            file.language_ = Trim(value.substr(0, comma));
            if (comma != wm::StringView::npos) file.description_ = Trim(value.substr(comma + 1));
        }
    }
    return file;
}

LanguageFile LanguageFile::Load(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) throw wm::Exception(u"Cannot read language file \"" + file.u16string() + u"\"");
    const std::string bytes(std::istreambuf_iterator<char>(stream),
                            std::istreambuf_iterator<char>{});
    return Parse(bytes);
}

std::optional<std::filesystem::path> LanguageFile::FindForModule(
    const std::filesystem::path& module, wm::StringView language, std::string_view extension) {
    namespace fs = std::filesystem;
    const wm::String wanted = wm::FromUtf8(extension);
    std::vector<fs::path> candidates;
    std::error_code error;
    for (fs::directory_iterator it(module.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && EqualNoCase(it->path().extension().u16string(), wanted))
            candidates.push_back(it->path());
    }
    // Directory order is arbitrary; sorting makes the choice among duplicates repeatable.
    std::sort(candidates.begin(), candidates.end());

    // The language by its whole name, else by its first letters ("ru", "Rus"), else English.
    std::optional<fs::path> english, abbreviated;
    for (const fs::path& candidate : candidates) {
        wm::String name;
        try {
            name = Load(candidate).Language();
        } catch (const std::exception&) {
            continue;
        }
        if (EqualNoCase(name, language)) return candidate;
        if (!abbreviated && language.size() >= 2 && StartsWithNoCase(name, language))
            abbreviated = candidate;
        if (!english && EqualNoCase(name, u"English")) english = candidate;
    }
    return abbreviated ? abbreviated : english;
}

std::optional<LanguageFile> LanguageFile::ForModule(const std::filesystem::path& module,
                                                    wm::StringView language) {
    const auto file = FindForModule(module, language);
    if (!file) return std::nullopt;
    return Load(*file);
}

}  // namespace farhost
