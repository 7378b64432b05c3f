// The session's commands for the panels' items and keys, and its expectations about a side.
#include <map>
#include <ostream>
#include <stdexcept>

#include "farhost/engine/Script.h"
#include "farhost/files/FileViewer.h"
#include "farhost/session/Session.h"

namespace farhost {
namespace {

void Check(bool condition, const std::string& failure) {
    if (!condition) throw std::runtime_error(failure);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += " " + Quoted(name);
    return text.empty() ? " nothing" : text;
}

// The side a word names, for the active side `active`.
std::optional<size_t> SideNamed(const std::string& word, size_t active) {
    if (word == "left") return 0;
    if (word == "right") return 1;
    if (word == "active") return active;
    if (word == "passive") return 1 - active;
    return std::nullopt;
}

}  // namespace

void Session::AddPanelCommands() {
    // Items of the active side by the name shown, or the current one.
    const auto item = [this](const std::vector<std::string>& words) -> PanelView {
        const size_t side = host_.Panels().ActiveSide();
        const auto plugin = host_.PluginPanelOn(side);
        PanelView view = plugin ? plugin->View() : host_.Panels().Side(side).View();
        if (words.size() < 2) return view;
        Check(words.size() == 2, words[0] + " takes at most one name");
        int found = -1;
        for (size_t i = 0; i < view.rows.size(); ++i) {
            if (view.rows[i].name == words[1]) found = static_cast<int>(i);
        }
        Check(found >= 0, "no item " + Quoted(words[1]) + " on the active side");
        view.current = found;
        return view;
    };
    const auto mark = [this, item](const std::vector<std::string>& words, bool marked) {
        const PanelView view = item(words);
        Check(!view.rows.empty(), "the active side lists nothing");
        const auto index = static_cast<size_t>(view.current);
        Check(view.rows[index].name != "..", "\"..\" cannot be marked");
        const size_t side = host_.Panels().ActiveSide();
        if (const auto plugin = host_.PluginPanelOn(side)) {
            plugin->SetMarked(index, marked);
        } else {
            host_.Panels().Side(side).SetMarked(index, marked);
        }
    };
    AddCommand("cursor", "cursor NAME          put the cursor on NAME on the active side",
               [this, item](const auto& words) {
                   Check(words.size() == 2, "cursor NAME");
                   const int index = item(words).current;
                   const size_t side = host_.Panels().ActiveSide();
                   if (const auto plugin = host_.PluginPanelOn(side)) {
                       plugin->SetCurrentItem(index);
                   } else {
                       host_.Panels().Side(side).SetCurrentItem(index);
                   }
               });
    AddCommand("mark", "mark [NAME]          mark NAME (or the current item) on the active side",
               [mark](const auto& words) { mark(words, true); });
    AddCommand("unmark", "unmark [NAME]        unmark NAME (or the current item)",
               [mark](const auto& words) { mark(words, false); });
    AddCommand("enter", "enter                Enter on the current item",
               [this](const auto&) { keys_.Enter(false); });
    AddCommand("shift+enter", "shift+enter          Shift+Enter on the current item",
               [this](const auto&) { keys_.Enter(true); });
    AddCommand("f3", "f3 [LINES]           print the first LINES (20) lines of the current file",
               [this](const auto& words) {
                   Check(words.size() <= 2, "f3 [LINES]");
                   const auto file = keys_.ViewedFile();
                   if (!file) return;
                   const size_t count = words.size() == 2 ? std::stoul(words[1]) : 20;
                   for (const wm::String& line : ReadViewLines(*file, count))
                       out_ << wm::ToUtf8(line) << "\n";
               });
    // The file keys that may call into the plugin: what they show is what "expect message" and
    // "expect menu" check next.
    const auto fileKey = [this](const std::string& name, std::string usage, Command command) {
        AddCommand(name, std::move(usage), [this, command](const auto& words) {
            MarkPluginCall();
            command(words);
        });
    };
    fileKey("f4", "f4                   edit the current item of a plugin panel",
            [this](const auto&) { keys_.Edit(false); });
    fileKey("shift+f4", "shift+f4             Shift+F4 on a plugin panel",
            [this](const auto&) { keys_.Edit(true); });
    fileKey("f5", "f5                   copy the marked (or current) items to the other side",
            [this](const auto&) { keys_.Copy(false); });
    fileKey("f6", "f6                   move them to the other side",
            [this](const auto&) { keys_.Copy(true); });
    fileKey("f7", "f7 [NAME]            make a folder (NAME proposed in the host's dialog)",
            [this](const auto& words) {
                Check(words.size() <= 2, "f7 [NAME]");
                keys_.MakeFolder(words.size() == 2 ? wm::FromUtf8(words[1]) : wm::String());
            });
    fileKey("f8", "f8                   delete the marked (or current) items",
            [this](const auto&) { keys_.Delete(); });
    AddCommand("ctrl+pgup", "ctrl+pgup            the folder or group above, as Ctrl+PgUp does",
               [this](const auto&) { keys_.Up(); });
    AddCommand("ctrl+r", "ctrl+r               read the active side again, as Ctrl+R does",
               [this](const auto&) { RereadSide(host_.Panels().ActiveSide()); });
    AddCommand("close", "close                leave the active side's plugin panel",
               [this](const auto&) {
                   if (!host_.ClosePluginPanel(host_.Panels().ActiveSide(), true))
                       out_ << "(the plugin kept its panel open)\n";
               });
}

bool Session::ExpectSide(const std::vector<std::string>& words) {
    static const std::map<std::string, size_t> kinds = {
        {"plugin", 3}, {"folder", 4}, {"listing", 3}, {"marked", 3}, {"title", 4}};
    const bool negated = words[1] == "no" && words.size() > 2 && words[2] == "plugin";
    const std::string& what = negated ? words[2] : words[1];
    const size_t active = host_.Panels().ActiveSide();
    if (what == "cursor") {
        Check(words.size() == 3 || words.size() == 4, "expect cursor [SIDE] NAME");
        const auto side = words.size() == 4 ? SideNamed(words[2], active) : active;
        Check(side.has_value(), "expect cursor [SIDE] NAME");
        const auto plugin = host_.PluginPanelOn(*side);
        const PanelView view = plugin ? plugin->View() : host_.Panels().Side(*side).View();
        const std::string current =
            view.rows.empty() ? "" : view.rows[static_cast<size_t>(view.current)].name;
        Check(current == words.back(), "the cursor is on " + Quoted(current));
        return true;
    }
    if (what == "edited") {
        Check(words.size() == 4, "expect edited NAME TEXT");
        const auto& edited = keys_.LastEdited();
        Check(edited.has_value(), "nothing was copied for editing");
        Check(wm::ToUtf8(edited->name) == words[2] && edited->content == words[3],
              "edited " + Quoted(wm::ToUtf8(edited->name)) + " holding " + Quoted(edited->content));
        return true;
    }
    const auto kind = kinds.find(what);
    if (kind == kinds.end()) return false;
    const size_t at = negated ? 3 : 2;
    const std::string usage = "expect " + what + " SIDE" + (kind->second == 4 ? " TEXT" : " ...");
    Check(words.size() > at, usage);
    const auto side = SideNamed(words[at], active);
    Check(side.has_value(), usage + " (SIDE: active, passive, left or right)");
    const auto plugin = host_.PluginPanelOn(*side);
    const std::string name = "the " + words[at] + " side";
    if (what == "plugin") {
        Check(words.size() == at + 1, usage);
        Check(!plugin == negated, name + (plugin ? " shows a plugin panel" : " shows its folder"));
        return true;
    }
    const PanelView view = plugin ? plugin->View() : host_.Panels().Side(*side).View();
    if (what == "folder" || what == "title") {
        Check(words.size() == at + 2, usage);
        if (what == "folder") Check(!plugin, name + " shows a plugin panel");
        Check(SameText(view.title, words[at + 1]),
              name + (what == "folder" ? " shows " : "'s title is ") + Quoted(view.title));
        return true;
    }
    std::vector<std::string> shown;
    for (const PanelRow& row : view.rows) {
        if (what == "listing" || row.marked) shown.push_back(row.name);
    }
    const std::vector<std::string> expected(words.begin() + static_cast<long>(at) + 1, words.end());
    Check(shown == expected, name + (what == "listing" ? " lists" : " has marked") + Listed(shown));
    return true;
}

}  // namespace farhost
