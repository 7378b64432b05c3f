#include "plugin/uMakeDirUI.h"

namespace wm {
namespace {

// {C1F6A93E-52B8-4D07-8E4A-0D3B7F19E6C2}
constexpr Guid MakeDirDialogId{
    0xC1F6A93E, 0x52B8, 0x4D07, {0x8E, 0x4A, 0x0D, 0x3B, 0x7F, 0x19, 0xE6, 0xC2}};

}  // namespace

TMakeDirDialog::TMakeDirDialog(TConstruction key) : TOkCancelDialog(key, MakeDirDialogId) {}

void TMakeDirDialog::CreateContent() {
    TOkCancelDialog::CreateContent();
    NameEdit = AddEdit(0, 0, 0, u"");
    NameEdit->SetHistory(u"Waymarks_Name");
}

void TMakeDirDialog::ClearControls() {
    TOkCancelDialog::ClearControls();
    NameEdit = nullptr;
}

void TMakeDirDialog::AdjustSize(int& w, int& h) {
    TOkCancelDialog::AdjustSize(w, h);
    h = 7;
}

void TMakeDirDialog::SetSize(int w, int h) {
    TOkCancelDialog::SetSize(w, h);
    if (NameEdit != nullptr) PlaceControl(NameEdit);
}

bool TMakeDirDialog::Run() {
    NameEdit->SetText(Name);
    if (!ExecuteOk()) return false;
    Name = NameEdit->GetText();
    return true;
}

bool TMakeDirDialog::AskName(String& name) {
    auto dialog = TFarDialog::New<TMakeDirDialog>();
    dialog->Name = name;
    if (!dialog->Run()) return false;
    name = dialog->Name;
    return true;
}

}  // namespace wm
