// The stand-in host: loads a plugin module, hands it the host's function tables, answers its
// messages and menus from queues and records every call it makes.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/String.h"
#include "farhost/engine/FilePanels.h"
#include "farhost/engine/HostDialog.h"
#include "farhost/engine/LanguageFile.h"
#include "farhost/engine/PluginPanel.h"
#include "host/PluginW.h"

namespace wm::platform {
class DynamicLibrary;
}

namespace farhost {

class DialogEngine;

struct MessageCall {
    uint32_t flags = 0;
    wm::String helpTopic;
    std::vector<wm::String> lines;  // title, text lines and buttons as passed
    int buttons = 0;
    int answer = -1;
    // The host's own box (not asked for by the plugin), answered by its one button.
    bool fromHost = false;
};

struct MenuItemCall {
    wm::String text;
    bool separator = false;
    bool selected = false;
    bool checked = false;

    bool operator==(const MenuItemCall&) const = default;
};

struct MenuCall {
    int x = 0, y = 0, maxHeight = 0;
    uint32_t flags = 0;
    wm::String title, bottom, helpTopic;
    std::vector<MenuItemCall> items;
    int answer = -1;
    // The host's own menu (an edit's history list), not asked for by the plugin.
    bool fromHost = false;
};

// One call the plugin made. Arguments are its parameters in order as UTF-8: numbers and handles
// in decimal, texts as they are (null as empty). Parameters pointing at arrays, records or
// callbacks are left out; Messages() and Menus() hold those calls in full.
struct HostCall {
    std::string function;
    std::vector<std::string> arguments;

    bool operator==(const HostCall&) const = default;
};

// The person in front of the host: sees every message and menu, and answers those that no
// queued answer covers.
class HostUser {
public:
    virtual ~HostUser() = default;
    // `queued` holds the scripted answer when there is one; the result is the answer given.
    virtual int OnMessage(const MessageCall& call, std::optional<int> queued) = 0;
    virtual int OnMenu(const MenuCall& call, std::optional<int> queued) = 0;
};

// The plugin's sixteen exports; null when the module lacks one.
struct PluginExports {
    far::ExportSetStartupInfoW SetStartupInfoW = nullptr;
    far::ExportGetPluginInfoW GetPluginInfoW = nullptr;
    far::ExportOpenPluginW OpenPluginW = nullptr;
    far::ExportConfigureW ConfigureW = nullptr;
    far::ExportExitFARW ExitFARW = nullptr;
    far::ExportClosePluginW ClosePluginW = nullptr;
    far::ExportGetFindDataW GetFindDataW = nullptr;
    far::ExportFreeFindDataW FreeFindDataW = nullptr;
    far::ExportSetDirectoryW SetDirectoryW = nullptr;
    far::ExportMakeDirectoryW MakeDirectoryW = nullptr;
    far::ExportDeleteFilesW DeleteFilesW = nullptr;
    far::ExportGetFilesW GetFilesW = nullptr;
    far::ExportPutFilesW PutFilesW = nullptr;
    far::ExportProcessKeyW ProcessKeyW = nullptr;
    far::ExportProcessEventW ProcessEventW = nullptr;
    far::ExportGetOpenPluginInfoW GetOpenPluginInfoW = nullptr;
};

class Host {
public:
    struct Options {
        wm::String rootKey = u"Software\\Far2\\Plugins";
        wm::String language = u"English";
        // std::nullopt: ACTL_GETFARRECT fails.
        std::optional<far::SMALL_RECT> consoleRect = far::SMALL_RECT{0, 0, 79, 24};
        // Where both file panels start; empty: the current directory.
        wm::String panelDirectory;
    };

    static constexpr far::INT_PTR kModuleNumber = 1;

    // The host functions are plain C function pointers, so they reach their Host through one
    // process-wide pointer: at most one Host may live at a time, a second one throws.
    Host();
    explicit Host(Options options);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The Host the host functions currently serve, or null.
    static Host* Current();

    // Loads the module, resolves its exports and reads its language file; throws on failure.
    void LoadPlugin(const std::filesystem::path& module);
    const PluginExports& Exports() const { return exports_; }
    // Replaces the language file GetMsg serves (texts handed out earlier stay valid).
    void SetLanguageFile(LanguageFile file);
    // The language file GetMsg serves, or null.
    const LanguageFile* CurrentLanguageFile() const { return language_; }

    const far::PluginStartupInfo& StartupInfo() const { return startupInfo_; }
    // Calls the plugin's SetStartupInfoW with StartupInfo().
    void StartPlugin();
    // What the host makes of OpenPluginW's answer for a side (0 left, 1 right):
    // INVALID_HANDLE_VALUE is no panel; any other value, the null handle included, is a new plugin
    // panel, read with GetFindDataW and closed again with ClosePluginW when that fails. A panel
    // that can be read replaces what the side showed and the side becomes active; true then.
    bool OpenPluginPanel(size_t side, far::HANDLE answer);
    // The plugin panel a side shows, or null.
    std::shared_ptr<PluginPanel> PluginPanelOn(size_t side) const { return pluginPanels_.at(side); }
    // Closes a side's plugin panel: ProcessEventW(FE_CLOSE), then ClosePluginW, and the side
    // shows its file folder again. With `mayRefuse` a nonzero FE_CLOSE answer keeps the panel
    // and the answer is false.
    bool ClosePluginPanel(size_t side, bool mayRefuse);
    void ClosePluginPanels();
    // Makes a side active; plugin panels learn they lose or get the focus.
    void SetActiveSide(size_t side);
    // Tab: offered to the active plugin panel first.
    void SwitchActiveSide();
    // The side a Control handle names: PANEL_ACTIVE, PANEL_PASSIVE or a plugin panel's handle.
    std::optional<size_t> SideOf(far::HANDLE handle) const;
    // Control's panel commands, for file and plugin panels.
    int32_t PanelControl(far::HANDLE handle, int32_t command, int32_t param1, far::LONG_PTR param2);
    // Both sides as text, plugin panels included.
    std::string DrawPanels(int width = 80, int height = 12) const;

    // Answers for Message and Menu, first in first out. With none queued, Message answers -1
    // (closed without a button) and Menu answers -1 (cancelled). A menu answer is the index of
    // the chosen item, separators included, or a negative value for cancel. The history list
    // an edit opens with Ctrl+Down is such a menu too.
    void QueueMessageAnswer(int answer);
    void QueueMenuAnswer(int answer);
    void SetConsoleRect(std::optional<far::SMALL_RECT> rect);
    // The console's size in cells: 80 x 25 while ACTL_GETFARRECT fails.
    far::COORD ConsoleSize() const;

    // Dialogs. DialogRun plays the user's actions, first in first out across runs, until one
    // closes the dialog; with none left (and no prompt) the dialog closes as with Esc and
    // DialogRun answers -1. Actions the dialog cannot take are reported in Errors().
    void QueueDialogAction(DialogAction action);
    // Script lines as ParseDialogActions reads them; throws wm::Exception for a bad line.
    void QueueDialogActions(std::string_view script);
    size_t QueuedDialogActions() const;
    // Asked for the next action when none is queued (the interactive prompt).
    void SetDialogPrompt(DialogPrompt prompt);
    // While set, DialogInit refuses every dialog (answers INVALID_HANDLE_VALUE).
    void RefuseDialogs(bool refuse);
    // The dialog behind a handle the plugin holds, or null once it has been freed.
    HostDialog* FindDialog(far::HANDLE handle) const;
    int LiveDialogCount() const;
    // The console as text with the dialog drawn on it.
    std::vector<wm::String> DrawDialogScreen(const HostDialog& dialog) const;
    // The screens drawn at the start of every run and at every "show" action.
    const std::vector<std::vector<wm::String>>& DialogScreens() const;
    // The host's own question box (its file operations'): answered like the plugin's messages,
    // from the queue or by the user, and recorded with them.
    int AskHostMessage(MessageCall call);
    // The host's own dialog, centred, run by the dialog engine as the plugin's are: the index
    // of the item that closed it (or -1) and the items' texts as they were then.
    struct HostDialogResult {
        int exitCode = -1;
        std::vector<wm::String> texts;
    };
    HostDialogResult RunHostDialog(int width, int height,
                                   const std::vector<far::FarDialogItem>& items);
    // Without a user, an unanswered message or menu gets -1.
    void SetUser(HostUser* user) { user_ = user; }

    // The two file panels; both start in the current directory.
    FilePanels& Panels() { return panels_; }

    const std::vector<MessageCall>& Messages() const { return messages_; }
    const std::vector<MenuCall>& Menus() const { return menus_; }
    const std::vector<HostCall>& Calls() const { return calls_; }
    // The calls the host made into the plugin's exports for its panels, in the same form.
    const std::vector<HostCall>& PluginCalls() const { return pluginCalls_; }
    void RecordPluginCall(std::string function, std::vector<std::string> arguments);
    int PluginCallCount(std::string_view function) const;
    int CallCount(std::string_view function) const;
    // Exceptions caught inside host functions, as "Function: reason".
    const std::vector<std::string>& Errors() const { return errors_; }
    // Forgets the recorded messages, menus, calls (both ways), errors and dialog screens; queued
    // answers and actions stay.
    void ClearRecords();

private:
    friend struct HostFunctions;

    void Record(std::string function, std::vector<std::string> arguments);
    // Answers a menu from the queue or the user and records it.
    int ShowMenu(MenuCall call);
    int ShowHistory(const HostDialog& dialog, int item, const std::vector<wm::String>& entries);
    // The host's "Path not found" box after a refused FCTL_SETPANELDIR to a missing folder.
    void ShowPathNotFound(far::HostText path);
    void RecordError(const char* function, const char* reason) noexcept;
    void FillTables();

    Options options_;
    far::PluginStartupInfo startupInfo_{};
    far::FarStandardFunctions standardFunctions_{};
    wm::String moduleName_;
    PluginExports exports_;

    // Every language file ever served, so that GetMsg texts stay valid while the Host lives.
    std::deque<LanguageFile> languageFiles_;
    const LanguageFile* language_ = nullptr;

    std::deque<int> messageAnswers_;
    std::deque<int> menuAnswers_;
    std::vector<MessageCall> messages_;
    std::vector<MenuCall> menus_;
    std::vector<HostCall> calls_;
    std::vector<HostCall> pluginCalls_;
    std::vector<std::string> errors_;
    FilePanels panels_;
    std::array<std::shared_ptr<PluginPanel>, 2> pluginPanels_;
    HostUser* user_ = nullptr;
    intptr_t lastScreen_ = 0;
    std::unique_ptr<DialogEngine> dialogs_;

    // Declared last so the module is unloaded before anything it might still point into.
    std::unique_ptr<wm::platform::DynamicLibrary> library_;
};

}  // namespace farhost
