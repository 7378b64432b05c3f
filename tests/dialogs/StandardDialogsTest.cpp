#include <gtest/gtest.h>

#include "tests/dialogs/DialogFixture.h"

namespace wm::test {
namespace {

using StandardDialogsTest = DialogTest;

// Labels placed one per row under the standard layout, at a fixed height.
class LinesDialog : public TOkCancelDialog {
public:
    LinesDialog(TConstruction key, int lines, int height)
        : TOkCancelDialog(key, kDialogId), Count(lines), FixedHeight(height) {}

    std::vector<TLabel*> Lines;

    void SetSize(int w, int h) override {
        TOkCancelDialog::SetSize(w, h);
        for (TLabel* line : Lines) PlaceControl(line);
    }

protected:
    void CreateContent() override {
        for (int i = 0; i < Count; ++i) Lines.push_back(AddLabel(0, 0, 0, u"line", 1));
    }
    void AdjustSize(int& w, int& h) override {
        TOkCancelDialog::AdjustSize(w, h);
        h = FixedHeight;
    }
    void ClearControls() override {
        TOkCancelDialog::ClearControls();
        Lines.clear();
    }

private:
    int Count, FixedHeight;
};

TEST_F(StandardDialogsTest, AnOkCancelDialogOf76By18) {
    auto dialog = TFarDialog::New<LinesDialog>(0, 18);
    EXPECT_EQ(Bounds(*dialog), (Cells{-1, -1, 76, 18}));
    dialog->SetSize(76, 18);
    ASSERT_EQ(dialog->ControlCount(), 4);  // frame, separator, OK, Cancel
    EXPECT_EQ(Bounds(*dialog->GetFrame()), (Cells{3, 1, 70, 16}));
    EXPECT_EQ(TFarModule::FromHostString(dialog->GetFrame()->GetItem().PtrData), u"Test title");
    EXPECT_EQ(dialog->GetSeparator()->GetTop(), 14);
    EXPECT_EQ(dialog->GetOkButton()->GetTop(), 15);
    EXPECT_EQ(dialog->GetCancelButton()->GetTop(), 15);
    EXPECT_EQ(dialog->GetOkButton()->GetItem().DefaultButton, 1);
    EXPECT_EQ(TFarModule::FromHostString(dialog->GetCancelButton()->GetItem().PtrData), u"&Cancel");
    const auto content = dialog->GetContentRect();
    EXPECT_EQ((Cells{content.Left, content.Top, content.Width, content.Height}),
              (Cells{5, 2, 66, 12}));
}

TEST_F(StandardDialogsTest, TwelvePlacedLinesFillRows2To13) {
    auto dialog = TFarDialog::New<LinesDialog>(12, 18);
    ASSERT_TRUE(dialog->BuildDialog());  // lays out for the size in force
    for (int i = 0; i < 12; ++i) EXPECT_EQ(Bounds(*dialog->Lines[i]), (Cells{5, 2 + i, 66, 1}));
    EXPECT_EQ(dialog->GetContentRect().Height, 0);
    EXPECT_EQ(dialog->GetSeparator()->GetTop(), 14);
    // The control order: frame, content, separator, buttons.
    EXPECT_EQ(dialog->Lines[0]->GetIndex(), 1);
    EXPECT_EQ(dialog->GetOkButton()->GetIndex(), 14);
}

TEST_F(StandardDialogsTest, HiddenControlsTakeNoRowsAndSpacingLeavesEmptyOnes) {
    auto dialog = TFarDialog::New<TOkCancelDialog>(kDialogId);
    auto* a = dialog->AddLabel(0, 0, 0, u"a", 1);
    auto* hidden = dialog->AddLabel(0, 0, 0, u"hidden", 1);
    auto* b = dialog->AddLabel(0, 0, 0, u"b", 1);
    auto* box = dialog->AddDoubleBox(0, 0, 0, 0, u"");
    hidden->SetVisible(false);
    dialog->SetSize(76, 18);
    EXPECT_TRUE(dialog->PlaceControl(a));
    EXPECT_FALSE(dialog->PlaceControl(hidden));
    EXPECT_TRUE(dialog->PlaceControl(b, 0, 0, 1));
    EXPECT_TRUE(dialog->PlaceControl(hidden, 2, 3, 0, true));
    EXPECT_EQ(Bounds(*a), (Cells{5, 2, 66, 1}));
    EXPECT_EQ(Bounds(*b), (Cells{5, 3, 66, 1}));
    EXPECT_EQ(Bounds(*hidden), (Cells{7, 5, 61, 1}));
    EXPECT_TRUE(dialog->PlaceControl(box, 0, 0, 2));  // a box takes what is left but the spacing
    EXPECT_EQ(Bounds(*box), (Cells{5, 6, 66, 6}));
    EXPECT_EQ(dialog->GetContentRect().Height, 0);
}

TEST_F(StandardDialogsTest, AutomaticColumnsShareTheRestOfTheContentWidth) {
    auto dialog = TFarDialog::New<TOkCancelDialog>(kDialogId);
    auto* a = dialog->AddEdit(0, 3, 0, u"");
    auto* b = dialog->AddEdit(0, 0, 0, u"");
    auto* c = dialog->AddEdit(0, 0, 0, u"");
    dialog->SetSize(76, 18);  // content columns 5 to 70
    dialog->Columnize({10, -1, -1}, {a, b, c});
    EXPECT_EQ(Bounds(*a), (Cells{5, 3, 9, 1}));
    EXPECT_EQ(Bounds(*b), (Cells{15, 3, 27, 1}));
    EXPECT_EQ(Bounds(*c), (Cells{43, 3, 27, 1}));  // its column ends at the content's edge
    dialog->Columnize({10, -1, -1}, {a, b, c}, 7, 4);
    EXPECT_EQ(Bounds(*b), (Cells{17, 4, 26, 1}));  // (71 - 7 - 10) / 2
    EXPECT_EQ(Bounds(*c), (Cells{44, 4, 26, 1}));
    EXPECT_EQ(ErrorOf<EFarError>([&] {
                  dialog->Columnize({-1}, {a, b});
              }),
              u"Invalid TFarDialog.Columnize call");
}

TEST_F(StandardDialogsTest, ExecuteOkIsTrueOnlyForOk) {
    auto dialog = TFarDialog::New<TOkCancelDialog>(kDialogId);
    const std::pair<const char*, bool> runs[] = {
        {"click 3", false},             // Cancel
        {"click 2", true},              // OK
        {"esc", false},                 //
        {"key Enter", true},            // the default button
        {"key Tab\nkey Enter", false},  // Enter presses the focused button
    };
    for (const auto& [actions, confirmed] : runs) {
        SCOPED_TRACE(actions);
        host.QueueDialogActions(actions);
        EXPECT_EQ(dialog->ExecuteOk(), confirmed);
        EXPECT_TRUE(dialog->Active());
        EXPECT_EQ(host.QueuedDialogActions(), 0u);
    }
    EXPECT_EQ(host.CallCount("DialogInit"), 1);
}

// A small console, so that whole screens fit in a test.
class ScreenTest : public DialogTest {
protected:
    static farhost::Host::Options SmallConsole() {
        farhost::Host::Options options;
        options.consoleRect = far::SMALL_RECT{0, 0, 43, 12};
        return options;
    }
    ScreenTest() : DialogTest(SmallConsole()) {}
};

class FormDialog : public TOkCancelDialog {
public:
    explicit FormDialog(TConstruction key) : TOkCancelDialog(key, kDialogId) {}
    TLabel* Label = nullptr;
    TEdit* Edit = nullptr;
    TCheckbox* Check = nullptr;

protected:
    void CreateContent() override {
        Label = AddLabel(0, 0, 0, u"Name:", 1);
        Edit = AddEdit(0, 0, 0, u"docs");
        Check = AddCheckbox(0, 0, u"&Remember", true);
    }
    void SetSize(int w, int h) override {
        TOkCancelDialog::SetSize(w, h);
        PlaceControl(Label);
        PlaceControl(Edit);
        PlaceControl(Check);
    }
    void ClearControls() override {
        TOkCancelDialog::ClearControls();
        Label = nullptr;
        Edit = nullptr;
        Check = nullptr;
    }
};

TEST_F(ScreenTest, AnOkCancelDialogIsDrawnWhereTheHostPutsIt) {
    auto dialog = TFarDialog::New<FormDialog>();  // 40 x 9 on 44 x 13
    host.QueueDialogActions("type 2 \"new/\"\nclick 3\nshow\nresize 50 12\nshow\nclick 6");
    dialog->Edit->SetOnChange([&](TFarDialog::TCustomEdit& edit, bool&) {
        dialog->GetOkButton()->SetEnabled(edit.GetText().find(u'/') == String::npos);
    });
    EXPECT_FALSE(dialog->ExecuteOk());
    const auto& screens = host.DialogScreens();
    ASSERT_EQ(screens.size(), 3u);
    const std::vector<String> opened{
        u"",
        u"",
        u"",
        u"     ╔══════════ Test title ══════════╗",
        u"     ║ Name:                          ║",
        u"     ║ docs·························· ║",
        u"     ║ [x] Remember                   ║",
        u"     ╟────────────────────────────────╢",
        u"     ║       { OK } [ Cancel ]        ║",
        u"     ╚════════════════════════════════╝",
        u"",
        u"",
        u"",
    };
    EXPECT_EQ(screens[0], opened);
    // Typed over the unchanged text, the check box cleared, OK disabled by the handler.
    EXPECT_EQ(screens[1][5], u"     ║ new/·························· ║");
    EXPECT_EQ(screens[1][6], u"     ║ [ ] Remember                   ║");
    EXPECT_EQ(screens[1][8], u"     ║       < OK > [ Cancel ]        ║");
    // Laid out again for 46 x 8: the content loses its last row.
    const std::vector<String> resized{
        u"",
        u"",
        u"",
        u"     ╔═════════════ Test title ═════════════╗",
        u"     ║ Name:                                ║",
        u"     ║ new/································ ║",
        u"     ╟──────────────────────────────────────╢",
        u"     ║          < OK > [ Cancel ]           ║",
        u"     ╚══════════════════════════════════════╝",
        u"",
        u"",
        u"",
    };
    EXPECT_EQ(screens[2], resized);
}

}  // namespace
}  // namespace wm::test
