// The options dialog: one check box per switch of TOptions.
#pragma once

#include <array>

#include "framework/FarStandardDialogs.h"
#include "plugin/uOptions.h"

namespace wm {

class TOptionsDialog : public TOkCancelDialog {
public:
    static constexpr int kSwitchCount = 10;

    TOptionsDialog(TConstruction key, TOptions& options);

    // Shows the switches of Options; on OK stores the boxes' states back into it.
    bool Run();

    // Loads the stored options and runs the dialog; on OK saves all of them.
    static bool ConfigureOptions();

    void ClearControls() override;
    void SetSize(int w, int h) override;

protected:
    void AdjustSize(int& w, int& h) override;
    void CreateContent() override;

private:
    // The option behind each box, in box order.
    std::array<bool*, kSwitchCount> Switches();

    TOptions& Options;
    std::array<TCheckbox*, kSwitchCount> Boxes_{};
};

}  // namespace wm
