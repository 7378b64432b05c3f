// Texts of menu items, buttons and labels: "&x" marks x as the item's hot key and is shown as x;
// "&&" shows one '&'.
#pragma once

#include <cstdint>

#include "core/String.h"

namespace farhost {

struct HotKeyText {
    wm::String shown;
    int hotKey = -1;  // index of the hot key in `shown`, or -1
};

HotKeyText ParseHotKeyText(wm::StringView text);

// The character in lower case, for comparing hot keys without regard to case.
char16_t FoldCase(char16_t c);

// The character a key press stands for when it could be a hot key: a plain or Alt+ character
// (Shift allowed), folded; 0 for anything else.
char16_t HotKeyOf(uint32_t key);

}  // namespace farhost
