// The boxes a plugin call shows, drawn over the panels, each with its own loop of keys.
#include <algorithm>

#include "farhost/engine/DialogView.h"
#include "farhost/files/FileViewer.h"
#include "farhost/screen/FullScreen.h"
#include "farhost/screen/MenuView.h"
#include "farhost/screen/MessageView.h"

namespace farhost {
namespace {

// Shows the view over the screen and gives it keys until it is answered; -1 when the
// terminal's input ends first.
template <class View>
int RunView(FullScreen& full, Terminal& terminal, View& view, bool& finished) {
    for (;;) {
        ScreenBuffer screen = full.Draw();
        view.Draw(screen);
        terminal.Show(screen);
        const TerminalInput input = terminal.Read();
        if (input.kind == TerminalInput::Kind::End) {
            finished = true;
            return -1;
        }
        if (input.kind == TerminalInput::Kind::Resize) {
            full.Resized();
            continue;
        }
        if (view.Press(input.key) != View::State::Open) return view.Answer();
    }
}

}  // namespace

int FullScreen::ShowMessage(const MessageCall& call) {
    MessageView view(call);
    if (finished_) return -1;
    if (!view.HasButtons()) {
        ScreenBuffer screen = Draw();
        view.Draw(screen);
        terminal_.Show(screen);
        return -1;
    }
    return RunView(*this, terminal_, view, finished_);
}

int FullScreen::ShowMenu(const MenuCall& call) {
    MenuView view(call);
    if (finished_) return -1;
    return RunView(*this, terminal_, view, finished_);
}

void FullScreen::ViewFile() {
    const auto file = session_.Keys().ViewedFile();
    if (!file) return;
    std::optional<FileViewer> viewer;
    try {
        viewer.emplace(*file);
    } catch (const std::exception& error) {
        Tell(u"Viewer", {wm::FromUtf8(error.what())}, true);
        return;
    }
    while (!finished_) {
        ScreenBuffer screen(std::max(1, terminal_.Width()), std::max(1, terminal_.Height()));
        viewer->Draw(screen);
        terminal_.Show(screen);
        const TerminalInput input = terminal_.Read();
        if (input.kind == TerminalInput::Kind::End) finished_ = true;
        if (input.kind == TerminalInput::Kind::Resize) Resized();
        if (input.kind == TerminalInput::Kind::Key &&
            viewer->Press(input.key) == FileViewer::State::Closed)
            return;
    }
}

std::optional<DialogAction> FullScreen::AskDialog(const HostDialog& dialog) {
    while (!finished_) {
        ScreenBuffer screen = Draw();
        DrawDialog(dialog, screen);
        terminal_.Show(screen);
        const TerminalInput input = terminal_.Read();
        if (input.kind == TerminalInput::Kind::End) break;
        // The dialog's engine tells the plugin and the host learns the size.
        if (input.kind == TerminalInput::Kind::Resize)
            return DialogAction::Resize(terminal_.Width(), terminal_.Height());
        if (const auto action = DialogKeyAction(dialog, input.key)) return action;
    }
    finished_ = true;
    return DialogAction::Escape();
}

}  // namespace farhost
