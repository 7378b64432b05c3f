#include "plugin/uEditUI.h"

#include "plugin/uFunctions.h"
#include "plugin/uMessages.h"

namespace wm {
namespace {

// {5B0E7C42-9A1D-4E36-B8F5-2C7D41A09E3B}
constexpr Guid EditDialogId{
    0x5B0E7C42, 0x9A1D, 0x4E36, {0xB8, 0xF5, 0x2C, 0x7D, 0x41, 0xA0, 0x9E, 0x3B}};

// Text with nothing but these is no identifier (a history may hold the blank form of a mask).
constexpr StringView kGuidPunctuation = u" {}-";

}  // namespace

TEditWaymarkDialog::TEditWaymarkDialog(TConstruction key) : TOkCancelDialog(key, EditDialogId) {
    SetHelpTopic(u"Editor");
}

void TEditWaymarkDialog::CreateContent() {
    TOkCancelDialog::CreateContent();
    const struct {
        TLabel*& label;
        TEdit*& edit;
        int message;
        const char16_t* history;
    } rows[] = {
        {NameLabel, NameEdit, MEditName, u"Waymarks_Name"},
        {DescriptionLabel, DescriptionEdit, MEditDescription, u"Waymarks_Description"},
        {DirectoryLabel, DirectoryEdit, MEditDirectory, u"Waymarks_Directory"},
        {PluginIDLabel, PluginIDEdit, MEditPluginId, u"Waymarks_PluginID"},
        {ParamLabel, ParamEdit, MEditParam, u"Waymarks_Param"},
        {HostFileLabel, HostFileEdit, MEditHostFile, u"Waymarks_HostFile"},
    };
    for (const auto& row : rows) {
        row.label = AddLabel(0, 0, 0, GetMessageText(row.message), 1);
        row.edit = AddEdit(0, 0, 0, u"");
        row.edit->SetHistory(row.history);
    }
    NameEdit->SetOnChange([this](TCustomEdit& sender, bool& allow) { CheckName(sender, allow); });
    // No mask: the host keeps a mask where the history's name goes, and applies it only to
    // fixed-width edits.
}

void TEditWaymarkDialog::ClearControls() {
    TOkCancelDialog::ClearControls();
    NameLabel = DescriptionLabel = DirectoryLabel = PluginIDLabel = ParamLabel = HostFileLabel =
        nullptr;
    NameEdit = DescriptionEdit = DirectoryEdit = PluginIDEdit = ParamEdit = HostFileEdit = nullptr;
}

void TEditWaymarkDialog::AdjustSize(int& w, int& h) {
    TOkCancelDialog::AdjustSize(w, h);
    h = 18;
}

void TEditWaymarkDialog::SetSize(int w, int h) {
    TOkCancelDialog::SetSize(w, h);
    if (NameEdit == nullptr) return;
    TControl* const controls[] = {NameLabel,      NameEdit,      DescriptionLabel, DescriptionEdit,
                                  DirectoryLabel, DirectoryEdit, PluginIDLabel,    PluginIDEdit,
                                  ParamLabel,     ParamEdit,     HostFileLabel,    HostFileEdit};
    for (TControl* control : controls) PlaceControl(control);
    NameEdit->SetWidth(10);
    PluginIDEdit->SetWidth(40);
}

void TEditWaymarkDialog::CheckName(TCustomEdit& sender, bool& /*allow*/) {
    const String name = sender.GetText();
    if (OkButton != nullptr) {
        OkButton->SetEnabled(name.find_first_of(u"\\/") == String::npos);
    }
}

bool TEditWaymarkDialog::Run() {
    NameEdit->SetText(Name);
    DescriptionEdit->SetText(Description);
    DirectoryEdit->SetText(Directory);
    PluginIDEdit->SetText(PluginID);
    ParamEdit->SetText(Param);
    HostFileEdit->SetText(HostFile);
    if (!ExecuteOk()) return false;
    Name = NameEdit->GetText();
    Description = DescriptionEdit->GetText();
    Directory = DirectoryEdit->GetText();
    PluginID = Trim(PluginIDEdit->GetText());
    Param = ParamEdit->GetText();
    HostFile = HostFileEdit->GetText();
    return true;
}

std::optional<Guid> TEditWaymarkDialog::TypedPluginID() const {
    if (PluginID.find_first_not_of(kGuidPunctuation) == String::npos) return NullGuid;
    return TryStringToGuid(PluginID);
}

}  // namespace wm
