#include "farhost/screen/TerminalKeys.h"

#include <string>
#include <vector>

#include "farhost/engine/DialogAction.h"

namespace farhost {
namespace {

uint32_t FunctionKey(int number) {
    return keys::F1 + static_cast<uint32_t>(number - 1);
}

// The key of a "CSI number ~" sequence.
std::optional<uint32_t> TildeKey(int number) {
    switch (number) {
        case 1:
        case 7:
            return keys::Home;
        case 2:
            return keys::Ins;
        case 3:
            return keys::Del;
        case 4:
        case 8:
            return keys::End;
        case 5:
            return keys::PgUp;
        case 6:
            return keys::PgDn;
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
            return FunctionKey(number - 10);
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
            return FunctionKey(number - 11);
        case 23:
        case 24:
            return FunctionKey(number - 12);
        default:
            return std::nullopt;
    }
}

// The key of a sequence ending in a letter (CSI or SS3).
std::optional<uint32_t> LetterKey(char final) {
    switch (final) {
        case 'A':
            return keys::Up;
        case 'B':
            return keys::Down;
        case 'C':
            return keys::Right;
        case 'D':
            return keys::Left;
        case 'H':
            return keys::Home;
        case 'F':
            return keys::End;
        case 'P':
        case 'Q':
        case 'R':
        case 'S':
            return FunctionKey(final - 'P' + 1);
        case 'M':
            return keys::Enter;  // the keypad's Enter in application mode
        default:
            return std::nullopt;
    }
}

// "1;5" as {1, 5}; an empty field is 0.
std::vector<int> Parameters(std::string_view text) {
    std::vector<int> numbers{0};
    for (const char c : text) {
        if (c == ';') {
            numbers.push_back(0);
        } else if (c >= '0' && c <= '9') {
            numbers.back() = numbers.back() * 10 + (c - '0');
        }
    }
    return numbers;
}

}  // namespace

uint32_t KeyOfCharacter(char32_t ch) {
    if (ch == 127 || ch == keys::BS) return keys::BS;
    if (ch == '\n' || ch == '\r') return keys::Enter;
    if (ch == keys::Tab || ch == keys::Esc) return ch;
    if (ch == 0) return keys::Ctrl | keys::Space;
    if (ch < 27) return keys::Ctrl | static_cast<uint32_t>('A' + ch - 1);
    if (ch < 32) return keys::Ctrl | static_cast<uint32_t>('\\' + ch - 28);
    return ch;
}

uint32_t ModifiersOfParameter(int parameter) {
    if (parameter < 2) return 0;
    const int bits = parameter - 1;
    uint32_t modifiers = 0;
    if (bits & 1) modifiers |= keys::Shift;
    if (bits & (2 | 8)) modifiers |= keys::Alt;
    if (bits & 4) modifiers |= keys::Ctrl;
    return modifiers;
}

bool EscapeSequenceComplete(std::string_view bytes) {
    if (bytes.empty()) return false;
    if (bytes[0] == 'O') return bytes.size() >= 2;
    if (bytes[0] != '[') return true;
    if (bytes.size() < 2) return false;
    const unsigned char last = static_cast<unsigned char>(bytes.back());
    return bytes.size() > 1 && last >= 0x40 && last <= 0x7E;
}

std::optional<uint32_t> DecodeEscapeSequence(std::string_view bytes) {
    if (bytes.empty()) return keys::Esc;
    if (bytes.size() == 1) {
        const uint32_t key = KeyOfCharacter(static_cast<unsigned char>(bytes[0]));
        return keys::Alt | key;
    }
    if (bytes[0] == 'O' && bytes.size() == 2) return LetterKey(bytes[1]);
    if (bytes[0] != '[' || !EscapeSequenceComplete(bytes)) return std::nullopt;
    const char final = bytes.back();
    const auto numbers = Parameters(bytes.substr(1, bytes.size() - 2));
    if (final == 'Z') return keys::Shift | keys::Tab;
    if (final == '~') {
        // xterm's modifyOtherKeys: CSI 27 ; modifier ; character ~
        if (numbers[0] == 27 && numbers.size() == 3)
            return ModifiersOfParameter(numbers[1]) | KeyOfCharacter(numbers[2]);
        const auto key = TildeKey(numbers[0]);
        if (!key) return std::nullopt;
        return (numbers.size() > 1 ? ModifiersOfParameter(numbers[1]) : 0) | *key;
    }
    if (final == 'u') {
        return (numbers.size() > 1 ? ModifiersOfParameter(numbers[1]) : 0) |
               KeyOfCharacter(static_cast<char32_t>(numbers[0]));
    }
    const auto key = LetterKey(final);
    if (!key) return std::nullopt;
    return (numbers.size() > 1 ? ModifiersOfParameter(numbers[1]) : 0) | *key;
}

}  // namespace farhost
