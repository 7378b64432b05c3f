// The new-group dialog: one name field with the name history.
#pragma once

#include "framework/FarStandardDialogs.h"

namespace wm {

class TMakeDirDialog : public TOkCancelDialog {
public:
    explicit TMakeDirDialog(TConstruction key);

    // Shows Name; on OK replaces it with the text typed, unchecked.
    bool Run();

    // Runs the dialog on `name`; on OK `name` holds what was typed.
    static bool AskName(String& name);

    String Name;
    TEdit* GetNameEdit() const { return NameEdit; }

    void ClearControls() override;
    void SetSize(int w, int h) override;

protected:
    void AdjustSize(int& w, int& h) override;
    void CreateContent() override;

    TEdit* NameEdit = nullptr;
};

}  // namespace wm
