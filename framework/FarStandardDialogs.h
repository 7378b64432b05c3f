// The framework's standard dialog shapes: a double frame titled with the plugin's title, a
// content area filled from the top by the descendant, a separator and one row of buttons; and
// the same with OK and Cancel.
#pragma once

#include "framework/FarDialogControls.h"

namespace wm {

class TButtonsDialog : public TFarDialog {
public:
    // A rectangle in dialog cells.
    struct TRect {
        int Left = 0;
        int Top = 0;
        int Width = 0;
        int Height = 0;
    };

    TButtonsDialog(TConstruction key, const Guid& id);

    // The part of the content area no control has taken yet.
    TRect GetContentRect();
    // Gives the control the next free rows, less the indents, with `spacing` empty rows after
    // it. A hidden control is positioned but takes no rows unless `force` is set; the result
    // says whether it took them.
    bool PlaceControl(TControl* control, int leftIndent = 0, int rightIndent = 0, int spacing = 0,
                      bool force = false);

    TDoubleBox* GetFrame() const { return Frame; }
    TSeparator* GetSeparator() const { return Separator; }

    void ClearControls() override;
    void GetClientRect(int& x, int& y, int& w, int& h) override;
    void SetSize(int w, int h) override;
    using TFarDialog::Columnize;
    // A negative width makes a column automatic: the automatic columns share what the fixed
    // ones leave up to the content area's right edge.
    void Columnize(const TColumnWidths& widths, const TControlList& controls, int left,
                   int top) override;
    // From the content area's left edge, on the first control's row.
    virtual void Columnize(const TColumnWidths& widths, const TControlList& controls);

protected:
    void AfterConstruction() override;
    // Frame, content, separator and buttons, in this control order.
    virtual void BuildControls();
    virtual void CreateContent();
    virtual void CreateButtons();
    virtual void ResetLayout();

    TDoubleBox* Frame = nullptr;
    TSeparator* Separator = nullptr;
    // Content rows taken so far, and rows kept free at the bottom of the content area.
    int Cursor = 0;
    int BottomReserve = 0;
};

class TOkCancelDialog : public TButtonsDialog {
public:
    TOkCancelDialog(TConstruction key, const Guid& id);

    // Runs the dialog: true when it was closed with OK.
    bool ExecuteOk();

    TButton* GetOkButton() const { return OkButton; }
    TButton* GetCancelButton() const { return CancelButton; }

    void ClearControls() override;
    void SetSize(int w, int h) override;

protected:
    void CreateButtons() override;

    TButton* OkButton = nullptr;
    TButton* CancelButton = nullptr;
};

}  // namespace wm
