#include <gtest/gtest.h>

#include <array>

#include "tests/dialogs/DialogFixture.h"

namespace wm::test {
namespace {

using ControlsTest = DialogTest;

std::unique_ptr<TFarDialog> NewDialog() {
    return TFarDialog::New<TFarDialog>(kDialogId);
}

String TextOf(const far::FarDialogItem& item) {
    return TFarModule::FromHostString(item.PtrData);
}

TEST_F(ControlsTest, ConstructorsFillTheRecords) {
    struct Case {
        const char* name;
        std::function<TControl*(TFarDialog&)> make;
        int type, x1, y1, x2, y2;
        uint32_t flags;
        int selected;
        const char16_t* text;
    };
    const Case cases[] = {
        {"button at the origin", [](TFarDialog& d) { return d.AddButton(0, 0, u"&OK"); },
         far::DI_BUTTON, 0, 0, 0, 0, far::DIF_CENTERGROUP, 0, u"&OK"},
        {"left label", [](TFarDialog& d) { return d.AddLabel(2, 3, 10, u"Name", 1); }, far::DI_TEXT,
         2, 3, 11, 3, far::DIF_LEFTTEXT, 0, u"Name"},
        {"label 0", [](TFarDialog& d) { return d.AddLabel(2, 3, 0, u"A", 0); }, far::DI_TEXT, 2, 3,
         0, 3, far::DIF_CENTERTEXT, 0, u"A"},
        {"centred label", [](TFarDialog& d) { return d.AddLabel(2, 3, 4, u"", 2); }, far::DI_TEXT,
         2, 3, 5, 3, far::DIF_CENTERTEXT, 0, u""},
        {"separator", [](TFarDialog& d) { return d.AddSeparator(5); }, far::DI_TEXT, 0, 5, 0, 5,
         far::DIF_LEFTTEXT | far::DIF_SEPARATOR, 0, u""},
        {"double box", [](TFarDialog& d) { return d.AddDoubleBox(3, 1, 70, 16, u"T"); },
         far::DI_DOUBLEBOX, 3, 1, 72, 16, far::DIF_CENTERTEXT, 0, u"T"},
        {"checked box", [](TFarDialog& d) { return d.AddCheckbox(4, 6, u"C", true); },
         far::DI_CHECKBOX, 4, 6, 0, 6, 0, 1, u"C"},
        {"edit", [](TFarDialog& d) { return d.AddEdit(5, 2, 10, u"x"); }, far::DI_EDIT, 5, 2, 14, 2,
         0, 0, u"x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto dialog = NewDialog();
        const far::FarDialogItem& item = c.make(*dialog)->GetItem();
        EXPECT_EQ(item.Type, c.type);
        EXPECT_EQ((std::array{item.X1, item.Y1, item.X2, item.Y2}),
                  (std::array{c.x1, c.y1, c.x2, c.y2}));
        EXPECT_EQ(item.Flags, c.flags);
        EXPECT_EQ(item.Param.Selected, c.selected);
        EXPECT_EQ(TextOf(item), c.text);
        EXPECT_EQ(item.PtrData == nullptr, *c.text == 0);  // no copy for the empty text
    }
}

TEST_F(ControlsTest, WidthAndHeightRules) {
    auto dialog = NewDialog();
    auto* label = dialog->AddLabel(0, 0, 0, u"&Name", 1);
    auto* box = dialog->AddDoubleBox(0, 0, 0, 0, u"");
    auto* edit = dialog->AddEdit(0, 0, 10, u"");
    auto* list = dialog->Add<TFarDialog::TListbox>(0, 0, 5, 4);
    auto* button = dialog->AddButton(0, 0, u"&OK");
    for (TControl* control :
         {static_cast<TControl*>(label), static_cast<TControl*>(box), static_cast<TControl*>(edit)})
        control->SetBounds(1, 1, 5, 3);
    EXPECT_EQ(label->GetHeight(), 1);
    EXPECT_EQ(box->GetHeight(), 3);
    EXPECT_EQ(edit->GetHeight(), 1);
    EXPECT_EQ(list->GetHeight(), 4);
    EXPECT_EQ(button->GetAutoWidth(), 7);
    EXPECT_EQ(edit->GetAutoWidth(), 5);
    EXPECT_EQ(label->GetAutoWidth(), 4);  // the hot-key mark takes no cell
    label->SetShowAmpersand(true);
    EXPECT_EQ(label->GetAutoWidth(), 5);
}

TEST_F(ControlsTest, AlignmentOutsideTheThreeValuesChangesNothing) {
    auto dialog = NewDialog();
    auto* label = dialog->AddLabel(0, 0, 0, u"", 1);
    label->SetAlignment(5);
    EXPECT_EQ(label->GetFlags(), far::DIF_LEFTTEXT);
    label->SetAlignment(2);
    EXPECT_EQ(label->GetFlags(), far::DIF_CENTERTEXT);
}

TEST_F(ControlsTest, HistoryAndMaskShareTheParameter) {
    auto dialog = NewDialog();
    auto* edit = dialog->AddEdit(0, 0, 10, u"");
    edit->SetHistory(u"Waymarks_Name");
    edit->SetMask(u"HHHH");
    const far::FarDialogItem& item = edit->GetItem();
    EXPECT_EQ(item.Flags, far::DIF_HISTORY | far::DIF_MASKEDIT);
    EXPECT_EQ(TFarModule::FromHostString(item.Param.Mask), u"HHHH");
    edit->SetHistory(u"");
    EXPECT_EQ(item.Flags, far::DIF_MASKEDIT);
    EXPECT_EQ(item.Param.History, nullptr);

    // The host gets the parameter that was set last.
    edit->SetHistory(u"History");
    ASSERT_TRUE(dialog->BuildDialog());
    EXPECT_EQ(HostSide(*dialog).Items()[0].parameter, u"History");
    edit->SetMask(u"HH-HH");
    EXPECT_EQ(HostSide(*dialog).Items()[0].parameter, u"HH-HH");
    EXPECT_EQ(edit->GetFlags(), far::DIF_HISTORY | far::DIF_MASKEDIT);
}

TEST_F(ControlsTest, RecordedValuesReachDialogInit) {
    auto dialog = NewDialog();
    auto* check = dialog->AddCheckbox(1, 1, u"c", false);
    auto* edit = dialog->AddEdit(1, 2, 10, u"text");
    check->SetChecked(true);
    edit->SetVisible(false);
    edit->SetEnabled(false);
    ASSERT_TRUE(dialog->BuildDialog());
    const auto& items = HostSide(*dialog).Items();
    EXPECT_EQ(items[0].record.Param.Selected, 1);
    EXPECT_EQ(items[1].text, u"text");
    EXPECT_EQ(items[1].record.Flags, far::DIF_HIDDEN | far::DIF_DISABLE);
}

TEST_F(ControlsTest, PropertiesOfAnActiveDialogGoToTheHostAndTheRecord) {
    auto dialog = NewDialog();
    auto* label = dialog->AddLabel(1, 1, 10, u"label", 1);
    auto* edit = dialog->AddEdit(1, 2, 10, u"");
    auto* check = dialog->AddCheckbox(1, 3, u"check", false);
    auto* button = dialog->AddButton(1, 4, u"button");
    ASSERT_TRUE(dialog->BuildDialog());
    const auto& side = HostSide(*dialog).Items();

    edit->SetText(u"live");
    EXPECT_EQ(side[1].text, u"live");
    EXPECT_EQ(TextOf(edit->GetItem()), u"live");
    check->SetChecked(true);
    EXPECT_EQ(side[2].record.Param.Selected, 1);
    EXPECT_TRUE(check->GetChecked());
    button->SetEnabled(false);
    EXPECT_TRUE(side[3].record.Flags & far::DIF_DISABLE);
    EXPECT_FALSE(button->GetEnabled());
    label->SetVisible(false);
    EXPECT_TRUE(side[0].record.Flags & far::DIF_HIDDEN);
    EXPECT_FALSE(label->GetVisible());
    EXPECT_TRUE(label->GetItem().Flags & far::DIF_HIDDEN);
    button->SetDefault(true);
    EXPECT_EQ(side[3].record.DefaultButton, 1);
    edit->SetBounds(7, 3, 12, 2);
    EXPECT_EQ((std::array{side[1].record.X1, side[1].record.Y1, side[1].record.X2}),
              (std::array{7, 3, 18}));
    edit->SetUnchanged(false);
    EXPECT_FALSE(side[1].unchanged);
    // A long text comes back whole.
    const String longText(300, u'w');
    label->SetText(longText);
    EXPECT_EQ(label->GetText(), longText);
}

TEST_F(ControlsTest, TheUnchangedMarkDecidesWhetherTypingReplacesTheText) {
    for (const bool unchanged : {true, false}) {
        auto dialog = NewDialog();
        auto* edit = dialog->AddEdit(1, 1, 10, u"old");
        edit->SetUnchanged(unchanged);  // a cleared mark is sent again at DN_INITDIALOG
        host.QueueDialogActions("type 0 \"new\"\nesc");
        TButton* button = nullptr;
        dialog->Execute(button);
        EXPECT_EQ(edit->GetText(), unchanged ? u"new" : u"oldnew");
    }
}

// Answers DM_GETDLGITEM's size query with `g_itemSize` and passes every other message on.
far::LONG_PTR g_itemSize = 0;
far::LONG_PTR ShortItems(far::HANDLE dialog, int32_t msg, int32_t param1, far::LONG_PTR param2) {
    if (msg == far::DM_GETDLGITEM && param2 == 0) return g_itemSize;
    return farhost::Host::Current()->StartupInfo().SendDlgMessage(dialog, msg, param1, param2);
}

TEST_F(ControlsTest, WithoutTheLiveItemTheRecordAnswers) {
    auto dialog = NewDialog();
    auto* edit = dialog->AddEdit(0, 0, 5, u"");
    ASSERT_TRUE(dialog->BuildDialog());
    far::PluginStartupInfo info = host.StartupInfo();
    info.SendDlgMessage = &ShortItems;
    plugin->SetStartupInfo(info);
    // Refused, or too short to hold an item at all.
    for (const far::LONG_PTR size : {far::LONG_PTR{0}, far::LONG_PTR{8}}) {
        g_itemSize = size;
        edit->SetFlags(far::DIF_READONLY | static_cast<uint32_t>(size));
        EXPECT_EQ(edit->GetFlags(), far::DIF_READONLY | static_cast<uint32_t>(size));
        EXPECT_EQ(HostSide(*dialog).Items()[0].record.Flags, 0u);
    }
}

// Reaches the live item update directly.
class ProbeEdit : public TFarDialog::TEdit {
public:
    using TEdit::TEdit;
    bool Update(const std::function<void(far::FarDialogItem&)>& action) {
        return UpdateLiveItem(action, true);
    }
};

TEST_F(ControlsTest, TheLiveItemUpdateKeepsTheItemType) {
    auto dialog = NewDialog();
    auto* edit = dialog->Add<ProbeEdit>(0, 0, 5, u"");
    EXPECT_FALSE(edit->Update([](far::FarDialogItem&) {}));  // inactive
    ASSERT_TRUE(dialog->BuildDialog());
    EXPECT_TRUE(edit->Update([](far::FarDialogItem& item) { item.X1 = 4; }));
    EXPECT_EQ(HostSide(*dialog).Items()[0].record.X1, 4);
    EXPECT_EQ(ErrorOf<EFarDialogError>(
                  [&] { edit->Update([](far::FarDialogItem& item) { item.Type = 7; }); }),
              u"Can't modify control type");
    edit->GetItem().Type = far::DI_FIXEDIT;
    EXPECT_EQ(ErrorOf<EFarDialogError>([&] { edit->GetFlags(); }), u"Control type mismatch");
    edit->GetItem().Type = far::DI_EDIT;
}

}  // namespace
}  // namespace wm::test
