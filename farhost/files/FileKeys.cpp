#include "farhost/files/FileKeys.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "farhost/engine/Host.h"
#include "farhost/engine/HostRules.h"
#include "farhost/files/FileOperations.h"

namespace farhost {
namespace fs = std::filesystem;
namespace {

constexpr int kDialogWidth = 76;
constexpr int kEditItem = 2;
constexpr int kOkItem = 4;

wm::String Shown(const fs::path& path) {
    return path.u16string();
}

far::FarDialogItem Item(int type, int x1, int y1, int x2, const wm::String& text,
                        far::DWORD flags = 0) {
    far::FarDialogItem item{};
    item.Type = type;
    item.X1 = x1;
    item.Y1 = item.Y2 = y1;
    item.X2 = x2;
    item.Flags = flags;
    item.PtrData = reinterpret_cast<far::HostText>(text.c_str());
    return item;
}

// The host's question dialog: a title, a line of text, an edit line holding `value` and two
// buttons, the first the default. The items point into the texts.
std::vector<far::FarDialogItem> QuestionItems(const wm::String& title, const wm::String& text,
                                              const wm::String& value, const wm::String& history,
                                              const wm::String& ok, const wm::String& cancel) {
    static const wm::String kNone;
    const int right = kDialogWidth - 4;
    std::vector<far::FarDialogItem> items = {
        Item(far::DI_DOUBLEBOX, 3, 1, right, title),
        Item(far::DI_TEXT, 5, 2, right - 2, text),
        Item(far::DI_EDIT, 5, 3, right - 2, value, far::DIF_HISTORY),
        Item(far::DI_TEXT, -1, 4, 0, kNone, far::DIF_SEPARATOR),
        Item(far::DI_BUTTON, 0, 5, 0, ok, far::DIF_CENTERGROUP),
        Item(far::DI_BUTTON, 0, 5, 0, cancel, far::DIF_CENTERGROUP)};
    items[0].Y2 = 6;
    items[kEditItem].Focus = 1;
    items[kEditItem].Param.History = reinterpret_cast<far::HostText>(history.c_str());
    items[kOkItem].DefaultButton = 1;
    return items;
}

wm::String Trimmed(const wm::String& text) {
    const size_t first = text.find_first_not_of(u' ');
    if (first == wm::String::npos) return {};
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// The questions and errors of an operation as the host's warning boxes.
class HostQuestions final : public FileQuestions {
public:
    explicit HostQuestions(Host& host) : host_(host) {}

    Choice AskOverwrite(const fs::path& target) override {
        return ChoiceOf(Ask(
            {u"Warning", u"File already exists", Shown(target), u"Overwrite", u"Skip", u"Cancel"}));
    }
    Choice AskDeleteFolder(const fs::path& folder) override {
        return ChoiceOf(Ask({u"Delete folder", u"The following folder is not empty:", Shown(folder),
                             u"Delete it with everything in it?", u"Delete", u"Skip", u"Cancel"}));
    }
    void TellError(const fs::path& item, const std::string& what,
                   const std::string& reason) override {
        Tell(host_, {u"Error", wm::FromUtf8(what), Shown(item), wm::FromUtf8(reason), u"OK"});
    }

    static int Tell(Host& host, std::vector<wm::String> lines, int buttons = 1) {
        MessageCall call;
        call.flags = far::FMSG_WARNING;
        call.lines = std::move(lines);
        call.buttons = buttons;
        return host.AskHostMessage(std::move(call));
    }

private:
    int Ask(std::vector<wm::String> lines) { return Tell(host_, std::move(lines), 3); }
    static Choice ChoiceOf(int answer) {
        return answer == 0 ? Choice::Yes : answer == 1 ? Choice::Skip : Choice::Cancel;
    }

    Host& host_;
};

// The chosen items of a panel as paths, ".." left out.
std::vector<fs::path> ChosenPaths(const FilePanel& panel) {
    std::vector<fs::path> paths;
    for (const PanelEntry& entry : panel.Chosen()) {
        if (!rules::IsParentItem(entry.name))
            paths.push_back(fs::path(panel.Directory()) / entry.name);
    }
    return paths;
}

// `"name"` for one item, "N items" for more.
wm::String Naming(const std::vector<fs::path>& paths) {
    if (paths.size() == 1) return u"\"" + paths[0].filename().u16string() + u"\"";
    return wm::FromUtf8(std::to_string(paths.size())) + u" items";
}

void Reread(FilePanel& panel) {
    panel.Refresh();
    panel.Redraw();
}

}  // namespace

void FileKeys::Copy(bool move) {
    FilePanel& source = host_.Panels().Active();
    FilePanel& other = host_.Panels().Passive();
    const std::vector<fs::path> chosen = ChosenPaths(source);
    if (chosen.empty()) return;
    const wm::String title = move ? u"Move" : u"Copy";
    const wm::String text = title + u" " + Naming(chosen) + u" to:";
    const wm::String history = u"Copy";
    const wm::String cancel = u"Cancel";
    const auto answer = host_.RunHostDialog(
        kDialogWidth, 8, QuestionItems(title, text, other.Directory(), history, title, cancel));
    if (answer.exitCode != kOkItem) return;
    const wm::String typed = Trimmed(answer.texts.at(kEditItem));
    if (typed.empty()) return;
    const fs::path destination = fs::path(source.Directory()) / typed;
    std::error_code error;
    const bool intoFolder = chosen.size() > 1 || fs::is_directory(destination, error);
    HostQuestions questions(host_);
    const auto done = TransferItems(chosen, destination, move, questions);
    for (const fs::path& item : done) {
        if (const int index = source.Find(item.filename().u16string()); index >= 0)
            source.SetMarked(static_cast<size_t>(index), false);
    }
    Reread(source);
    Reread(other);
    if (done.empty()) return;
    const wm::String name =
        intoFolder ? done[0].filename().u16string() : destination.filename().u16string();
    if (const int index = other.Find(name); index >= 0) other.SetCurrentItem(index);
}

void FileKeys::MakeFolder(const wm::String& proposed) {
    FilePanel& panel = host_.Panels().Active();
    const wm::String title = u"Make folder";
    const wm::String text = u"Create the folder";
    const wm::String history = u"NewFolder";
    const wm::String ok = u"OK";
    const wm::String cancel = u"Cancel";
    const auto answer = host_.RunHostDialog(
        kDialogWidth, 8, QuestionItems(title, text, proposed, history, ok, cancel));
    if (answer.exitCode != kOkItem) return;
    const wm::String name = Trimmed(answer.texts.at(kEditItem));
    const fs::path folder(panel.Directory());
    std::error_code error;
    if (const auto problem = FolderNameProblem(folder, name)) {
        HostQuestions::Tell(
            host_, {u"Error", u"Cannot create the folder", name, wm::FromUtf8(*problem), u"OK"});
        return;
    }
    if (!fs::create_directory(folder / name, error) || error) {
        HostQuestions::Tell(host_, {u"Error", u"Cannot create the folder", name,
                                    wm::FromUtf8(error.message()), u"OK"});
        return;
    }
    Reread(panel);
    if (const int index = panel.Find(name); index >= 0) panel.SetCurrentItem(index);
}

void FileKeys::Delete() {
    FilePanel& panel = host_.Panels().Active();
    const std::vector<fs::path> chosen = ChosenPaths(panel);
    if (chosen.empty()) return;
    std::error_code error;
    const wm::String what = chosen.size() > 1 ? u"Do you wish to delete"
                            : fs::is_directory(fs::symlink_status(chosen[0], error))
                                ? u"Do you wish to delete the folder"
                                : u"Do you wish to delete the file";
    const wm::String name = chosen.size() > 1 ? Naming(chosen) : chosen[0].filename().u16string();
    MessageCall call;
    call.lines = {u"Delete", what, name, u"Delete", u"Cancel"};
    call.buttons = 2;
    if (host_.AskHostMessage(std::move(call)) != 0) return;
    HostQuestions questions(host_);
    const int cursor = panel.CurrentItem();
    const wm::String current =
        panel.Entries().empty() ? wm::String() : panel.Entries()[static_cast<size_t>(cursor)].name;
    DeleteItems(chosen, questions);
    Reread(panel);
    // The cursor stays where it stood when its item went.
    if (panel.Find(current) < 0) panel.SetCurrentItem(cursor);
}

}  // namespace farhost
