#include <gtest/gtest.h>

#include <algorithm>

#include "farhost/engine/DialogAction.h"
#include "tests/dialogs/DialogFixture.h"

namespace wm::test {
namespace {

namespace keys = farhost::keys;

std::unique_ptr<TFarDialog> NewDialog() {
    return TFarDialog::New<TFarDialog>(kDialogId);
}

TEST_F(DialogTest, The65thControlGrowsBothArraysAndKeepsTheEarlierRecords) {
    auto dialog = NewDialog();
    EXPECT_EQ(dialog->Items(), nullptr);
    for (int k = 0; k < 64; ++k) dialog->AddLabel(k, k + 1, 3, Str(std::to_string(k)), 1);
    EXPECT_EQ(dialog->Capacity(), 64);
    auto* last = dialog->AddEdit(1, 2, 3, u"65th");
    EXPECT_EQ(dialog->Capacity(), 128);
    EXPECT_EQ(last->GetIndex(), 64);
    for (int k = 0; k < 64; ++k) {
        const far::FarDialogItem& item = dialog->Items()[k];
        EXPECT_EQ(item.X1, k);
        EXPECT_EQ(item.Y1, k + 1);
        EXPECT_EQ(TFarModule::FromHostString(item.PtrData), Str(std::to_string(k)));
        EXPECT_EQ(dialog->GetControl(k)->GetIndex(), k);
    }
    EXPECT_EQ(dialog->Items()[64].Type, far::DI_EDIT);
    EXPECT_EQ(dialog->Items()[65].Type, 0);
    EXPECT_EQ(dialog->Items()[127].PtrData, nullptr);
}

TEST_F(DialogTest, RemovingAControlInTheMiddleKeepsEveryLaterOneOnItsOwnRecord) {
    auto dialog = NewDialog();
    auto* a = dialog->AddEdit(0, 1, 5, u"a");
    auto* b = dialog->AddEdit(0, 2, 5, u"b");
    auto* c = dialog->AddEdit(0, 3, 5, u"c");
    auto* d = dialog->AddCheckbox(0, 4, u"d", true);
    dialog->RemoveControl(b);
    ASSERT_EQ(dialog->ControlCount(), 3);
    EXPECT_EQ(dialog->GetControl(1), c);
    EXPECT_EQ(c->GetIndex(), 1);
    EXPECT_EQ(d->GetIndex(), 2);
    c->SetText(u"c2");
    d->SetTop(9);
    EXPECT_EQ(TFarModule::FromHostString(dialog->Items()[1].PtrData), u"c2");
    EXPECT_EQ(dialog->Items()[2].Y1, 9);
    EXPECT_TRUE(d->GetChecked());
    EXPECT_EQ(dialog->Items()[3].Type, 0);
    EXPECT_EQ(a->GetText(), u"a");
    EXPECT_EQ(ErrorOf<EListError>([&] { dialog->GetControl(3); }), u"Index out of bounds");
    EXPECT_EQ(ErrorOf<EListError>([&] { dialog->GetControl(-1); }), u"Index out of bounds");
}

TEST_F(DialogTest, DefaultSizeKeepsFourCellsToTheHostWindow) {
    struct Case {
        std::optional<far::SMALL_RECT> console;
        int w, h;
    };
    const Case cases[] = {
        {far::SMALL_RECT{0, 0, 79, 24}, 76, 21},
        {std::nullopt, 76, 21},  // the query fails: 80 x 25
        {far::SMALL_RECT{10, 5, 129, 44}, 116, 36},
        {far::SMALL_RECT{0, 0, 2, 3}, 1, 1},
    };
    for (const auto& c : cases) {
        host.SetConsoleRect(c.console);
        auto dialog = NewDialog();
        EXPECT_EQ(Bounds(*dialog), (Cells{-1, -1, c.w, c.h}));
    }
}

TEST_F(DialogTest, MisuseRaisesItsMessage) {
    auto dialog = NewDialog();
    auto* label = dialog->AddLabel(0, 0, 1, u"x", 1);
    EXPECT_EQ(ErrorOf<EFarDialogError>([&] { dialog->SetSize(0, 5); }),
              u"Invalid value for dialog width (0)");
    EXPECT_EQ(ErrorOf<EFarDialogError>([&] { dialog->SetSize(5, -1); }),
              u"Invalid value for dialog height (-1)");
    ASSERT_TRUE(dialog->BuildDialog());
    const std::pair<std::function<void()>, String> frozen[] = {
        {[&] { dialog->AddLabel(0, 0, 1, u"y", 1); }, u"Can't add controls to an active dialog"},
        {[&] { dialog->RemoveControl(label); }, u"Can't remove controls from an active dialog"},
        {[&] { dialog->SetDialogFlags(1); }, u"Can't change flags in an active dialog"},
        {[&] { dialog->SetHelpTopic(u"t"); }, u"Can't change help topic in an active dialog"},
    };
    for (const auto& [body, message] : frozen) EXPECT_EQ(ErrorOf<EFarDialogError>(body), message);
    EXPECT_EQ(dialog->ControlCount(), 1);
    EXPECT_EQ(HostSide(*dialog).Items().size(), 1u);
}

TEST_F(DialogTest, ADialogBuildsWithItsTopicAndFlagsAndAnEmptyOneIsRefused) {
    auto dialog = NewDialog();
    dialog->SetHelpTopic(u"Topic");
    dialog->SetDialogFlags(far::FDLG_WARNING);
    // The host refuses a dialog without items.
    EXPECT_FALSE(dialog->BuildDialog());
    TButton* button = nullptr;
    EXPECT_THROW(dialog->Execute(button), EFarDialogError);

    dialog->AddLabel(0, 1, 5, u"text", 1);
    ASSERT_TRUE(dialog->BuildDialog());
    const auto& init = host.Calls().back();
    ASSERT_EQ(init.function, "DialogInit");
    // Centred: X2 and Y2 carry the size.
    EXPECT_EQ(std::vector<std::string>(init.arguments.begin() + 1, init.arguments.begin() + 9),
              (std::vector<std::string>{"-1", "-1", "76", "21", "Topic", "1", "0", "1"}));
    EXPECT_EQ(HostSide(*dialog).Items().size(), 1u);
    dialog->ReleaseDialog();
    EXPECT_FALSE(dialog->Active());
    EXPECT_EQ(host.LiveDialogCount(), 0);
}

TEST_F(DialogTest, EscGivesFalseAndLeavesTheDialogActiveWithItsLiveValues) {
    auto dialog = NewDialog();
    auto* edit = dialog->AddEdit(5, 2, 20, u"before");
    auto* ok = dialog->AddButton(0, 4, u"OK");
    host.QueueDialogActions("type 0 \"after\"\nesc");
    TButton* button = ok;
    EXPECT_FALSE(dialog->Execute(button));
    EXPECT_EQ(button, nullptr);
    ASSERT_TRUE(dialog->Active());
    EXPECT_EQ(edit->GetText(), u"after");
    EXPECT_EQ(Bounds(*dialog), (Cells{2, 2, 76, 21}));
    EXPECT_EQ(Bounds(*edit), (Cells{5, 2, 20, 1}));
    dialog->ReleaseDialog();
    EXPECT_EQ(edit->GetText(), u"before");  // what the user typed is not copied back
    EXPECT_EQ(Bounds(*dialog), (Cells{-1, -1, 76, 21}));
}

TEST_F(DialogTest, ExecuteGivesTheClosingButtonAndRunsTheLiveDialogAgain) {
    auto dialog = NewDialog();
    dialog->AddLabel(0, 1, 5, u"text", 1);
    auto* ok = dialog->AddButton(0, 4, u"OK");
    host.QueueDialogActions("click 1\nclick 0\nesc");  // a label cannot be clicked
    TButton* button = nullptr;
    EXPECT_TRUE(dialog->Execute(button));
    EXPECT_EQ(button, ok);
    EXPECT_FALSE(dialog->Execute(button));
    EXPECT_EQ(host.CallCount("DialogInit"), 1);
    EXPECT_EQ(host.CallCount("DialogRun"), 2);
    const auto redraws = std::count_if(host.Calls().begin(), host.Calls().end(), [](auto& call) {
        return call.function == "AdvControl" && call.arguments.at(1) == "27";
    });
    EXPECT_EQ(redraws, 2);  // after each run
    ASSERT_EQ(host.Errors().size(), 1u);
    EXPECT_NE(host.Errors()[0].find("click 0"), std::string::npos);
    host.ClearRecords();
}

TEST_F(DialogTest, ARefusedDialogRaisesWithTheClassName) {
    host.RefuseDialogs(true);
    auto dialog = TFarDialog::New<TOkCancelDialog>(kDialogId);
    EXPECT_EQ(ErrorOf<EFarDialogError>([&] { dialog->ExecuteOk(); }),
              u"Failed to build dialog TOkCancelDialog");
    EXPECT_FALSE(dialog->Active());
}

TEST_F(DialogTest, NotificationsReachTheControlsHandlers) {
    auto dialog = NewDialog();
    auto* edit = dialog->AddEdit(1, 1, 10, u"");
    auto* check = dialog->AddCheckbox(1, 2, u"check", false);
    auto* button = dialog->AddButton(1, 3, u"button");
    uint32_t key = 0, shift = 0;
    edit->OnKey = [&](TControl&, uint32_t k, uint32_t s, bool& handled) {
        key = k;
        shift = s;
        handled = k == keys::F1 + 3;
    };
    bool redirect = false;
    edit->OnExit = [&](TControl&, TControl*& next) {
        if (redirect) next = button;
    };
    int state = -1;
    check->OnClick = [&](TFarDialog::TCheckbox&, int s, bool& allow) {
        state = s;
        allow = false;
    };
    ASSERT_TRUE(dialog->BuildDialog());
    farhost::HostDialog& side = HostSide(*dialog);

    EXPECT_EQ(side.Notify(far::DN_KEY, 0, keys::Ctrl | keys::Shift | (keys::F1 + 3)), 1);
    EXPECT_EQ(key, keys::F1 + 3);
    EXPECT_EQ(shift, keys::Ctrl | keys::Shift);
    EXPECT_EQ(side.Notify(far::DN_KEY, 0, 'a'), 0);
    EXPECT_EQ(side.Notify(far::DN_KEY, 1, 'a'), 0);  // no handler

    EXPECT_EQ(side.Notify(far::DN_KILLFOCUS, 0, 0), -1);
    redirect = true;
    EXPECT_EQ(side.Notify(far::DN_KILLFOCUS, 0, 0), 2);

    EXPECT_EQ(side.Notify(far::DN_BTNCLICK, 1, 1), 0);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(side.Notify(far::DN_BTNCLICK, 1, 7), 1);  // not a state: the host's default
    EXPECT_EQ(state, 1);
    EXPECT_EQ(side.Notify(far::DN_BTNCLICK, 2, 0), 0);       // no handler: the button closes
    EXPECT_EQ(side.Notify(far::DN_BTNCLICK, 9, 0), 1);       // no such control
    EXPECT_EQ(side.Notify(far::DN_RESIZECONSOLE, 0, 0), 0);  // no size: left to the host
}

TEST_F(DialogTest, AHandlersErrorClosesTheDialogAndLeavesExecuteAfterTheHost) {
    auto dialog = NewDialog();
    auto* button = dialog->AddButton(0, 1, u"Go");
    dialog->AddButton(10, 1, u"Other");
    int clicks = 0;
    button->OnClick = [&](TButton&, bool& handled) {
        ++clicks;
        handled = true;
        throw EFarError(u"broken");
    };
    // The second click never comes: the error closed the dialog.
    host.QueueDialogActions("click 0\nclick 0\nclick 1");
    TButton* pressed = nullptr;
    try {
        dialog->Execute(pressed);
        FAIL() << "the handler's error must leave Execute";
    } catch (const EFarError& error) {
        EXPECT_EQ(error.Message(), u"broken");
    }
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(host.QueuedDialogActions(), 2u);
    EXPECT_TRUE(host.Messages().empty());  // the export's guard reports it, not the dialog
    EXPECT_TRUE(host.Errors().empty());

    // The same dialog runs again afterwards. An aborting handler is no error: the host's
    // default answer applies, and the button closes the dialog.
    button->OnClick = [](TButton&, bool&) { throw EAbort(); };
    EXPECT_TRUE(dialog->Execute(pressed));
    EXPECT_EQ(pressed, button);
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(DialogTest, AConsoleResizeKeepsTheMarginsAndCentresAgain) {
    auto dialog = NewDialog();
    dialog->AddLabel(0, 1, 5, u"text", 1);
    host.QueueDialogActions("resize 100 30\nesc");
    TButton* button = nullptr;
    dialog->Execute(button);
    EXPECT_EQ(Bounds(*dialog), (Cells{2, 2, 96, 26}));
    // Resized and moved with redrawing suspended, then drawn once more.
    std::vector<std::string> sent;
    for (const auto& call : host.Calls()) {
        if (call.function == "SendDlgMessage") sent.push_back(call.arguments.at(1));
    }
    EXPECT_EQ(sent, (std::vector<std::string>{"3", "43", "10", "3", "14", "6"}));
    EXPECT_EQ(HostSide(*dialog).RedrawLock(), 0);
}

TEST_F(DialogTest, ColumnizePlacesControlsSideBySide) {
    auto dialog = NewDialog();
    auto* a = dialog->AddEdit(0, 4, 1, u"");
    auto* b = dialog->AddEdit(0, 7, 1, u"");
    auto* c = dialog->AddEdit(0, 8, 1, u"");
    dialog->Columnize({10, 20}, {a, b}, 5);
    EXPECT_EQ(Bounds(*a), (Cells{5, 4, 9, 1}));
    EXPECT_EQ(Bounds(*b), (Cells{15, 4, 19, 1}));
    dialog->Columnize({3, 10, 6}, {a, nullptr, c}, 2, 9);  // an empty middle column
    EXPECT_EQ(Bounds(*a), (Cells{2, 4, 2, 1}));            // the first keeps its row
    EXPECT_EQ(Bounds(*c), (Cells{15, 9, 5, 1}));

    const std::function<void()> invalid[] = {
        [&] {
            dialog->Columnize({10}, {a, b}, 0);
        },
        [&] { dialog->Columnize({10}, {nullptr}, 0); },
        [&] { dialog->Columnize({}, {}, 0); },
    };
    for (const auto& call : invalid)
        EXPECT_EQ(ErrorOf<EFarError>(call), u"Invalid TFarDialog.Columnize call");
}

}  // namespace
}  // namespace wm::test
