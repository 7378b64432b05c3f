// The dialog that creates or edits one waymark: six labelled edits, the name check on OK, and
// the plugin identifier as brace-form GUID text.
#pragma once

#include "core/Guid.h"
#include "framework/FarStandardDialogs.h"

namespace wm {

class TEditWaymarkDialog : public TOkCancelDialog {
public:
    explicit TEditWaymarkDialog(TConstruction key);

    // Shows the fields; on OK they hold what was entered, the identifier as typed (trimmed).
    bool Run();
    // The identifier typed: null when blank, nothing when it is no GUID.
    std::optional<Guid> TypedPluginID() const;

    String Name;
    String Directory;
    String Param;
    String HostFile;
    // Braced GUID text, or empty for none.
    String PluginID;
    String Description;

    void ClearControls() override;
    void SetSize(int w, int h) override;

protected:
    void AdjustSize(int& w, int& h) override;
    void CreateContent() override;

private:
    // OK only while the name is a single component.
    void CheckName(TCustomEdit& sender, bool& allow);

    TLabel* NameLabel = nullptr;
    TEdit* NameEdit = nullptr;
    TLabel* DescriptionLabel = nullptr;
    TEdit* DescriptionEdit = nullptr;
    TLabel* DirectoryLabel = nullptr;
    TEdit* DirectoryEdit = nullptr;
    TLabel* PluginIDLabel = nullptr;
    TEdit* PluginIDEdit = nullptr;
    TLabel* ParamLabel = nullptr;
    TEdit* ParamEdit = nullptr;
    TLabel* HostFileLabel = nullptr;
    TEdit* HostFileEdit = nullptr;
};

}  // namespace wm
