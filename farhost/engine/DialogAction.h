// What a user does to a running dialog, one action per script line:
//   type 3 "abc"    types the characters into edit 3, one change notification each
//   set 3 "abc"     replaces the text of edit 3 at once
//   click 5         clicks button, check box or radio button 5 (focusing it first)
//   focus 2         moves the focus to item 2
//   key Ctrl+F4     presses a key (see ParseKey)
//   esc             presses Esc
//   resize 100 30   resizes the console
//   show            draws the dialog into the host's record of screens
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/String.h"
#include "host/FarKeysW.h"

namespace farhost {

// The host's key codes: characters are their own code, other keys an extended code, and the
// modifiers high bits.
namespace keys {
constexpr uint32_t BS = 8;
constexpr uint32_t Tab = 9;
constexpr uint32_t Enter = 13;
constexpr uint32_t Esc = 27;
constexpr uint32_t Space = 32;
constexpr uint32_t Extended = far::keys::Extended;
constexpr uint32_t PgUp = Extended + 0x21;
constexpr uint32_t PgDn = Extended + 0x22;
constexpr uint32_t End = Extended + 0x23;
constexpr uint32_t Home = Extended + 0x24;
constexpr uint32_t Left = Extended + 0x25;
constexpr uint32_t Up = Extended + 0x26;
constexpr uint32_t Right = Extended + 0x27;
constexpr uint32_t Down = Extended + 0x28;
constexpr uint32_t Ins = Extended + 0x2D;
constexpr uint32_t Del = Extended + 0x2E;
constexpr uint32_t F1 = Extended + 0x70;  // F2 to F12 follow
constexpr uint32_t Ctrl = far::keys::Ctrl;
constexpr uint32_t Alt = far::keys::Alt;
constexpr uint32_t Shift = far::keys::Shift;
constexpr uint32_t ModifierMask = far::keys::ModifierMask;
}  // namespace keys

struct DialogAction {
    enum class Kind { Type, Set, Click, Focus, Key, Esc, Resize, Show };

    Kind kind = Kind::Esc;
    int item = -1;     // Type, Set, Click, Focus
    wm::String text;   // Type, Set
    uint32_t key = 0;  // Key
    int width = 0;     // Resize
    int height = 0;    // Resize

    bool operator==(const DialogAction&) const = default;

    static DialogAction Type(int item, wm::String text) {
        return Make(Kind::Type, item, std::move(text));
    }
    static DialogAction Set(int item, wm::String text) {
        return Make(Kind::Set, item, std::move(text));
    }
    static DialogAction Click(int item) { return Make(Kind::Click, item); }
    static DialogAction Focus(int item) { return Make(Kind::Focus, item); }
    static DialogAction Key(uint32_t key) {
        DialogAction action = Make(Kind::Key);
        action.key = key;
        return action;
    }
    static DialogAction Escape() { return Make(Kind::Esc); }
    static DialogAction Resize(int width, int height) {
        DialogAction action = Make(Kind::Resize);
        action.width = width;
        action.height = height;
        return action;
    }
    static DialogAction Show() { return Make(Kind::Show); }

private:
    static DialogAction Make(Kind kind, int item = -1, wm::String text = {}) {
        DialogAction action;
        action.kind = kind;
        action.item = item;
        action.text = std::move(text);
        return action;
    }
};

// One script line as above; texts are UTF-8 in double quotes with \" \\ \n \t escapes.
// Throws wm::Exception naming the line when it is not an action.
DialogAction ParseDialogAction(std::string_view line);
// One action per line; blank lines and lines starting with '#' are skipped.
std::vector<DialogAction> ParseDialogActions(std::string_view script);
// The line ParseDialogAction reads back into the same action.
std::string DialogActionText(const DialogAction& action);

// "Enter", "Esc", "Tab", "Space", "BS", "Ins", "Del", "Home", "End", "PgUp", "PgDn", "Up",
// "Down", "Left", "Right", "F1" to "F12" (any case), one character, or a number (decimal or
// 0x hexadecimal); each with any of the prefixes "Ctrl+", "Alt+", "Shift+". Throws
// wm::Exception for anything else.
uint32_t ParseKey(std::string_view name);
std::string KeyName(uint32_t key);

}  // namespace farhost
