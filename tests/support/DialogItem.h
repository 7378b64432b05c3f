// A dialog item record as a plugin fills it in, for dialogs made straight from records.
#pragma once

#include "host/PluginW.h"
#include "tests/support/HostText.h"

namespace wm::test {

inline far::FarDialogItem DialogItem(int type, int x1, int y1, int x2, int y2, const char16_t* text,
                                     far::DWORD flags = 0) {
    far::FarDialogItem item{};
    item.Type = type;
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y2;
    item.PtrData = H(text);
    item.Flags = flags;
    return item;
}

}  // namespace wm::test
