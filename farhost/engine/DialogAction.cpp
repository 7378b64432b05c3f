#include "farhost/engine/DialogAction.h"

#include <array>
#include <cctype>
#include <charconv>
#include <utility>

#include "core/Exceptions.h"
#include "farhost/engine/Script.h"

namespace farhost {
namespace {

struct NamedKey {
    std::string_view name;
    uint32_t key;
};

constexpr std::array<NamedKey, 16> kNamedKeys{{
    {"Enter", keys::Enter},
    {"Esc", keys::Esc},
    {"Tab", keys::Tab},
    {"Space", keys::Space},
    {"BS", keys::BS},
    {"Ins", keys::Ins},
    {"Del", keys::Del},
    {"Home", keys::Home},
    {"End", keys::End},
    {"PgUp", keys::PgUp},
    {"PgDn", keys::PgDn},
    {"Up", keys::Up},
    {"Down", keys::Down},
    {"Left", keys::Left},
    {"Right", keys::Right},
    {"F1", keys::F1},
}};

constexpr std::array<NamedKey, 3> kModifiers{{
    {"Ctrl", keys::Ctrl},
    {"Alt", keys::Alt},
    {"Shift", keys::Shift},
}};

[[noreturn]] void Fail(std::string_view line, std::string_view reason) {
    throw wm::Exception(wm::FromUtf8("Invalid dialog action \"" + std::string(line) +
                                     "\": " + std::string(reason)));
}

bool ParseNumber(std::string_view text, int64_t& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

// Splits a line into words; a double-quoted word keeps its blanks and loses its escapes.
class Words {
public:
    explicit Words(std::string_view line) : line_(line) {}

    bool AtEnd() {
        SkipBlanks();
        return position_ >= line_.size();
    }

    std::string Next(std::string_view what) {
        if (AtEnd()) Fail(line_, "missing " + std::string(what));
        if (line_[position_] == '"') return Quoted();
        const size_t start = position_;
        while (position_ < line_.size() && !IsBlank(line_[position_])) ++position_;
        return std::string(line_.substr(start, position_ - start));
    }

    int Number(std::string_view what) {
        const std::string word = Next(what);
        int64_t value = 0;
        if (!ParseNumber(word, value) || value < INT32_MIN || value > INT32_MAX)
            Fail(line_, std::string(what) + " is not a number: " + word);
        return static_cast<int>(value);
    }

    wm::String Text() {
        SkipBlanks();
        if (position_ >= line_.size() || line_[position_] != '"')
            Fail(line_, "the text must be in double quotes");
        return wm::FromUtf8(Quoted());
    }

    void End() {
        if (!AtEnd()) Fail(line_, "unexpected \"" + std::string(line_.substr(position_)) + "\"");
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    void SkipBlanks() {
        while (position_ < line_.size() && IsBlank(line_[position_])) ++position_;
    }

    std::string Quoted() {
        std::string text;
        for (++position_; position_ < line_.size(); ++position_) {
            char c = line_[position_];
            if (c == '"') {
                ++position_;
                return text;
            }
            if (c == '\\' && position_ + 1 < line_.size()) {
                switch (c = line_[++position_]) {
                    case 'n':
                        c = '\n';
                        break;
                    case 't':
                        c = '\t';
                        break;
                    case '"':
                    case '\\':
                        break;
                    default:
                        Fail(line_, std::string("unknown escape \\") + c);
                }
            }
            text.push_back(c);
        }
        Fail(line_, "the text has no closing quote");
    }

    std::string_view line_;
    size_t position_ = 0;
};

std::string Quote(const wm::String& text) {
    std::string quoted = "\"";
    for (const char c : wm::ToUtf8(text)) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                quoted.push_back(c);
        }
    }
    return quoted + "\"";
}

}  // namespace

DialogAction ParseDialogAction(std::string_view line) {
    Words words(line);
    const std::string verb = words.Next("action");
    DialogAction action;
    if (SameWord(verb, "type") || SameWord(verb, "set")) {
        action.kind = SameWord(verb, "type") ? DialogAction::Kind::Type : DialogAction::Kind::Set;
        action.item = words.Number("item");
        action.text = words.Text();
    } else if (SameWord(verb, "click") || SameWord(verb, "focus")) {
        action.kind =
            SameWord(verb, "click") ? DialogAction::Kind::Click : DialogAction::Kind::Focus;
        action.item = words.Number("item");
    } else if (SameWord(verb, "key")) {
        action.kind = DialogAction::Kind::Key;
        const std::string name = words.Next("key");
        try {
            action.key = ParseKey(name);
        } catch (const wm::Exception& error) {
            Fail(line, wm::ToUtf8(error.Message()));
        }
    } else if (SameWord(verb, "esc")) {
        action.kind = DialogAction::Kind::Esc;
    } else if (SameWord(verb, "resize")) {
        action.kind = DialogAction::Kind::Resize;
        action.width = words.Number("width");
        action.height = words.Number("height");
        if (action.width <= 0 || action.height <= 0 || action.width > INT16_MAX ||
            action.height > INT16_MAX)
            Fail(line, "the console size is out of range");
    } else if (SameWord(verb, "show")) {
        action.kind = DialogAction::Kind::Show;
    } else {
        Fail(line, "unknown action " + verb);
    }
    words.End();
    return action;
}

std::vector<DialogAction> ParseDialogActions(std::string_view script) {
    std::vector<DialogAction> actions;
    while (!script.empty()) {
        const size_t end = script.find('\n');
        std::string_view line = script.substr(0, end);
        script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#') continue;
        actions.push_back(ParseDialogAction(line));
    }
    return actions;
}

std::string DialogActionText(const DialogAction& action) {
    using Kind = DialogAction::Kind;
    switch (action.kind) {
        case Kind::Type:
            return "type " + std::to_string(action.item) + " " + Quote(action.text);
        case Kind::Set:
            return "set " + std::to_string(action.item) + " " + Quote(action.text);
        case Kind::Click:
            return "click " + std::to_string(action.item);
        case Kind::Focus:
            return "focus " + std::to_string(action.item);
        case Kind::Key:
            return "key " + KeyName(action.key);
        case Kind::Esc:
            return "esc";
        case Kind::Resize:
            return "resize " + std::to_string(action.width) + " " + std::to_string(action.height);
        case Kind::Show:
            return "show";
    }
    return {};
}

uint32_t ParseKey(std::string_view name) {
    const std::string_view whole = name;
    const auto fail = [&] {
        throw wm::Exception(wm::FromUtf8("unknown key " + std::string(whole)));
    };
    uint32_t modifiers = 0;
    for (bool found = true; found && name.size() > 1;) {
        found = false;
        for (const auto& modifier : kModifiers) {
            const size_t length = modifier.name.size();
            if (name.size() > length + 1 && name[length] == '+' &&
                SameWord(name.substr(0, length), modifier.name)) {
                modifiers |= modifier.key;
                name.remove_prefix(length + 1);
                found = true;
            }
        }
    }
    for (const auto& named : kNamedKeys) {
        if (SameWord(name, named.name)) return modifiers | named.key;
    }
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        int64_t number = 0;
        if (ParseNumber(name.substr(1), number) && number >= 1 && number <= 12)
            return modifiers | (keys::F1 + static_cast<uint32_t>(number - 1));
    }
    const wm::String character = wm::FromUtf8(name);
    if (character.size() == 1 && character[0] != 0xFFFD) return modifiers | character[0];
    int64_t number = 0;
    if (ParseNumber(name, number) && number > 0 && number <= INT32_MAX)
        return modifiers | static_cast<uint32_t>(number);
    fail();
    return 0;
}

std::string KeyName(uint32_t key) {
    std::string name;
    for (const auto& modifier : kModifiers) {
        if (key & modifier.key) name += std::string(modifier.name) + "+";
    }
    const uint32_t code = key & ~keys::ModifierMask;
    for (const auto& named : kNamedKeys) {
        if (code == named.key) return name + std::string(named.name);
    }
    if (code > keys::F1 && code < keys::F1 + 12)
        return name + "F" + std::to_string(code - keys::F1 + 1);
    if (code > keys::Space && code < keys::Extended && (code < 0xD800 || code > 0xDFFF))
        return name + wm::ToUtf8(wm::String(1, static_cast<char16_t>(code)));
    // Anything else as a number, with the modifier bits not named above.
    char hex[16];
    const uint32_t rest = key & ~(keys::Ctrl | keys::Alt | keys::Shift);
    const auto end = std::to_chars(hex, hex + sizeof hex, rest, 16).ptr;
    return name + "0x" + std::string(hex, end);
}

}  // namespace farhost
