#include "plugin/uOptionsUI.h"

#include "plugin/uFunctions.h"
#include "plugin/uMessages.h"

namespace wm {
namespace {

// {8E2D4B17-3C6A-4F95-A0D1-7B5E9C2F4A63}
constexpr Guid OptionsDialogId{
    0x8E2D4B17, 0x3C6A, 0x4F95, {0xA0, 0xD1, 0x7B, 0x5E, 0x9C, 0x2F, 0x4A, 0x63}};

// The engine switches sit two cells in under the master switch.
constexpr int kIndents[TOptionsDialog::kSwitchCount] = {0, 0, 2, 2, 2, 2, 0, 0, 0, 0};

}  // namespace

TOptionsDialog::TOptionsDialog(TConstruction key, TOptions& options)
    : TOkCancelDialog(key, OptionsDialogId), Options(options) {}

std::array<bool*, TOptionsDialog::kSwitchCount> TOptionsDialog::Switches() {
    return {&Options.SaveLastPanelDir,         &Options.UseSubstEngines,
            &Options.UseSubstEngine_Known,     &Options.UseSubstEngines_Env,
            &Options.UseSubstEngines_BatchEnv, &Options.UseSubstEngines_Reg,
            &Options.AllowPathSuffix,          &Options.AllowPluginCalls,
            &Options.AllowFuzzySearch,         &Options.AllowSearchOverDir};
}

void TOptionsDialog::CreateContent() {
    TOkCancelDialog::CreateContent();
    for (int i = 0; i < kSwitchCount; ++i) {
        Boxes_[i] = AddCheckbox(0, 0, GetMessageText(MOptSaveLastPanelDir + i), false);
    }
}

void TOptionsDialog::ClearControls() {
    TOkCancelDialog::ClearControls();
    Boxes_.fill(nullptr);
}

void TOptionsDialog::AdjustSize(int& w, int& h) {
    TOkCancelDialog::AdjustSize(w, h);
    h = 16;
}

void TOptionsDialog::SetSize(int w, int h) {
    TOkCancelDialog::SetSize(w, h);
    for (int i = 0; i < kSwitchCount; ++i) {
        if (Boxes_[i] != nullptr) PlaceControl(Boxes_[i], kIndents[i]);
    }
}

bool TOptionsDialog::Run() {
    const auto switches = Switches();
    for (int i = 0; i < kSwitchCount; ++i) Boxes_[i]->SetChecked(*switches[i]);
    if (!ExecuteOk()) return false;
    for (int i = 0; i < kSwitchCount; ++i) *switches[i] = Boxes_[i]->GetChecked();
    return true;
}

bool TOptionsDialog::ConfigureOptions() {
    TOptions options;
    auto dialog = TFarDialog::New<TOptionsDialog>(options);
    if (!dialog->Run()) return false;
    // Confirmed but not stored is no success: the export's report tells the user.
    if (!options.Save()) throw EWaymarkError(u"The options could not be saved");
    return true;
}

}  // namespace wm
