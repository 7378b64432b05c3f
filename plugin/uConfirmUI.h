// The question before an overwrite: a waymark stored under the same name, or a file on disk.
// Five answers: overwrite this one or all, skip this one or all, cancel.
#pragma once

#include "framework/FarStandardDialogs.h"
#include "plugin/uInfo.h"

namespace wm {

class TConfirmOverwriteDialog : public TButtonsDialog {
public:
    enum TAnswer : int {
        OverwriteOne = 0,
        OverwriteAll = 1,
        SkipOne = 2,
        SkipAll = 3,
        CancelAll = 4,
    };

    // One description line: Caption, then Text fitted to the room left, then Details.
    struct TItemDescription {
        String Details;
        String Text;
        String Caption;
        bool Empty() const { return Details.empty() && Text.empty() && Caption.empty(); }
    };

    explicit TConfirmOverwriteDialog(TConstruction key);

    // The descriptions stay the caller's; either may be null.
    static int Ask(StringView question, const TItemDescription* existing,
                   const TItemDescription* incoming);

    int Run();

    String Question;
    const TItemDescription* Existing = nullptr;
    const TItemDescription* Incoming = nullptr;

    void ClearControls() override;
    void SetSize(int w, int h) override;

protected:
    void AdjustSize(int& w, int& h) override;
    void CreateContent() override;
    void CreateButtons() override;

private:
    static void FormatInto(const TItemDescription* description, TLabel* label);
    // Shows the label when it has something to say; the dialog grows or shrinks by its row.
    void ShowWhenDescribed(TLabel* label, const TItemDescription* description);

    TLabel* QuestionLabel = nullptr;
    TLabel* ExistingLabel = nullptr;
    TLabel* IncomingLabel = nullptr;
    TSeparator* InnerSeparator = nullptr;
    TCheckbox* ApplyToAllCheckbox = nullptr;
    TButton* OverwriteButton = nullptr;
    TButton* SkipButton = nullptr;
    TButton* CancelButton = nullptr;
};

class TConfirmOverwriteWaymarkDialog : public TConfirmOverwriteDialog {
public:
    static int Ask(const TWaymarkInfo& existing, const TWaymarkInfo& incoming);
};

class TConfirmOverwriteFileDialog : public TConfirmOverwriteDialog {
public:
    static int Ask(StringView path);
    // The line that describes what is at `path`: message `caption`, the path, and its size or
    // directory mark with its last-write time, or message 35 when nothing is there.
    static TItemDescription DescribeFile(int caption, StringView path);
};

}  // namespace wm
