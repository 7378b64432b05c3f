#include "framework/FarStandardDialogs.h"

namespace wm {

// ---- TButtonsDialog -------------------------------------------------------------------

TButtonsDialog::TButtonsDialog(TConstruction key, const Guid& id) : TFarDialog(key, id) {}

void TButtonsDialog::AfterConstruction() {
    BuildControls();
    TFarDialog::AfterConstruction();
}

void TButtonsDialog::BuildControls() {
    ClearControls();
    Frame = AddDoubleBox(0, 0, 0, 0, GetStandardText(TFarStandardText::Title));
    CreateContent();
    Separator = AddSeparator(0);
    CreateButtons();
}

void TButtonsDialog::CreateContent() {}
void TButtonsDialog::CreateButtons() {}

void TButtonsDialog::ResetLayout() {
    Cursor = 0;
    BottomReserve = 0;
}

void TButtonsDialog::ClearControls() {
    TFarDialog::ClearControls();
    Frame = nullptr;
    Separator = nullptr;
}

void TButtonsDialog::GetClientRect(int& x, int& y, int& w, int& h) {
    if (!Frame) {
        TFarDialog::GetClientRect(x, y, w, h);
        return;
    }
    Frame->GetBounds(x, y, w, h);
    x += 2;
    y += 1;
    w -= 4;
    h -= 2;
}

void TButtonsDialog::SetSize(int w, int h) {
    TFarDialog::SetSize(w, h);
    if (Frame) {
        Frame->SetLeft(3);
        Frame->SetWidth(w - 6);
        Frame->SetTop(1);
        Frame->SetHeight(h - 2);
        if (Separator) Separator->SetTop(Frame->GetTop() + Frame->GetHeight() - 3);
    }
    ResetLayout();
}

TButtonsDialog::TRect TButtonsDialog::GetContentRect() {
    int x, y, w, h;
    GetClientRect(x, y, w, h);
    // The rows from the separator down belong to the button row.
    const int buttonRows = Frame && Separator ? Frame->GetHeight() - Separator->GetTop() : 0;
    return TRect{x, y + Cursor, w, h - Cursor - BottomReserve - buttonRows};
}

bool TButtonsDialog::PlaceControl(TControl* control, int leftIndent, int rightIndent, int spacing,
                                  bool force) {
    const TRect free = GetContentRect();
    control->SetBounds(free.Left + leftIndent, free.Top, free.Width - leftIndent - rightIndent,
                       free.Height - spacing);
    if (!force && !control->GetVisible()) return false;
    Cursor += control->GetHeight() + spacing;
    return true;
}

void TButtonsDialog::Columnize(const TColumnWidths& widths, const TControlList& controls, int left,
                               int top) {
    if (widths.size() < controls.size()) throw EFarError(u"Invalid TFarDialog.Columnize call");
    const TRect content = GetContentRect();
    int rest = content.Left + content.Width - left;
    int automatic = 0;
    for (size_t i = 0; i < controls.size(); ++i) {
        if (widths[i] >= 0) {
            rest -= widths[i];
        } else {
            ++automatic;
        }
    }
    TColumnWidths computed(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        computed[i] = widths[i] >= 0 ? widths[i] : rest / automatic;
    }
    TFarDialog::Columnize(computed, controls, left, top);
}

void TButtonsDialog::Columnize(const TColumnWidths& widths, const TControlList& controls) {
    Columnize(widths, controls, GetContentRect().Left);
}

// ---- TOkCancelDialog ------------------------------------------------------------------

TOkCancelDialog::TOkCancelDialog(TConstruction key, const Guid& id) : TButtonsDialog(key, id) {}

void TOkCancelDialog::CreateButtons() {
    OkButton = AddButton(0, 0, GetStandardText(TFarStandardText::Ok));
    OkButton->SetDefault(true);
    CancelButton = AddButton(0, 0, GetStandardText(TFarStandardText::Cancel));
}

void TOkCancelDialog::ClearControls() {
    TButtonsDialog::ClearControls();
    OkButton = nullptr;
    CancelButton = nullptr;
}

void TOkCancelDialog::SetSize(int w, int h) {
    TButtonsDialog::SetSize(w, h);
    if (OkButton && Separator) OkButton->SetTop(Separator->GetTop() + 1);
    if (CancelButton && OkButton) CancelButton->SetTop(OkButton->GetTop());
}

bool TOkCancelDialog::ExecuteOk() {
    TButton* button = nullptr;
    return Execute(button) && button == OkButton;
}

}  // namespace wm
