// The progress indicator's registry: every live indicator is marked when a message box has
// been drawn over it, and puts back the console title and screen when it goes away.
#pragma once

#include "framework/FarModule.h"

namespace wm {

class TFarProgress : public TFarCommonModule {
public:
    TFarProgress();
    virtual ~TFarProgress();
    TFarProgress(const TFarProgress&) = delete;
    TFarProgress& operator=(const TFarProgress&) = delete;

    // Puts back the title and the screen the indicator replaced.
    void Restore();
    void MarkOverwritten() { Overwritten = true; }
    bool IsOverwritten() const { return Overwritten; }

    static void MarkAllOverwritten();

protected:
    String SavedTitle;
    far::HANDLE SavedScreen = far::INVALID_HANDLE_VALUE;
    bool Overwritten = false;
    bool Shown = false;
};

}  // namespace wm
