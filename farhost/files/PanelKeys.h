// The host's own keys on the active side. On a plugin panel each is offered to ProcessKeyW
// first; when the plugin leaves it, the host does what it does for plugin panels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "core/String.h"
#include "farhost/files/FileKeys.h"

namespace farhost {

class Host;
class PluginPanel;
struct PanelEntry;

class PanelKeys {
public:
    // Notes on what the host did (an operation's answer, the file it edits) go to `notes`.
    PanelKeys(Host& host, std::ostream& notes) : host_(host), notes_(notes), fileKeys_(host) {}

    // Enter (Shift+Enter): a directory item is entered, ".." may leave the plugin.
    void Enter(bool shift);
    // Ctrl+PgUp: the folder above, with the cursor on the folder left; on a plugin panel whose
    // CurDir is empty, the plugin is left.
    void Up();
    // F3: the file to view, the current item of a file panel when it is not a folder. On a
    // plugin panel the key is the plugin's.
    std::optional<std::filesystem::path> ViewedFile();
    // F4 (Shift+F4): the current item is copied into a temporary folder for the editor.
    void Edit(bool shift);
    // F5 (F6): the chosen items are copied (moved) to the other side's folder or plugin.
    void Copy(bool move);
    // F7: a folder with the proposed name.
    void MakeFolder(const wm::String& proposed);
    // F8: the chosen items are deleted.
    void Delete();

    // The file F4 last handed to the (unmodelled) editor: its name and bytes.
    struct Edited {
        wm::String name;
        std::string content;
    };
    const std::optional<Edited>& LastEdited() const { return lastEdited_; }

private:
    // The active side's plugin panel, or null.
    std::shared_ptr<PluginPanel> ActivePlugin() const;
    // Offers the key to the active plugin panel; true when the host must do nothing more.
    bool Claimed(PluginPanel& panel, int key, uint32_t controlState);
    void Note(const char* function, int answer);
    // ".." on a file panel, and on a plugin panel once the plugin left the key to the host.
    void FolderUp();
    void PluginUp(PluginPanel& panel);
    // GetFilesW of one item into a fresh temporary folder, kept in lastCopy_ when it is done.
    bool CopyOut(PluginPanel& panel, const PanelEntry& entry, int32_t opMode);

    Host& host_;
    std::ostream& notes_;
    FileKeys fileKeys_;
    std::optional<Edited> lastEdited_;
    std::optional<Edited> lastCopy_;
};

}  // namespace farhost
