// The host's key codes for what a terminal sends: control characters, and the escape sequences
// of xterm-like terminals (cursor and function keys with their modifiers) that the terminal
// library leaves undecoded.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace farhost {

// A character the terminal delivered as it is: Ctrl+letter for control characters other than
// Tab, Enter, Backspace and Esc; printable characters are their own code.
uint32_t KeyOfCharacter(char32_t ch);

// Whether `bytes`, read after an ESC, form a whole sequence: ESC [ ... final byte, ESC O and one
// byte, or one other character (Alt with that key).
bool EscapeSequenceComplete(std::string_view bytes);

// The key an ESC followed by `bytes` means: CSI and SS3 sequences (ESC [ 1 ; 5 A is Ctrl+Up,
// ESC [ 15 ; 2 ~ Shift+F5, ESC [ 27 ; 2 ; 13 ~ and ESC [ 13 ; 2 u Shift+Enter), or Alt with
// a single key. Empty `bytes` is Esc itself; nullopt for a sequence that means no key.
std::optional<uint32_t> DecodeEscapeSequence(std::string_view bytes);

// The modifier bits of an xterm modifier parameter (2 Shift, 3 Alt, 5 Ctrl, ...).
uint32_t ModifiersOfParameter(int parameter);

}  // namespace farhost
