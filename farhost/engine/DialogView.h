// A running dialog as a person sees and drives it. The drawing puts the dialog at its place on
// the screen: frames with their titles, labels with their alignment, separators, edits with
// their text, check boxes "[x]", radio buttons "(•)", buttons "[ OK ]" ("{ OK }" for the default
// button) with centred groups placed. Hidden items are left out; a disabled button, check box or
// radio button has "<" and ">" for brackets, a disabled edit is filled with '░' instead of '·'.
// Styles mark the focused item, edit fields, disabled items and hot keys (warning colours for a
// warning dialog), and the terminal's cursor stands in the focused edit line.
#pragma once

#include <cstdint>
#include <optional>

#include "farhost/engine/DialogAction.h"
#include "farhost/engine/HostDialog.h"
#include "farhost/engine/ScreenBuffer.h"

namespace farhost {

void DrawDialog(const HostDialog& dialog, ScreenBuffer& screen);

// What a key press does to the running dialog. The dialog's engine takes every key itself
// (the plugin sees it first as DN_KEY): typing and cursor keys in edit lines, Tab/Shift+Tab and
// the arrows for the focus, Space for check boxes and radio buttons, Enter, Esc, hot keys.
// std::nullopt when the key means nothing (no key, modifiers alone, or the dialog is not
// running).
std::optional<DialogAction> DialogKeyAction(const HostDialog& dialog, uint32_t key);

}  // namespace farhost
