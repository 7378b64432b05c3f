// The console as a whole: its size, a full redraw, saved screens and the title.
#pragma once

#include "framework/FarModule.h"

namespace wm {

class TFarScreen : public TFarCommonModule {
public:
    // The host window's size; 80 x 25 when the host does not tell.
    static int GetWidth();
    static int GetHeight();
    static void RedrawAll();
    // Restores a saved screen once: the handle becomes INVALID_HANDLE_VALUE.
    static void RestoreScreen(far::HANDLE& handle);
    static void SetConsoleTitle(StringView title);

private:
    static far::SMALL_RECT GetFarRect();
};

}  // namespace wm
